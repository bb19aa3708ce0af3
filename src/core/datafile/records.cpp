#include "datafile/records.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "datafile/md5.h"
#include "resources/strings.h"

namespace qb {

namespace {

constexpr int16_t kSignatureB = static_cast<int16_t>(0xF22F);
constexpr int16_t kSignatureC = static_cast<int16_t>(0xF33F);
constexpr int16_t kSavedQuerySignature = 220;

std::string PathOf(const CRecordStream& s) {
    return s.File() ? s.File()->Path() : std::string();
}

[[noreturn]] void Corrupted(const CRecordStream& s) {
    throw CQuillError(err::kCorrupted, PathOf(s));
}

// Reads n bytes in pieces, so that a length the record lies about costs
// no more memory than the chain really holds.
std::string ReadBytes(CRecordStream& s, size_t n) {
    constexpr size_t kPiece = 64 * 1024;
    std::string out;
    while (out.size() < n) {
        size_t take = std::min(kPiece, n - out.size());
        size_t at = out.size();
        out.resize(at + take);
        s.ReadExact(out.data() + at, take);
    }
    return out;
}

std::string UpToNul(std::string text) {
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.erase(nul);
    return text;
}

void FillInDates(CArticle& a) {
    if (a.articleTime == NIL_BLOCK) a.articleTime = 0;
    if (a.createdDate == NIL_BLOCK) a.createdDate = a.articleDate;
    if (a.modifiedDate == NIL_BLOCK) a.modifiedDate = a.articleDate;
    if (a.createdTime == NIL_BLOCK) a.createdTime = a.articleTime;
    if (a.modifiedTime == NIL_BLOCK) a.modifiedTime = a.articleTime;
}

// Skips what a strict section has left, after its last field or after a
// field that failed, so the record goes on where the section ends.
void SkipRest(CRecordStream& s, int32_t remaining) {
    if (remaining > 0) s.Skip(static_cast<size_t>(remaining));
}

// The new layout's fixed fields: up to 32 bytes, laid over the defaults so
// that a shorter block leaves the rest as they were.
void ReadNewHeader(CRecordStream& s, CArticle& a) {
    uint8_t b[32];
    auto put16 = [&](int at, uint16_t v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](int at, int32_t v) {
        uint32_t u = static_cast<uint32_t>(v);
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(u >> (8 * i));
    };
    auto get16 = [&](int at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); };
    auto get32 = [&](int at) {
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<uint32_t>(b[at + i]) << (8 * i);
        return static_cast<int32_t>(u);
    };
    put16(0, 6);
    put32(2, NIL_BLOCK);
    put16(6, 0);
    for (int i = 0; i < 6; ++i)
        put32(8 + 4 * i, NIL_BLOCK);

    int32_t n = s.ReadInt32();
    int32_t take = std::clamp<int32_t>(n, 0, 32);
    if (take > 0) s.ReadExact(b, static_cast<size_t>(take));
    if (n > 32) s.Skip(static_cast<size_t>(n - 32));

    a.level = static_cast<int16_t>(get16(0));
    a.reserved = get32(2);
    a.flags = get16(6);
    a.createdDate = get32(8);
    a.createdTime = get32(12);
    a.modifiedDate = get32(16);
    a.modifiedTime = get32(20);
    a.articleDate = get32(24);
    a.articleTime = get32(28);
}

void ReadOld(CRecordStream& s, CArticle& a, const RecordDefaults& d, int level, bool summary) {
    a.format = ArticleFormat::Old;
    a.level = static_cast<int16_t>(level);
    if (level >= 1) a.articleDate = s.ReadTaggedInt32();
    if (level >= 2) a.title = s.ReadString();
    if (summary) {
        if (level < 5) return;
        s.SkipField();  // plain text
        s.SkipField();  // keyword ids
        ReadDisplaySectionA(s, a.display, d);
        if (level >= 6) a.attachments = ReadAttachmentList(s);
        return;
    }
    if (level >= 3) a.plainText = s.ReadString();
    if (level >= 4) a.keywordIds = s.ReadIdArray();
    if (level >= 5) ReadDisplaySectionA(s, a.display, d);
    if (level >= 6) a.attachments = ReadAttachmentList(s);
    if (level >= 7) a.spareText = s.ReadString();
    if (level >= 8) a.richText = s.ReadString();
    if (level >= 9) ReadDisplaySectionB(s, a.display, d);
}

void ReadNew(CRecordStream& s, CArticle& a, const RecordDefaults& d, bool summary) {
    a.format = ArticleFormat::New;
    ReadNewHeader(s, a);
    int level = a.level;
    if (level > 0) a.title = s.ReadBlobString();
    if (summary) {
        if (level > 1) s.SkipField();
        if (level > 2) a.attachments = ReadAttachmentList(s);
        if (a.flags & article_flags::kLinksKnown) return;
        std::vector<StoredLink> links;
        if (level > 3) s.ReadBlob();  // the content, passed over on the way to the links
        if (level > 4) {
            ArticleDisplayProps ignored;
            ReadDisplaySectionC(s, ignored, d);
        }
        if (level > 5) links = ReadStoredLinks(s);
        a.flags |= article_flags::kLinksKnown;
        if (links.empty())
            a.flags &= static_cast<uint16_t>(~article_flags::kHasLinks);
        else
            a.flags |= article_flags::kHasLinks;
        return;
    }
    if (level > 1) a.keywordIds = s.ReadIdArray();
    if (level > 2) a.attachments = ReadAttachmentList(s);
    if (level > 3) a.richText = s.ReadBlobString();
    if (level > 4) ReadDisplaySectionC(s, a.display, d);
    if (level > 5) a.links = ReadStoredLinks(s);
}

void ReadArticleRecord(CRecordStream& s, CArticle& a, const RecordDefaults& d, bool summary) {
    a.Reset(d);
    try {
        uint16_t w = static_cast<uint16_t>(s.ReadTaggedInt16());
        if (!(w & 0x8000)) {
            ReadOld(s, a, d, w, summary);
        } else if (w == kNewArticleWord) {
            ReadNew(s, a, d, summary);
        } else {
            return;  // a layout this program does not know: an empty article
        }
        FillInDates(a);
    } catch (const CQuillError&) {
        a.Reset(d);
        throw;
    } catch (const std::bad_alloc&) {
        a.Reset(d);
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

// Lenient section helpers: a field is read only when all of it fits.
template <typename T>
bool Lenient(CRecordStream& s, T& v, int32_t& remaining) {
    return s.ReadLenientField(&v, static_cast<int>(sizeof(T)), remaining);
}

// A lenient text: int32 length, then the bytes if they fit; else empty.
bool LenientText(CRecordStream& s, std::string& out, int32_t& remaining) {
    int32_t n = 0;
    if (!Lenient(s, n, remaining)) return false;
    if (n > 0 && n <= remaining) {
        out = ReadBytes(s, static_cast<size_t>(n));
        remaining -= n;
    } else if (n != 0) {
        remaining = 0;  // the text overruns the section: nothing after it is sound
    }
    return true;
}

bool IsCode5(const CQuillError& e) {
    return e.Code() == err::kCorrupted;
}

}  // namespace

// ---- Articles -----------------------------------------------------------------

ArticleDisplayProps ArticleDisplayProps::Defaults(const RecordDefaults& d) {
    ArticleDisplayProps p;
    p.flags = d.displayFlagBit0 ? 1 : 0;
    p.valueD = d.displayValueD;
    return p;
}

void CArticle::Reset(const RecordDefaults& d) {
    *this = CArticle();
    display = ArticleDisplayProps::Defaults(d);
}

void ReadArticle(CRecordStream& s, CArticle& a, const RecordDefaults& d) {
    ReadArticleRecord(s, a, d, false);
}

void ReadArticleSummary(CRecordStream& s, CArticle& a, const RecordDefaults& d) {
    ReadArticleRecord(s, a, d, true);
}

CArticle ReadArticle(CDataFile& f, int32_t id, const RecordDefaults& d) {
    CRecordStream s;
    s.OpenRecord(f, table::kArticles, id);
    CArticle a;
    ReadArticle(s, a, d);
    return a;
}

CArticle ReadArticleSummary(CDataFile& f, int32_t id, const RecordDefaults& d) {
    CRecordStream s;
    s.OpenRecord(f, table::kArticles, id);
    CArticle a;
    ReadArticleSummary(s, a, d);
    return a;
}

std::vector<CAttachment> ReadAttachmentList(CRecordStream& s) {
    try {
        std::vector<CAttachment> list;
        int16_t n = s.ReadTaggedInt16();
        for (int i = 0; i < n; ++i) {
            CAttachment at;
            uint16_t w = static_cast<uint16_t>(s.ReadTaggedInt16());
            if (w & 0x8000) {
                at.kind = static_cast<int16_t>(w & 0x3FFF);
                at.target = s.ReadBlobString();
            } else {
                at.kind = static_cast<int16_t>(w);
                at.target = s.ReadString();
            }
            if ((w & 0xC000) == 0xC000) {
                at.articleId = s.ReadInt32();
                at.flags = s.ReadInt32();
            }
            list.push_back(std::move(at));
        }
        return list;
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

std::vector<StoredLink> ReadStoredLinks(CRecordStream& s) {
    std::vector<StoredLink> links;
    int32_t n = s.ReadInt32();
    // No reserve: the count is not trusted, every entry must really be there.
    for (int32_t i = 0; i < n; ++i) {
        StoredLink l;
        l.start = s.ReadInt32();
        l.end = s.ReadInt32();
        l.kind = s.ReadInt16();
        l.articleId = s.ReadInt32();
        l.createdDate = s.ReadInt32();
        l.createdTime = s.ReadInt32();
        l.target = s.ReadBlobString();
        links.push_back(std::move(l));
    }
    return links;
}

void ReadDisplaySectionA(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d) {
    p = ArticleDisplayProps::Defaults(d);
    int32_t remaining = 0;
    try {
        remaining = s.ReadInt32();
        s.ReadSectionField(&p.valueD, 4, remaining);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
        p = ArticleDisplayProps::Defaults(d);
    }
    SkipRest(s, remaining);
}

void ReadDisplaySectionB(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d) {
    int32_t remaining = 0;
    try {
        remaining = s.ReadInt32();
        int16_t signature = 0;
        s.ReadSectionField(&signature, 2, remaining);
        if (signature != kSignatureB) Corrupted(s);
        s.ReadSectionField(&p.linkDisplay, 4, remaining);
        s.ReadSectionField(&p.autoOpen, 4, remaining);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
        p = ArticleDisplayProps::Defaults(d);
    }
    SkipRest(s, remaining);
}

void ReadDisplaySectionC(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d) {
    p = ArticleDisplayProps::Defaults(d);
    p.flags |= 1;
    int32_t remaining = 0;
    try {
        remaining = s.ReadInt32();
        int16_t signature = 0;
        s.ReadSectionField(&signature, 2, remaining);
        if (signature != kSignatureC) Corrupted(s);
        s.ReadSectionField(&p.valueD, 4, remaining);
        s.ReadSectionField(&p.linkDisplay, 4, remaining);
        s.ReadSectionField(&p.autoOpen, 4, remaining);
        s.ReadSectionField(&p.valueA, 4, remaining);
        s.ReadSectionField(&p.flags, 2, remaining);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;  // keeps what was read
    }
    SkipRest(s, remaining);
}

// ---- Keywords and groups --------------------------------------------------------

void ReadKeyword(CRecordStream& s, CKeyword& k, int fileVersion, bool nameOnly) {
    k = CKeyword();
    try {
        uint16_t w = static_cast<uint16_t>(s.ReadTaggedInt16());
        k.level = static_cast<int16_t>(w & 0x7FFF);
        if (!(k.level == 2 || (k.level == 3 && fileVersion >= 400)))
            throw CQuillError(err::kBadFormatLevel, PathOf(s));
        k.name = (w & 0x8000) ? s.ReadBlobString() : s.ReadString();
        if (nameOnly) return;
        k.articles = IdSet::FromUnsorted(s.ReadIdArray());
        if (k.level > 2) k.secondIds = s.ReadIdArray();
    } catch (const CQuillError&) {
        k.name.clear();
        k.articles.Clear();
        k.secondIds.clear();
        throw;
    } catch (const std::bad_alloc&) {
        k = CKeyword();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

CKeyword ReadKeyword(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kKeywords, id);
    CKeyword k;
    ReadKeyword(s, k, f.Version());
    return k;
}

std::string ReadKeywordName(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kKeywords, id);
    CKeyword k;
    ReadKeyword(s, k, f.Version(), true);
    return k.name;
}

void ReadGroup(CRecordStream& s, CKeywordGroup& g, bool nameOnly) {
    g = CKeywordGroup();
    try {
        uint16_t w = static_cast<uint16_t>(s.ReadTaggedInt16());
        g.level = static_cast<int16_t>(w & 0x7FFF);
        if (g.level != 3) throw CQuillError(err::kBadFormatLevel, PathOf(s));
        g.name = s.ReadBlobString();
        if (nameOnly) return;
        g.value = s.ReadInt32();
        g.keywords = IdSet::FromUnsorted(s.ReadIdArray());
    } catch (const CQuillError&) {
        g = CKeywordGroup();
        throw;
    } catch (const std::bad_alloc&) {
        g = CKeywordGroup();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

CKeywordGroup ReadGroup(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kGroups, id);
    CKeywordGroup g;
    ReadGroup(s, g);
    return g;
}

std::string ReadGroupName(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kGroups, id);
    CKeywordGroup g;
    ReadGroup(s, g, true);
    return g.name;
}

// ---- Numbered streams ------------------------------------------------------------

IdSet ReadIdStream(CRecordStream& s) {
    IdSet ids = IdSet::FromUnsorted(s.ReadIdArray());
    ids.ClearChanged();
    return ids;
}

void LoadIdStream(CDataFile& f, int16_t id, IdSet& out) {
    out.Clear();
    try {
        CRecordStream s;
        s.OpenStream(f, id);
        out = ReadIdStream(s);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
        out.Clear();
    }
    out.ClearChanged();
}

std::string ReadTextStream(CRecordStream& s) {
    return s.ReadString();
}

std::string LoadTextStream(CDataFile& f, int16_t id, const std::string& def,
                           bool emptyMeansDefault) {
    std::string text;
    try {
        CRecordStream s;
        s.OpenStream(f, id);
        text = ReadTextStream(s);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
        return def;
    }
    if (emptyMeansDefault && text.empty()) return def;
    return text;
}

std::string LoadPrintHeader(CDataFile& f) {
    return LoadTextStream(f, stream_id::kPrintHeader, f.FileTitle(), true);
}

std::string LoadPrintFooter(CDataFile& f) {
    const char* def = ResourceString(msg::kDefaultPrintFooter);
    return LoadTextStream(f, stream_id::kPrintFooter, def ? def : "Page &P", true);
}

std::string LoadExportHeader(CDataFile& f) {
    return LoadTextStream(f, stream_id::kExportHeader, f.FileTitle(), false);
}

void ReadPageSetup(CRecordStream& s, PageSetupValues& p) {
    p.read = 0;
    int32_t remaining = s.ReadInt32();
    try {
        for (int16_t& v : p.values) {
            if (!Lenient(s, v, remaining)) break;
            ++p.read;
        }
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;  // the stream ended: keep what it held
    }
}

void LoadPageSetup(CDataFile& f, PageSetupValues& p) {
    try {
        CRecordStream s;
        s.OpenStream(f, stream_id::kPageSetup);
        ReadPageSetup(s, p);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
    }
}

void ReadFileSettings(CRecordStream& s, FileSettings& fs) {
    fs.read = 0;
    int32_t remaining = s.ReadInt32();
    auto field = [&](auto& v, uint32_t bit) {
        if (Lenient(s, v, remaining)) {
            fs.read |= bit;
            return true;
        }
        return false;
    };
    auto text = [&](std::string& out, uint32_t bit) {
        out.clear();
        if (remaining < 4) return;
        int32_t n = 0;
        Lenient(s, n, remaining);
        fs.read |= bit;
        if (n > 0 && n <= remaining) {
            out = UpToNul(ReadBytes(s, static_cast<size_t>(n)));
            remaining -= n;
        } else if (n != 0) {
            remaining = 0;  // the text overruns the section: nothing after it is sound
        }
    };
    try {
        field(fs.setting1, FileSettings::kSetting1);
        for (int16_t& v : fs.unused1)
            field(v, FileSettings::kUnused1);
        field(fs.setting2, FileSettings::kSetting2);
        field(fs.unused2, FileSettings::kUnused2);
        if (remaining >= static_cast<int32_t>(fs.font.size())) {
            s.ReadExact(fs.font.data(), fs.font.size());
            remaining -= static_cast<int32_t>(fs.font.size());
            fs.read |= FileSettings::kFont;
        }
        bool gotSetting3 = field(fs.setting3, FileSettings::kSetting3);
        if (gotSetting3 && remaining == 0) {
            fs.setting4 = 0;  // older files end here; their colour is not automatic
            fs.read |= FileSettings::kSetting4;
            return;
        }
        field(fs.setting4, FileSettings::kSetting4);
        text(fs.text1, FileSettings::kText1);
        field(fs.setting5, FileSettings::kSetting5);
        text(fs.text2, FileSettings::kText2);
        field(fs.setting6, FileSettings::kSetting6);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;  // the stream ended: keep what it held
    }
}

bool LoadFileSettings(CDataFile& f, FileSettings& fs) {
    try {
        CRecordStream s;
        s.OpenStream(f, stream_id::kFileSettings);
        ReadFileSettings(s, fs);
        return true;
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
        return false;
    }
}

void ReadSavedQueries(CRecordStream& s, SavedQueries& q) {
    q = SavedQueries();
    try {
        int32_t m = s.ReadInt32();
        if (m == -1) {
            if (s.ReadInt16() != kSavedQuerySignature) return;
            int32_t n = s.ReadInt32();
            for (int32_t i = 0; i < n; ++i) {
                SavedQuery e;
                e.name = s.ReadBlobString();
                e.text = s.ReadBlobString();
                e.dateFrom = s.ReadInt32();
                e.dateTo = s.ReadInt32();
                q.queries.push_back(std::move(e));
            }
            int16_t k = s.ReadInt16();
            for (int i = 0; i < k; ++i)
                q.recent.push_back(s.ReadInt16());
            return;
        }
        // The older layout: the same items in a lenient section of m bytes.
        int32_t remaining = m;
        int16_t signature = 0;
        Lenient(s, signature, remaining);
        if (signature != kSavedQuerySignature) return;
        int32_t n = 0;
        Lenient(s, n, remaining);
        // Every entry starts with a 4-byte length: once fewer bytes are left
        // no further entry can be in the section, whatever the count says.
        for (int32_t i = 0; i < n && remaining >= 4; ++i) {
            SavedQuery e;
            LenientText(s, e.name, remaining);
            LenientText(s, e.text, remaining);
            Lenient(s, e.dateFrom, remaining);
            Lenient(s, e.dateTo, remaining);
            q.queries.push_back(std::move(e));
        }
        int16_t k = 0;
        Lenient(s, k, remaining);
        for (int i = 0; i < k; ++i) {
            int16_t v = 0;
            if (!Lenient(s, v, remaining)) break;
            q.recent.push_back(v);
        }
    } catch (const CQuillError&) {
        q = SavedQueries();
        throw;
    } catch (const std::bad_alloc&) {
        q = SavedQueries();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

void LoadSavedQueries(CDataFile& f, SavedQueries& q) {
    try {
        CRecordStream s;
        s.OpenStream(f, stream_id::kSavedQueries);
        ReadSavedQueries(s, q);
    } catch (const CQuillError& e) {
        q = SavedQueries();
        if (!IsCode5(e)) throw;
    }
}

void ReadReminders(CRecordStream& s, Reminders& r, const RecordDefaults& d) {
    r = Reminders();
    try {
        std::vector<int32_t> ids;
        int32_t n = s.ReadInt32();
        for (int32_t i = 0; i < n; ++i) {
            CReminder e;
            e.date = d.today;
            e.time = d.reminderTime >= 0 ? d.reminderTime : d.now;
            e.level = s.ReadTaggedInt16();
            if (e.level > 0) e.date = s.ReadTaggedInt32();
            if (e.level > 1) e.time = s.ReadTaggedInt32();
            if (e.level > 2) e.articleId = s.ReadTaggedInt32();
            if (e.level > 3) s.SkipField();
            e.serial = i;
            e.dueDate = e.date;
            e.dueTime = e.time >= 0 ? e.time - e.time % 60 : e.time;
            if (e.articleId >= 0) ids.push_back(e.articleId);
            r.list.push_back(e);
        }
        r.articles = IdSet::FromUnsorted(std::move(ids));
        r.articles.ClearChanged();
    } catch (const CQuillError&) {
        r = Reminders();
        throw;
    } catch (const std::bad_alloc&) {
        r = Reminders();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

void LoadReminders(CDataFile& f, Reminders& r, const RecordDefaults& d) {
    try {
        CRecordStream s;
        s.OpenStream(f, stream_id::kReminders);
        ReadReminders(s, r, d);
    } catch (const CQuillError& e) {
        r = Reminders();
        if (!IsCode5(e)) throw;
    }
}

void ReadPrivacyData(CRecordStream& s, PrivacyData& p) {
    p = PrivacyData();
    int32_t remaining = s.ReadInt32();
    try {
        if (!Lenient(s, p.passwordSet, remaining)) return;
        for (auto* part : {&p.salt, &p.check, &p.wrappedKey}) {
            if (!s.ReadLenientField(part->data(), 16, remaining)) return;
        }
        s.ReadLenientField(p.unused.data(), 48, remaining);
    } catch (const CQuillError& e) {
        if (!IsCode5(e)) throw;
    }
}

void LoadPrivacyData(CDataFile& f, PrivacyData& p) {
    try {
        CRecordStream s;
        s.OpenStream(f, stream_id::kPrivacy);
        ReadPrivacyData(s, p);
    } catch (const CQuillError& e) {
        p = PrivacyData();
        if (!IsCode5(e)) throw;
    }
}

bool CheckPrivacyPassword(const PrivacyData& p, const std::string& password, ContentKey& key) {
    std::string salted(reinterpret_cast<const char*>(p.salt.data()), p.salt.size());
    salted += password;
    auto d = Md5(salted.data(), salted.size());
    if (!std::equal(d.begin(), d.end(), p.check.begin())) return false;
    auto hp = Md5(password.data(), password.size());
    uint8_t k[16];
    for (int i = 0; i < 16; ++i)
        k[i] = p.wrappedKey[i] ^ hp[i];
    auto ck = Md5(k, sizeof k);
    std::copy(ck.begin(), ck.end(), key.begin());
    return true;
}

}  // namespace qb

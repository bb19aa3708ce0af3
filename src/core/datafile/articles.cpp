#include "datafile/articles.h"

#include <algorithm>
#include <new>

#include "datafile/record_reading.h"

namespace qb {

using namespace record_reading;

namespace {

constexpr int16_t kOldLinkSectionSignature = static_cast<int16_t>(0xF22F);
constexpr int16_t kNewDisplaySectionSignature = static_cast<int16_t>(0xF33F);

void FillInDates(CArticle& a) {
    if (a.articleTime == NIL_BLOCK) a.articleTime = 0;
    if (a.createdDate == NIL_BLOCK) a.createdDate = a.articleDate;
    if (a.modifiedDate == NIL_BLOCK) a.modifiedDate = a.articleDate;
    if (a.createdTime == NIL_BLOCK) a.createdTime = a.articleTime;
    if (a.modifiedTime == NIL_BLOCK) a.modifiedTime = a.articleTime;
}

// Runs `fields(remaining)` over one strict sized section of the record, then
// skips what the section has left (after its last field or after a field that
// failed), so the record goes on where the section ends. Returns false when a
// field was missing or damaged (code 5); other errors are thrown on.
template <typename Fields>
bool ReadDisplaySection(CRecordStream& s, Fields fields) {
    int32_t remaining = 0;
    bool sound = true;
    try {
        remaining = s.ReadInt32();
        fields(remaining);
    } catch (const CQuillError& e) {
        if (!e.IsCorrupted()) throw;
        sound = false;
    }
    if (remaining > 0) s.Skip(static_cast<size_t>(remaining));
    return sound;
}

// Old level 5. A damaged section leaves the defaults.
void ReadOldWordWrapSection(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d) {
    p = ArticleDisplayProps::Defaults(d);
    bool sound = ReadDisplaySection(
        s, [&](int32_t& remaining) { s.ReadSectionField(&p.wordWrap, 4, remaining); });
    if (!sound) p = ArticleDisplayProps::Defaults(d);
}

// Old level 9, on top of what level 5 read. A damaged section leaves the defaults.
void ReadOldLinkSection(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d) {
    bool sound = ReadDisplaySection(s, [&](int32_t& remaining) {
        int16_t signature = 0;
        s.ReadSectionField(&signature, 2, remaining);
        if (signature != kOldLinkSectionSignature) Corrupted(s);
        s.ReadSectionField(&p.linkDisplay, 4, remaining);
        s.ReadSectionField(&p.autoOpen, 4, remaining);
    });
    if (!sound) p = ArticleDisplayProps::Defaults(d);
}

// New level 5. A damaged section keeps what was read before the damage.
void ReadNewDisplaySection(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d) {
    p = ArticleDisplayProps::Defaults(d);
    p.flags |= display_flags::kFullPathNames;  // the stored flags replace it when present
    ReadDisplaySection(s, [&](int32_t& remaining) {
        int16_t signature = 0;
        s.ReadSectionField(&signature, 2, remaining);
        if (signature != kNewDisplaySectionSignature) Corrupted(s);
        s.ReadSectionField(&p.wordWrap, 4, remaining);
        s.ReadSectionField(&p.linkDisplay, 4, remaining);
        s.ReadSectionField(&p.autoOpen, 4, remaining);
        s.ReadSectionField(&p.spareValue, 4, remaining);
        s.ReadSectionField(&p.flags, 2, remaining);
    });
}

// A tagged int16 count, then the entries.
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

// An int32 count, then per link: start, end (int32), kind (int16), article
// id, created date, created time (int32), target (blob string).
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
        ReadOldWordWrapSection(s, a.display, d);
        if (level >= 6) a.attachments = ReadAttachmentList(s);
        return;
    }
    if (level >= 3) a.plainText = s.ReadString();
    if (level >= 4) a.keywordIds = s.ReadIdArray();
    if (level >= 5) ReadOldWordWrapSection(s, a.display, d);
    if (level >= 6) a.attachments = ReadAttachmentList(s);
    if (level >= 7) a.spareText = s.ReadString();
    if (level >= 8) a.richText = s.ReadString();
    if (level >= 9) ReadOldLinkSection(s, a.display, d);
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
        // The content is passed over on the way to the links, not inflated:
        // a summary never needs it (with flags bit 6 set it is not even
        // reached), and inflating it would cost as much as reading it.
        if (level > 3) s.SkipBlob();
        if (level > 4) {
            ArticleDisplayProps ignored;
            ReadNewDisplaySection(s, ignored, d);
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
    if (level > 4) ReadNewDisplaySection(s, a.display, d);
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

CArticle ReadArticleRecord(CDataFile& f, int32_t id, const RecordDefaults& d, bool summary) {
    CRecordStream s;
    s.OpenRecord(f, table::kArticles, id);
    CArticle a;
    ReadArticleRecord(s, a, d, summary);
    return a;
}

}  // namespace

ArticleDisplayProps ArticleDisplayProps::Defaults(const RecordDefaults& d) {
    ArticleDisplayProps p;
    p.flags = d.fullPathNames ? display_flags::kFullPathNames : 0;
    p.wordWrap = d.wordWrap;
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
    return ReadArticleRecord(f, id, d, false);
}

CArticle ReadArticleSummary(CDataFile& f, int32_t id, const RecordDefaults& d) {
    return ReadArticleRecord(f, id, d, true);
}

}  // namespace qb

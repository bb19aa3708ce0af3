#include "datafile/numbered_streams.h"

#include <new>

#include "datafile/record_reading.h"
#include "resources/strings.h"

namespace qb {

using namespace record_reading;

namespace {

constexpr int16_t kSavedQuerySignature = 220;

}  // namespace

// ---- Id arrays and texts -------------------------------------------------------

IdSet ReadIdStream(CRecordStream& s) {
    return IdSet::FromUnsorted(s.ReadIdArray());
}

void LoadIdStream(CDataFile& f, int16_t id, IdSet& out) {
    out.Clear();
    ReadOptionalStream(f, id, [&](CRecordStream& s) { out = ReadIdStream(s); });
}

std::string ReadTextStream(CRecordStream& s) {
    return s.ReadString();
}

std::string LoadTextStream(CDataFile& f, int16_t id, const std::string& def,
                           bool emptyMeansDefault) {
    std::string text;
    if (!ReadOptionalStream(f, id, [&](CRecordStream& s) { text = ReadTextStream(s); })) return def;
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

// ---- Page setup ------------------------------------------------------------------

void ReadPageSetup(CRecordStream& s, PageSetupValues& p) {
    p.read = 0;
    int32_t remaining = s.ReadInt32();
    try {
        for (int16_t& v : p.values) {
            if (!Lenient(s, v, remaining)) break;
            ++p.read;
        }
    } catch (const CQuillError& e) {
        if (!e.IsCorrupted()) throw;  // the stream ended: keep what it held
    }
}

void LoadPageSetup(CDataFile& f, PageSetupValues& p) {
    ReadOptionalStream(f, stream_id::kPageSetup, [&](CRecordStream& s) { ReadPageSetup(s, p); });
}

// ---- The file's own settings -------------------------------------------------------

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
        field(fs.updateDatesToModified, FileSettings::kUpdateDatesToModified);
        for (int16_t& v : fs.unused1)
            field(v, FileSettings::kUnused1);
        field(fs.wordWrap, FileSettings::kWordWrap);
        field(fs.unused2, FileSettings::kUnused2);
        if (remaining >= static_cast<int32_t>(fs.font.size())) {
            s.ReadExact(fs.font.data(), fs.font.size());
            remaining -= static_cast<int32_t>(fs.font.size());
            fs.read |= FileSettings::kFont;
        }
        bool gotFontColor = field(fs.fontColor, FileSettings::kFontColor);
        if (gotFontColor && remaining == 0) {
            fs.fontAutoColor = 0;  // older files end here; their colour is not automatic
            fs.read |= FileSettings::kFontAutoColor;
            return;
        }
        field(fs.fontAutoColor, FileSettings::kFontAutoColor);
        text(fs.comments, FileSettings::kComments);
        field(fs.relativeLinkLocation, FileSettings::kRelativeLinkLocation);
        text(fs.relativeLinkPath, FileSettings::kRelativeLinkPath);
        field(fs.fullPathNames, FileSettings::kFullPathNames);
    } catch (const CQuillError& e) {
        if (!e.IsCorrupted()) throw;  // the stream ended: keep what it held
    }
}

bool LoadFileSettings(CDataFile& f, FileSettings& fs) {
    return ReadOptionalStream(f, stream_id::kFileSettings,
                              [&](CRecordStream& s) { ReadFileSettings(s, fs); });
}

// ---- Saved queries --------------------------------------------------------------------

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
    ReadOptionalStream(
        f, stream_id::kSavedQueries, [&](CRecordStream& s) { ReadSavedQueries(s, q); },
        [&] { q = SavedQueries(); });
}

// ---- Reminders ----------------------------------------------------------------------

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
    } catch (const CQuillError&) {
        r = Reminders();
        throw;
    } catch (const std::bad_alloc&) {
        r = Reminders();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

void LoadReminders(CDataFile& f, Reminders& r, const RecordDefaults& d) {
    ReadOptionalStream(
        f, stream_id::kReminders, [&](CRecordStream& s) { ReadReminders(s, r, d); },
        [&] { r = Reminders(); });
}

}  // namespace qb

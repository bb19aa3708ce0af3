// qbx dump FILE: the whole stored content of a data file as JSON, for
// looking into files and for checking the readers against them.
#include <cstring>
#include <ctime>
#include <new>

#include "cli_document.h"
#include "command.h"
#include "datafile/data_file.h"
#include "datafile/record_stream.h"
#include "datafile/records.h"
#include "json.h"
#include "terminal_ui.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx dump [--password-stdin] [--allow-newer] FILE\n"
    "\n"
    "Writes the content of the data file FILE as JSON on stdout. A password\n"
    "for private articles is read from stdin (--password-stdin) or from the\n"
    "environment variable QBX_PASSWORD. A file that asks for its password at\n"
    "open is also asked for it on the terminal, and fails without it.\n";

// The code page of the file being dumped (--code-page); one dump a run.
qb::CodePage gPage;

std::string Text(const std::string& stored) {
    return gPage.ToUtf8(stored);
}

void Error(JsonWriter& j, int code) {
    j.BeginInlineObject();
    j.Key("error");
    j.Int(code);
    j.EndObject();
}

void ErrorEntry(JsonWriter& j, int32_t id, int code) {
    j.BeginInlineObject();
    j.Key("id");
    j.Int(id);
    j.Key("error");
    j.Int(code);
    j.EndObject();
}

template <typename C>
void Ints(JsonWriter& j, const C& values) {
    j.BeginArray();
    for (auto v : values)
        j.Int(v);
    j.EndArray();
}

void Pair(JsonWriter& j, int32_t a, int32_t b) {
    j.BeginArray();
    j.Int(a);
    j.Int(b);
    j.EndArray();
}

std::string Hex(const uint8_t* p, size_t n) {
    static const char kHex[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += kHex[p[i] >> 4];
        s += kHex[p[i] & 15];
    }
    return s;
}

// Runs `read` and returns 0, or the error code it failed with.
template <typename F>
int Attempt(F&& read) {
    try {
        read();
        return 0;
    } catch (const qb::CQuillError& e) {
        return e.Code() ? e.Code() : qb::err::kCorrupted;
    } catch (const std::bad_alloc&) {
        return qb::err::kOutOfMemory;
    }
}

void DumpFileHeader(JsonWriter& j, qb::CDataFile& f) {
    j.Key("file");
    j.BeginObject();
    j.Key("path");
    j.String(f.Path());
    j.Key("version");
    j.Int(f.Version());
    j.Key("blockSize");
    j.Int(f.BlockSize());
    j.Key("entriesPerBlock");
    j.Int(f.EntriesPerBlock());
    j.Key("headerLength");
    j.Int(f.HeaderLength());
    j.Key("flags");
    j.Int(f.Flags());
    j.Key("asksPasswordAtOpen");
    j.Bool(f.AsksPasswordAtOpen());
    j.Key("generator");
    j.String(Text(f.GeneratorText()));
    j.Key("tables");
    j.BeginObject();
    const std::pair<const char*, int> tables[] = {{"keywords", qb::table::kKeywords},
                                                  {"articles", qb::table::kArticles},
                                                  {"groups", qb::table::kGroups}};
    for (const auto& [name, t] : tables) {
        qb::CDataFile::TableDescriptor d = f.Table(t);
        j.Key(name);
        j.BeginObject();
        j.Key("count");
        j.Int(d.count);
        j.Key("free");
        j.Int(d.free);
        j.EndObject();
    }
    j.EndObject();
    j.EndObject();
}

// The occupied slots of a table, or the error that stops listing them.
int LiveIds(qb::CDataFile& f, int t, qb::IdSet& ids) {
    return Attempt([&] { f.ListLiveRecords(t, ids); });
}

void DumpKeywords(JsonWriter& j, qb::CDataFile& f) {
    j.Key("keywords");
    qb::IdSet ids;
    if (int code = LiveIds(f, qb::table::kKeywords, ids)) return Error(j, code);
    j.BeginArray();
    for (int32_t id : ids) {
        qb::CKeyword k;
        if (int code = Attempt([&] { k = qb::ReadKeyword(f, id); })) {
            ErrorEntry(j, id, code);
            continue;
        }
        j.BeginObject();
        j.Key("id");
        j.Int(id);
        j.Key("level");
        j.Int(k.level);
        j.Key("name");
        j.String(Text(k.name));
        j.Key("articles");
        Ints(j, k.articles);
        if (k.level > 2) {
            j.Key("secondIds");
            Ints(j, k.secondIds);
        }
        j.EndObject();
    }
    j.EndArray();
}

void DumpGroups(JsonWriter& j, qb::CDataFile& f) {
    j.Key("groups");
    qb::IdSet ids;
    if (int code = LiveIds(f, qb::table::kGroups, ids)) return Error(j, code);
    j.BeginArray();
    for (int32_t id : ids) {
        qb::CKeywordGroup g;
        if (int code = Attempt([&] { g = qb::ReadGroup(f, id); })) {
            ErrorEntry(j, id, code);
            continue;
        }
        j.BeginObject();
        j.Key("id");
        j.Int(id);
        j.Key("name");
        j.String(Text(g.name));
        j.Key("keywords");
        Ints(j, g.keywords);
        j.Key("value");
        j.Int(g.value);
        j.EndObject();
    }
    j.EndArray();
}

const char* FormatName(qb::ArticleFormat f) {
    switch (f) {
        case qb::ArticleFormat::Old:
            return "old";
        case qb::ArticleFormat::New:
            return "new";
        default:
            return "unknown";
    }
}

void DumpArticle(JsonWriter& j, int32_t id, const qb::CArticle& a) {
    j.BeginObject();
    j.Key("id");
    j.Int(id);
    j.Key("format");
    j.String(FormatName(a.format));
    j.Key("level");
    j.Int(a.level);
    j.Key("flags");
    j.Int(a.flags);
    if (a.format == qb::ArticleFormat::New) {
        j.Key("reserved");
        j.Int(a.reserved);
    }
    j.Key("title");
    j.String(Text(a.title));
    j.Key("date");
    j.Int(a.articleDate);
    j.Key("time");
    j.Int(a.articleTime);
    j.Key("created");
    Pair(j, a.createdDate, a.createdTime);
    j.Key("modified");
    Pair(j, a.modifiedDate, a.modifiedTime);
    j.Key("keywords");
    Ints(j, a.keywordIds);
    j.Key("contentType");
    j.String(a.IsRichText() ? "rtf" : "text");
    j.Key("content");
    j.String(Text(a.Content()));
    // Stored texts the content rule does not show, so the dump hides nothing.
    if (&a.Content() != &a.plainText && !a.plainText.empty()) {
        j.Key("plainText");
        j.String(Text(a.plainText));
    }
    if (&a.Content() != &a.richText && !a.richText.empty()) {
        j.Key("richText");
        j.String(Text(a.richText));
    }
    if (!a.spareText.empty()) {
        j.Key("spareText");
        j.String(Text(a.spareText));
    }
    j.Key("attachments");
    j.BeginArray();
    for (const auto& at : a.attachments) {
        j.BeginObject();
        j.Key("kind");
        j.Int(at.kind);
        j.Key("target");
        j.String(Text(at.target));
        j.Key("articleId");
        j.Int(at.articleId);
        j.Key("flags");
        j.Int(at.flags);
        j.EndObject();
    }
    j.EndArray();
    j.Key("links");
    j.BeginArray();
    for (const auto& l : a.links) {
        j.BeginObject();
        j.Key("start");
        j.Int(l.start);
        j.Key("end");
        j.Int(l.end);
        j.Key("kind");
        j.Int(l.kind);
        j.Key("articleId");
        j.Int(l.articleId);
        j.Key("date");
        j.Int(l.createdDate);
        j.Key("time");
        j.Int(l.createdTime);
        j.Key("target");
        j.String(Text(l.target));
        j.EndObject();
    }
    j.EndArray();
    j.Key("display");
    j.BeginObject();
    j.Key("flags");
    j.Int(a.display.flags);
    j.Key("valueA");
    j.Int(a.display.spareValue);
    j.Key("linkDisplay");
    j.Int(a.display.linkDisplay);
    j.Key("autoOpen");
    j.Int(a.display.autoOpen);
    j.Key("valueD");
    j.Int(a.display.wordWrap);
    j.EndObject();
    j.EndObject();
}

void DumpArticles(JsonWriter& j, qb::CDataFile& f, const qb::RecordDefaults& d) {
    j.Key("articles");
    qb::IdSet ids;
    if (int code = LiveIds(f, qb::table::kArticles, ids)) return Error(j, code);
    j.BeginArray();
    for (int32_t id : ids) {
        qb::CArticle a;
        if (int code = Attempt([&] { a = qb::ReadArticle(f, id, d); })) {
            ErrorEntry(j, id, code);
            continue;
        }
        DumpArticle(j, id, a);
    }
    j.EndArray();
}

// Opens stream `id` for the value of `key`: false (with null or the error
// already written) when there is nothing to read.
bool OpenStream(JsonWriter& j, const char* key, qb::CDataFile& f, int16_t id,
                qb::CRecordStream& s) {
    j.Key(key);
    int32_t first = qb::NIL_BLOCK;
    if (int code = Attempt([&] { first = f.FindStream(id); })) {
        Error(j, code);
        return false;
    }
    if (first == qb::NIL_BLOCK) {
        j.Null();
        return false;
    }
    if (int code = Attempt([&] { s.OpenAt(f, first); })) {
        Error(j, code);
        return false;
    }
    return true;
}

void DumpIdStream(JsonWriter& j, const char* key, qb::CDataFile& f, int16_t id) {
    qb::CRecordStream s;
    if (!OpenStream(j, key, f, id, s)) return;
    qb::IdSet ids;
    if (int code = Attempt([&] { ids = qb::ReadIdStream(s); })) return Error(j, code);
    Ints(j, ids);
}

void DumpTextStream(JsonWriter& j, const char* key, qb::CDataFile& f, int16_t id) {
    qb::CRecordStream s;
    if (!OpenStream(j, key, f, id, s)) return;
    std::string text;
    if (int code = Attempt([&] { text = qb::ReadTextStream(s); })) return Error(j, code);
    j.String(Text(text));
}

void DumpPageSetup(JsonWriter& j, qb::CDataFile& f) {
    qb::CRecordStream s;
    if (!OpenStream(j, "pageSetup", f, qb::stream_id::kPageSetup, s)) return;
    qb::PageSetupValues p;
    if (int code = Attempt([&] { qb::ReadPageSetup(s, p); })) return Error(j, code);
    j.BeginArray();
    for (int i = 0; i < static_cast<int>(p.values.size()); ++i) {
        if (i < p.read)
            j.Int(p.values[i]);
        else
            j.Null();  // not in the stream
    }
    j.EndArray();
}

void DumpFileSettings(JsonWriter& j, const qb::FileSettings& fs) {
    using F = qb::FileSettings;
    j.BeginObject();
    auto num = [&](const char* key, uint32_t bit, int64_t v) {
        if (!(fs.read & bit)) return;
        j.Key(key);
        j.Int(v);
    };
    num("setting1", F::kUpdateDatesToModified, fs.updateDatesToModified);
    if (fs.read & F::kUnused1) {
        j.Key("unused1");
        Ints(j, fs.unused1);
    }
    num("setting2", F::kWordWrap, fs.wordWrap);
    num("unused2", F::kUnused2, fs.unused2);
    if (fs.read & F::kFont) {
        j.Key("font");
        j.String(Hex(fs.font.data(), fs.font.size()));
    }
    num("setting3", F::kFontColor, fs.fontColor);
    num("setting4", F::kFontAutoColor, fs.fontAutoColor);
    if (fs.read & F::kComments) {
        j.Key("text1");
        j.String(Text(fs.comments));
    }
    num("setting5", F::kRelativeLinkLocation, fs.relativeLinkLocation);
    if (fs.read & F::kRelativeLinkPath) {
        j.Key("text2");
        j.String(Text(fs.relativeLinkPath));
    }
    num("setting6", F::kFullPathNames, fs.fullPathNames);
    j.EndObject();
}

void DumpSavedQueries(JsonWriter& j, qb::CDataFile& f) {
    qb::CRecordStream s;
    if (!OpenStream(j, "savedQueries", f, qb::stream_id::kSavedQueries, s)) {
        // The recent list lives in the same stream.
        qb::CRecordStream again;
        OpenStream(j, "recentQueries", f, qb::stream_id::kSavedQueries, again);
        return;
    }
    qb::SavedQueries q;
    if (int code = Attempt([&] { qb::ReadSavedQueries(s, q); })) {
        Error(j, code);
        j.Key("recentQueries");
        Error(j, code);
        return;
    }
    j.BeginArray();
    for (const auto& e : q.queries) {
        j.BeginObject();
        j.Key("name");
        j.String(Text(e.name));
        j.Key("text");
        j.String(Text(e.text));
        j.Key("from");
        j.Int(e.dateFrom);
        j.Key("to");
        j.Int(e.dateTo);
        j.EndObject();
    }
    j.EndArray();
    j.Key("recentQueries");
    Ints(j, q.recent);
}

void DumpReminders(JsonWriter& j, qb::CDataFile& f, const qb::RecordDefaults& d) {
    qb::CRecordStream s;
    if (!OpenStream(j, "reminders", f, qb::stream_id::kReminders, s)) return;
    qb::Reminders r;
    if (int code = Attempt([&] { qb::ReadReminders(s, r, d); })) return Error(j, code);
    j.BeginArray();
    for (const auto& e : r.list) {
        j.BeginObject();
        j.Key("level");
        j.Int(e.level);
        j.Key("serial");
        j.Int(e.serial);
        j.Key("date");
        j.Int(e.date);
        j.Key("time");
        j.Int(e.time);
        j.Key("articleId");
        j.Int(e.articleId);
        j.EndObject();
    }
    j.EndArray();
}

// Reads stream `id` with `read` when the file has it. Returns 0 or the
// error code; `present` says whether the directory names the stream.
template <typename F>
int ReadOptionalStream(qb::CDataFile& f, int16_t id, bool& present, F&& read) {
    present = false;
    return Attempt([&] {
        int32_t first = f.FindStream(id);
        if (first == qb::NIL_BLOCK) return;
        present = true;
        qb::CRecordStream s;
        s.OpenAt(f, first);
        read(s);
    });
}

int Run(const Args& args) {
    DocumentOptions o;
    if (auto rc = ParseArguments(args, DocumentSyntax("dump", kUsage, o), o.path)) return *rc;
    gPage = o.codePage;

    TerminalUi ui;
    ui.file = o.path;
    qb::CDataFile f;
    try {
        f.Open(o.path, o.allowNewer);
    } catch (const qb::CQuillError& e) {
        e.ReportError(ui);
        return 1;
    }

    // The password, when the file has one and it is given, unlocks the
    // private blobs; without it they show as errors.
    qb::PrivacyData privacy;
    bool havePrivacy = false;
    int privacyError =
        ReadOptionalStream(f, qb::stream_id::kPrivacy, havePrivacy,
                           [&](qb::CRecordStream& s) { qb::ReadPrivacyData(s, privacy); });
    if (privacyError) privacy = qb::PrivacyData();
    // Unlocking follows the document: a file that asks at open needs its
    // password (stdin, QBX_PASSWORD or the terminal); any other file with a
    // password stays locked unless one is given on stdin or in QBX_PASSWORD.
    bool unlocked = false;
    if (!privacyError) {
        qb::PrivacyState state;
        try {
            state.ReadPrivacy(f);
        } catch (const qb::CQuillError& e) {
            e.ReportError(ui);
            return 1;
        }
        auto check = [&state](const std::string& p) { return state.CheckPassword(p); };
        if (f.AsksPasswordAtOpen()) {
            ui.passwordFromStdin = o.passwordFromStdin;
            ui.codePage = o.codePage;
            if (!ui.AskPassword(f.FileName(), check) || !state.IsUnlocked()) {
                qb::CQuillError(qb::err::kPasswordInvalid, f.Path()).ReportError(ui);
                return 1;
            }
        } else if (state.IsPasswordSet() &&
                   !UnlockWithGivenPassword(o.passwordFromStdin, f.Path(), ui, check, o.codePage)) {
            return 1;
        }
        unlocked = state.IsPasswordSet() && state.IsUnlocked();
    }

    // The file's own article options stand in for the preferences.
    qb::FileSettings fileSettings;
    bool haveSettings = false;
    int settingsError =
        ReadOptionalStream(f, qb::stream_id::kFileSettings, haveSettings,
                           [&](qb::CRecordStream& s) { qb::ReadFileSettings(s, fileSettings); });
    if (settingsError) fileSettings = qb::FileSettings();
    qb::RecordDefaults defaults;
    defaults.wordWrap = fileSettings.wordWrap;
    defaults.fullPathNames = fileSettings.fullPathNames != 0;
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    defaults.today = qb::MakeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    defaults.now = qb::MakeTime(tm.tm_hour, tm.tm_min, tm.tm_sec);

    JsonWriter j(stdout);
    j.BeginObject();
    DumpFileHeader(j, f);
    DumpKeywords(j, f);
    DumpGroups(j, f);
    DumpArticles(j, f, defaults);

    j.Key("streams");
    j.BeginObject();
    DumpIdStream(j, "bookmarks", f, qb::stream_id::kBookmarks);
    DumpTextStream(j, "printHeader", f, qb::stream_id::kPrintHeader);
    DumpTextStream(j, "printFooter", f, qb::stream_id::kPrintFooter);
    DumpTextStream(j, "exportHeader", f, qb::stream_id::kExportHeader);
    DumpPageSetup(j, f);
    j.Key("fileSettings");
    if (settingsError)
        Error(j, settingsError);
    else if (!haveSettings)
        j.Null();
    else
        DumpFileSettings(j, fileSettings);
    DumpSavedQueries(j, f);
    j.Key("privacy");
    if (privacyError) {
        Error(j, privacyError);
    } else if (!havePrivacy) {
        j.Null();
    } else {
        j.BeginObject();
        j.Key("passwordSet");
        j.Bool(privacy.passwordSet != 0);
        j.Key("unlocked");
        j.Bool(!privacy.passwordSet || unlocked);
        j.EndObject();
    }
    DumpIdStream(j, "private", f, qb::stream_id::kPrivateIds);
    DumpIdStream(j, "excluded", f, qb::stream_id::kExcludedIds);
    DumpReminders(j, f, defaults);
    j.EndObject();
    j.EndObject();
    j.Flush();
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

static Registrar reg("dump", "write the whole content of a data file as JSON", Run);

}  // namespace qbx

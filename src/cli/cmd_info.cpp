// qbx info: the File Properties values and the counts of a data file.
#include <cstdio>
#include <string>

#include "cli_document.h"
#include "command.h"
#include "document/file_properties.h"
#include "json.h"
#include "platform/icu_locale.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx info [--json] [--password-stdin] [--allow-newer] FILE\n"
    "\n"
    "Prints what File Properties shows for the data file FILE and its counts,\n"
    "as \"Name: value\" lines, or as one JSON object with --json:\n"
    "  path, size (bytes), keywords, groups, exportHeader, defaultFont,\n"
    "  comments, updateDatesToModified, wordWrap, relativeLinkLocation\n"
    "  (0 attachments folder, 1 the file's folder, 2 relativeLinkPath),\n"
    "  relativeLinkPath, fullPathNames, passwordProtectAll,\n"
    "  requestPasswordAtStartup, passwordSet, unlocked, and \"counts\":\n"
    "  articles (all, less the excluded), visible, private, bookmarks,\n"
    "  visibleBookmarks, excluded, keywords, groups, savedQueries, reminders.\n"
    "Visible counts leave out private articles while they are locked.\n"
    "\n"
    "Passwords: a file that asks for its password at open takes it from stdin\n"
    "(--password-stdin), from QBX_PASSWORD or from the terminal, and fails\n"
    "without the right one. Any other file with a password opens locked;\n"
    "a password on stdin or in QBX_PASSWORD unlocks its private articles.\n";

struct Counts {
    int64_t articles, visible, privateCount, bookmarks, visibleBookmarks, excluded, keywords,
        groups, savedQueries, reminders;
};

Counts CountsOf(qb::CQuillboxDoc& doc) {
    Counts c{};
    c.articles = int64_t(doc.AllArticles().Count());
    c.visible = doc.VisibleCount();
    c.privateCount = doc.PrivateCount();
    c.bookmarks = int64_t(doc.Bookmarks().Count());
    c.visibleBookmarks = doc.VisibleBookmarkCount();
    c.excluded = int64_t(doc.ExcludedArticles().Count());
    qb::IdSet s;
    doc.AllKeywords(s);
    c.keywords = int64_t(s.Count());
    doc.AllGroups(s);
    c.groups = int64_t(s.Count());
    c.savedQueries = int64_t(doc.Queries().queries.size());
    c.reminders = int64_t(doc.ReminderCount());
    return c;
}

const char* YesNo(bool b) {
    return b ? "yes" : "no";
}

void PrintText(const qb::FileProperties& p, const Counts& c, bool unlocked) {
    auto line = [](const char* name, const std::string& v) {
        std::printf("%s: %s\n", name, OneLine(v).c_str());
    };
    auto num = [](const char* name, int64_t v) {
        std::printf("%s: %lld\n", name, static_cast<long long>(v));
    };
    line("Path", p.path);
    line("Size", p.sizeText);
    num("Keywords", p.keywordCount);
    num("Keyword groups", p.groupCount);
    line("Export header", p.exportHeader);
    line("Default font", p.defaultFont);
    line("Comments", p.comments);
    line("Update article dates to modification dates", YesNo(p.updateDatesToModified));
    line("Word wrap", YesNo(p.wordWrap));
    num("Location for targets of relative links", p.relativeLinkLocation);
    line("Path for targets of relative links", p.relativeLinkPath);
    line("Full path names for new targets", YesNo(p.fullPathNames));
    line("Password protect all articles", YesNo(p.passwordProtectAll));
    line("Always request password at startup", YesNo(p.requestPasswordAtStartup));
    line("Password set", YesNo(p.passwordSet));
    line("Private articles shown", YesNo(unlocked));
    num("All articles", c.articles);
    num("Visible articles", c.visible);
    num("Private articles", c.privateCount);
    num("Bookmarks", c.bookmarks);
    num("Visible bookmarks", c.visibleBookmarks);
    num("Excluded articles", c.excluded);
    num("Keywords with names", c.keywords);
    num("Groups with names", c.groups);
    num("Saved queries", c.savedQueries);
    num("Reminders", c.reminders);
}

void PrintJson(const qb::FileProperties& p, const Counts& c, bool unlocked) {
    JsonWriter j(stdout);
    j.BeginObject();
    j.Key("path");
    j.String(p.path);
    j.Key("size");
    j.Int(p.sizeBytes);
    j.Key("keywords");
    j.Int(p.keywordCount);
    j.Key("groups");
    j.Int(p.groupCount);
    j.Key("exportHeader");
    j.String(p.exportHeader);
    j.Key("defaultFont");
    j.String(p.defaultFont);
    j.Key("comments");
    j.String(p.comments);
    j.Key("updateDatesToModified");
    j.Bool(p.updateDatesToModified);
    j.Key("wordWrap");
    j.Bool(p.wordWrap);
    j.Key("relativeLinkLocation");
    j.Int(p.relativeLinkLocation);
    j.Key("relativeLinkPath");
    j.String(p.relativeLinkPath);
    j.Key("fullPathNames");
    j.Bool(p.fullPathNames);
    j.Key("passwordProtectAll");
    j.Bool(p.passwordProtectAll);
    j.Key("requestPasswordAtStartup");
    j.Bool(p.requestPasswordAtStartup);
    j.Key("passwordSet");
    j.Bool(p.passwordSet);
    j.Key("unlocked");
    j.Bool(unlocked);
    j.Key("counts");
    j.BeginObject();
    const std::pair<const char*, int64_t> counts[] = {{"articles", c.articles},
                                                      {"visible", c.visible},
                                                      {"private", c.privateCount},
                                                      {"bookmarks", c.bookmarks},
                                                      {"visibleBookmarks", c.visibleBookmarks},
                                                      {"excluded", c.excluded},
                                                      {"keywords", c.keywords},
                                                      {"groups", c.groups},
                                                      {"savedQueries", c.savedQueries},
                                                      {"reminders", c.reminders}};
    for (const auto& [k, v] : counts) {
        j.Key(k);
        j.Int(v);
    }
    j.EndObject();
    j.EndObject();
    j.Flush();
}

int Run(const Args& args) {
    DocumentOptions o;
    bool json = false;
    CommandSyntax syntax = DocumentSyntax("info", kUsage, o);
    syntax.options.push_back(Flag("--json", "one JSON object instead of the lines", json));
    if (auto rc = ParseArguments(args, syntax, o.path)) return *rc;

    CommandDocument d;
    if (int rc = d.Open(o.path, o)) return rc;
    qb::CQuillboxDoc& doc = d.doc;
    qb::FileProperties p = qb::GetFileProperties(doc);
    Counts c = CountsOf(doc);
    if (json)
        PrintJson(p, c, doc.IsUnlocked());
    else
        PrintText(p, c, doc.IsUnlocked());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

static Registrar reg("info", "print the file properties and counts of a data file", Run);

}  // namespace qbx

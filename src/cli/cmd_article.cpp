// qbx article: one article as the article window shows it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "article/article_view_model.h"
#include "cli_document.h"
#include "command.h"
#include "json.h"
#include "json_in.h"
#include "platform/icu_locale.h"
#include "reader_drives.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx article [--json] [--password-stdin] [--allow-newer] FILE ID\n"
    "\n"
    "Prints article ID of the data file FILE as the article window shows it:\n"
    "title, date, time, keywords, attachments (stored and resolved target),\n"
    "stored links (range, kind, target, description) and the content as plain\n"
    "text. With --json, one JSON object with the keys:\n"
    "  id, title, date, time, bookmarked, keywords (names), wordWrap, autoOpen,\n"
    "  richText, attachments (objects: kind, stored, windows, linux (null when\n"
    "  unmapped), enabled, inGallery, label), attachmentTip (null without\n"
    "  attachments), links (objects: start, end, kind, target, description),\n"
    "  content.\n"
    "Kinds: 1 file or folder, 2 web address, 3 article. Targets are mapped to\n"
    "Linux through the reader's Drives settings. An ID that is not an article\n"
    "of the file (or a private one while locked) fails with exit status 1.\n"
    "\n"
    "Passwords: a file that asks for its password at open takes it from stdin\n"
    "(--password-stdin), from QBX_PASSWORD or from the terminal, and fails\n"
    "without the right one. Any other file with a password opens locked;\n"
    "a password on stdin or in QBX_PASSWORD unlocks its private articles.\n";

// The control keeps one CR per paragraph; a terminal wants LF.
std::string PlainContent(const qb::RichTextControl& c) {
    std::u16string text = c.Text();
    for (char16_t& ch : text)
        if (ch == u'\r') ch = u'\n';
    return ToUtf8(text);
}

void PrintText(const qb::ArticleViewModel& m) {
    std::printf("Title: %s\n", OneLine(m.caption).c_str());
    std::printf("Date: %s\n", m.dateText.c_str());
    std::printf("Time: %s\n", m.timeText.c_str());
    std::printf("Bookmarked: %s\n", m.bookmarked ? "yes" : "no");
    for (const std::string& k : m.keywords)
        std::printf("Keyword: %s\n", OneLine(k).c_str());
    for (const qb::AttachmentView& a : m.attachments) {
        std::printf("Attachment: kind %d%s, %s", a.kind, a.enabled ? "" : " (unchecked)",
                    OneLine(a.stored).c_str());
        if (a.kind == 1 && a.resolved.linux)
            std::printf(" -> %s", OneLine(*a.resolved.linux).c_str());
        else if (a.kind == 1)
            std::printf(" -> %s (no Drives entry for %s)", OneLine(a.resolved.windows).c_str(),
                        OneLine(a.resolved.missingKey).c_str());
        std::printf("\n");
    }
    for (const qb::StoredLinkView& l : m.links)
        std::printf("Link: %d-%d kind %d %s: %s\n", l.start, l.end, l.kind,
                    OneLine(l.target).c_str(), OneLine(l.description).c_str());
    std::printf("\n%s\n", PlainContent(m.content).c_str());
}

void PrintJson(const qb::ArticleViewModel& m) {
    JsonWriter j(stdout);
    j.BeginObject();
    j.Key("id");
    j.Int(m.id);
    j.Key("title");
    j.String(m.caption);
    j.Key("date");
    j.String(m.dateText);
    j.Key("time");
    j.String(m.timeText);
    j.Key("bookmarked");
    j.Bool(m.bookmarked);
    j.Key("keywords");
    j.BeginArray();
    for (const std::string& k : m.keywords)
        j.String(k);
    j.EndArray();
    j.Key("wordWrap");
    j.Bool(m.WordWrap());
    j.Key("autoOpen");
    j.Int(m.AutoOpenMode());
    j.Key("richText");
    j.Bool(m.richText);
    j.Key("attachments");
    j.BeginArray();
    for (const qb::AttachmentView& a : m.attachments) {
        j.BeginObject();
        j.Key("kind");
        j.Int(a.kind);
        j.Key("stored");
        j.String(a.stored);
        j.Key("windows");
        j.String(a.resolved.windows);
        j.Key("linux");
        if (a.kind == 1 && a.resolved.linux)
            j.String(*a.resolved.linux);
        else
            j.Null();
        j.Key("enabled");
        j.Bool(a.enabled);
        j.Key("inGallery");
        j.Bool(a.inGallery);
        j.Key("label");
        j.String(a.galleryLabel);
        j.EndObject();
    }
    j.EndArray();
    j.Key("attachmentTip");
    if (m.attachmentTip)
        j.String(*m.attachmentTip);
    else
        j.Null();
    j.Key("links");
    j.BeginArray();
    for (const qb::StoredLinkView& l : m.links) {
        j.BeginObject();
        j.Key("start");
        j.Int(l.start);
        j.Key("end");
        j.Int(l.end);
        j.Key("kind");
        j.Int(l.kind);
        j.Key("target");
        j.String(l.target);
        j.Key("description");
        j.String(l.description);
        j.EndObject();
    }
    j.EndArray();
    j.Key("content");
    j.String(PlainContent(m.content));
    j.EndObject();
    j.Flush();
}

int Run(const Args& args) {
    DocumentOptions o;
    bool json = false;
    CommandSyntax syntax = DocumentSyntax("article", kUsage, o);
    syntax.options.push_back(Flag("--json", "one JSON object instead of the lines", json));
    syntax.requiredOperands = 2;
    syntax.allowedOperands = 2;
    syntax.tooManyOperands = "one file and one ID only";
    syntax.dashOperandsAfterFile = true;  // "-3" is reported as a bad ID
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    if (operands.size() < 2) return UsageError(syntax, "FILE and ID are required");
    const std::string& idText = operands[1];
    int32_t id = -1;
    try {
        size_t used = 0;
        long long v = std::stoll(idText, &used, 10);
        if (used != idText.size() || v < 0 || v > INT32_MAX) throw std::out_of_range("id");
        id = int32_t(v);
    } catch (const std::exception&) {
        return UsageError(syntax, "ID must be an article number: " + idText);
    }

    CommandDocument d;
    qb::CQuillboxDoc& doc = d.doc;
    // Relative targets are resolved against the file's folder, which must
    // be absolute to map to a Linux path.
    std::error_code ec;
    std::string path = std::filesystem::absolute(operands[0], ec).string();
    if (ec) path = operands[0];
    if (int rc = d.Open(path, o)) return rc;
    if (!doc.AllArticles().Contains(id) || doc.ExcludedArticles().Contains(id)) {
        std::fprintf(stderr, "qbx article: %d is not an article of %s\n", id, operands[0].c_str());
        return 1;
    }
    if (doc.IsPrivate(id) && doc.ArePrivateHidden()) {
        std::fprintf(stderr, "qbx article: article %d is private\n", id);
        return 1;
    }
    qb::TargetContext ctx = qb::MakeTargetContext(doc, nullptr);
    ctx.drives = ReaderDrives();
    qb::ArticleViewModel m = qb::LoadArticleView(doc, id, d.locale, ctx);
    if (!m.loaded) return 1;
    if (json)
        PrintJson(m);
    else
        PrintText(m);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

static Registrar reg("article", "print one article as the article window shows it", Run);

}  // namespace qbx

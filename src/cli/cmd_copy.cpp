// qbx copy: what Copy Articles places on the clipboard, on stdout.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "article/clipboard_copy.h"
#include "article/copy_articles.h"
#include "cli_document.h"
#include "command.h"
#include "reader_drives.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx copy [--rtf] [--password-stdin] [--allow-newer] FILE ID...\n"
    "\n"
    "Prints what Copy Articles places on the clipboard for the articles ID...\n"
    "of the data file FILE, in the order given: by default the plain text\n"
    "(UTF-8, LF line ends), each article as\n"
    "  the title\n"
    "  Date: the date\n"
    "  Attachment: the target (one line per attachment)\n"
    "  Keywords: the names, sorted, separated by \", \"\n"
    "  an empty line, the content, an empty line;\n"
    "with --rtf the rich-text form of the same copy instead.\n"
    "File targets are mapped to Linux through the reader's Drives settings.\n"
    "\n"
    "Exit status: 0 on success, 1 when the file or an article cannot be read,\n"
    "2 on a usage mistake or an ID that is not an article of the file (or a\n"
    "private one while the file is locked).\n"
    "\n" QBX_PASSWORD_HELP QBX_CODE_PAGE_HELP;

bool ParseId(const std::string& text, int32_t& id) {
    if (text.empty() || text.size() > 10) return false;
    long long v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    if (v > std::numeric_limits<int32_t>::max()) return false;
    id = int32_t(v);
    return true;
}

int Run(const Args& args) {
    DocumentOptions o;
    bool rtf = false;
    CommandSyntax syntax = DocumentSyntax("copy", kUsage, o);
    syntax.options.push_back(Flag("--rtf", "print the RTF form instead of the text", rtf));
    syntax.requiredOperands = 2;
    syntax.allowedOperands = std::numeric_limits<size_t>::max();
    syntax.dashOperandsAfterFile = true;  // "-3" is reported as a bad ID
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    if (operands.size() < 2) return UsageError(syntax, "FILE and at least one ID are required");
    std::vector<int32_t> ids;
    for (size_t i = 1; i < operands.size(); ++i) {
        int32_t id = 0;
        if (!ParseId(operands[i], id))
            return UsageError(syntax, "ID must be an article number: " + operands[i]);
        ids.push_back(id);
    }

    CommandDocument d;
    qb::CQuillboxDoc& doc = d.doc;
    // Relative targets are resolved against the file's folder, which must
    // be absolute to map to a Linux path.
    std::error_code ec;
    std::string path = std::filesystem::absolute(operands[0], ec).string();
    if (ec) path = operands[0];
    if (int rc = d.Open(path, o)) return rc;
    for (int32_t id : ids) {
        if (!doc.AllArticles().Contains(id) || doc.ExcludedArticles().Contains(id)) {
            std::fprintf(stderr, "qbx copy: %d is not an article of %s\n", id, operands[0].c_str());
            return 2;
        }
        if (doc.IsPrivate(id) && doc.ArePrivateHidden()) {
            std::fprintf(stderr, "qbx copy: article %d is private\n", id);
            return 2;
        }
    }
    qb::TargetContext ctx = qb::MakeTargetContext(doc, nullptr);
    ctx.drives = ReaderDrives();
    std::string out;
    try {
        qb::ArticleCopy copy;
        for (int32_t id : ids)
            copy.Add(qb::ReadCopiedArticle(doc, id, d.locale, ctx));
        out = rtf ? copy.Rtf() : qb::ToLfLineEnds(copy.Text());
    } catch (const qb::CQuillError& e) {
        e.ReportError(d.ui);
        return 1;
    } catch (const std::bad_alloc&) {
        qb::CQuillError(qb::err::kOutOfMemory, path).ReportError(d.ui);
        return 1;
    }
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size()) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

static Registrar reg("copy", "print what Copy Articles places on the clipboard", Run);

}  // namespace qbx

// qbx keywords: the keyword list exactly as Export Keyword List writes it.
#include <cstdio>
#include <string>

#include "cli_document.h"
#include "command.h"
#include "export/keyword_list_export.h"
#include "export/plain_text_writer.h"
#include "platform/icu_locale.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx keywords [--password-stdin] [--allow-newer] FILE\n"
    "\n"
    "Writes the names of the keywords of the data file FILE to stdout, sorted\n"
    "by name, one a line with CR LF, as the bytes stored in the file\n"
    "(Windows-1252) - the same bytes Export Keyword List writes.\n"
    "A file that asks for its password at open takes it from stdin\n"
    "(--password-stdin), from QBX_PASSWORD or from the terminal.\n";

int Run(const Args& args) {
    DocumentOptions o;
    if (auto rc = ParseArguments(args, DocumentSyntax("keywords", kUsage, o), o.path)) return *rc;

    CommandDocument d;
    if (int rc = d.Open(o.path, o)) return rc;
    qb::CQuillboxDoc& doc = d.doc;
    try {
        qb::PlainTextWriter out(stdout);
        qb::WriteKeywordList(doc, out);
        out.Close();
    } catch (const qb::CQuillError& e) {
        qb::CQuillError(e.Code(), o.path).ReportError(d.ui);
        return 1;
    }
    return 0;
}

}  // namespace

static Registrar reg("keywords", "print the sorted keyword list of a data file", Run);

}  // namespace qbx

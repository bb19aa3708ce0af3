// qbx query FILE EXPRESSION: runs a query as Build Query's OK does and
// prints the resulting title list.
#include <cctype>
#include <cstdio>

#include "command.h"
#include "index_session.h"
#include "options.h"
#include "title_options.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx query [--password-stdin] [--allow-newer] FILE EXPRESSION\n"
    "                 [--from DATE] [--to DATE] [--sort N]\n"
    "\n"
    "Prints \"Query Titles (n of m)\" and one line per matching title: the\n"
    "date, a tab and the title. Dates are typed as the locale writes them or\n"
    "as YYYY-MM-DD; an invalid date exits with status 2.\n"
    "An expression that does not compile prints the message and the error's\n"
    "start and end (\"at S-E\") and exits with status 1.\n"
    "\n" QBX_PASSWORD_HELP QBX_CODE_PAGE_HELP;

int Run(const Args& args) {
    DocumentOptions o;
    std::string from, to;
    int32_t sort = 0;
    CommandSyntax syntax = DocumentSyntax("query", kUsage, o);
    syntax.options.insert(syntax.options.end(),
                          {Value("--from", "the first date of the query", from),
                           Value("--to", "the last date of the query", to), SortOption(sort)});
    syntax.requiredOperands = syntax.allowedOperands = 2;  // FILE EXPRESSION
    syntax.tooManyOperands = "one expression only; quote it";
    // After the file a single "-" may begin an expression; "--" never does
    // (a keyword with such a name is written quoted).
    syntax.dashOperandsAfterFile = true;
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    const std::string& path = operands[0];
    const std::string& expression = operands[1];
    std::string text = o.codePage.FromUtf8(expression).bytes;
    // Trailing white space is not part of the expression (as in Build Query).
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    if (text.empty()) return UsageError(syntax, "the expression is empty");

    IndexSession s;
    int32_t dateFrom = qb::kDateOpenLow, dateTo = qb::kDateOpenHigh;
    if (!from.empty() && !ParseCommandLineDate(from, s.locale, s.ui, dateFrom)) return 2;
    if (!to.empty() && !ParseCommandLineDate(to, s.locale, s.ui, dateTo)) return 2;
    if (int rc = s.Open(path, o, sort)) return rc;

    try {
        s.query.Compile(text, s.source);
    } catch (const qb::CQuillError& e) {
        e.ReportError(s.ui);
        std::fprintf(stderr, "at %d-%d\n", int(s.query.ErrorStart()), int(s.query.ErrorEnd()));
        return 1;
    }
    s.query.text = text;
    s.query.dateFrom = dateFrom;
    s.query.dateTo = dateTo;
    s.model->RunCurrentQuery();
    return s.PrintTitles(stdout);
}

Registrar reg("query", "run a query expression and print the matching titles", Run);

}  // namespace

}  // namespace qbx

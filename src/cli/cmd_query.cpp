// qbx query FILE EXPRESSION: runs a query as Build Query's OK does and
// prints the resulting title list.
#include <cctype>
#include <cstdio>

#include "command.h"
#include "index_session.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx query [--password-stdin] [--allow-newer] FILE EXPRESSION\n"
    "                 [--from DATE] [--to DATE] [--sort N]\n"
    "\n"
    "Prints \"Query Titles (n of m)\" and one line per matching title: the\n"
    "date, a tab and the title. Dates are typed as the locale writes them.\n"
    "An expression that does not compile prints the message and the error's\n"
    "start and end (\"at S-E\") and exits with status 1.\n"
    "\n" QBX_PASSWORD_HELP;

int Usage(const char* why) {
    if (why) std::fprintf(stderr, "qbx query: %s\n", why);
    std::fputs(kUsage, stderr);
    return 2;
}

int Run(const Args& args) {
    std::string path, expression, from, to;
    bool haveExpression = false, fromStdin = false, allowNewer = false;
    int32_t sort = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--password-stdin") {
            fromStdin = true;
        } else if (a == "--allow-newer") {
            allowNewer = true;
        } else if (a == "--from" || a == "--to" || a == "--sort") {
            if (i + 1 >= args.size()) return Usage("an option lacks its value");
            const std::string& v = args[++i];
            if (a == "--from") {
                from = v;
            } else if (a == "--to") {
                to = v;
            } else if (auto o = ParseSortOrder(v)) {
                sort = *o;
            } else {
                return Usage("--sort takes 0 to 11");
            }
        } else if ((a.size() > 1 && a[0] == '-' && path.empty()) || a.rfind("--", 0) == 0) {
            // After the file a single "-" may begin an expression; "--" never
            // does (a keyword with such a name is written quoted).
            return Usage(("unknown option '" + a + "'").c_str());
        } else if (path.empty()) {
            path = a;
        } else if (!haveExpression) {
            expression = a;
            haveExpression = true;
        } else {
            return Usage("one expression only; quote it");
        }
    }
    if (path.empty() || !haveExpression) return Usage(nullptr);
    std::string text = ToCp1252(expression);
    // Trailing white space is not part of the expression (as in Build Query).
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    if (text.empty()) return Usage("the expression is empty");

    IndexSession s;
    int32_t dateFrom = qb::kDateOpenLow, dateTo = qb::kDateOpenHigh;
    if (!from.empty() && !ParseCommandLineDate(from, s.locale, s.ui, dateFrom)) return 1;
    if (!to.empty() && !ParseCommandLineDate(to, s.locale, s.ui, dateTo)) return 1;
    if (int rc = s.Open(path, fromStdin, allowNewer, sort)) return rc;

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

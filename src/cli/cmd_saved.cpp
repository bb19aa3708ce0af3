// qbx saved FILE [NAME]: lists the saved queries, or runs one as the Run
// Saved Query menu does.
#include <cstdio>

#include "command.h"
#include "index_session.h"
#include "options.h"
#include "title_options.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx saved [--password-stdin] [--allow-newer] FILE [NAME] [--sort N]\n"
    "\n"
    "Without NAME lists the saved queries, one a line: name, text, from and\n"
    "to dates, separated by tabs; then the Run Saved Query menu. With NAME\n"
    "runs that query and prints the title list.\n"
    "\n" QBX_PASSWORD_HELP QBX_CODE_PAGE_HELP;

int Run(const Args& args) {
    DocumentOptions o;
    int32_t sort = 0;
    CommandSyntax syntax = DocumentSyntax("saved", kUsage, o);
    syntax.options.push_back(SortOption(sort));
    syntax.allowedOperands = 2;  // FILE [NAME]
    syntax.tooManyOperands = "one query name only";
    syntax.dashOperandsAfterFile = true;  // a query's name may begin with "-"
    syntax.missingValueNamesOption = true;
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    const std::string& path = operands[0];
    bool haveName = operands.size() > 1;

    IndexSession s;
    if (int rc = s.Open(path, o, sort)) return rc;
    qb::SavedQueryList& saved = s.model->Saved();
    if (!haveName) {
        for (const qb::SavedQuery& q : saved.Table()) {
            if (q.name.empty() && q.text.empty()) continue;  // an empty slot
            std::printf("%s\t%s\t%s\t%s\n", s.doc.TextCodePage().ToUtf8(q.name).c_str(),
                        s.doc.TextCodePage().ToUtf8(q.text).c_str(),
                        qb::FormatDate(q.dateFrom, false, s.locale).c_str(),
                        qb::FormatDate(q.dateTo, false, s.locale).c_str());
        }
        std::printf("Run Saved Query:\n");
        for (const qb::QueryMenuItem& item : saved.Menu()) {
            if (item.kind == qb::QueryMenuItem::Separator)
                std::printf("  ----\n");
            else
                std::printf("  %s%s\n", s.doc.TextCodePage().ToUtf8(item.text).c_str(),
                            item.enabled ? "" : " (disabled)");
        }
        return 0;
    }
    const std::string& name = operands[1];
    int32_t index = saved.FindByName(ToFileText(s.doc, name));
    if (index < 0) {
        std::fprintf(stderr, "qbx saved: no saved query is named %s\n", name.c_str());
        return 1;
    }
    if (!s.model->RunSavedQuery(index)) return 1;
    return s.PrintTitles(stdout);
}

Registrar reg("saved", "list the saved queries, or run one and print its titles", Run);

}  // namespace

}  // namespace qbx

// qbx saved FILE [NAME]: lists the saved queries, or runs one as the Run
// Saved Query menu does.
#include <cstdio>

#include "command.h"
#include "index_session.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx saved [--password-stdin] [--allow-newer] FILE [NAME] [--sort N]\n"
    "\n"
    "Without NAME lists the saved queries, one a line: name, text, from and\n"
    "to dates, separated by tabs; then the Run Saved Query menu. With NAME\n"
    "runs that query and prints the title list.\n"
    "\n" QBX_PASSWORD_HELP;

int Usage(const char* why) {
    if (why) std::fprintf(stderr, "qbx saved: %s\n", why);
    std::fputs(kUsage, stderr);
    return 2;
}

int Run(const Args& args) {
    std::string path, name;
    bool haveName = false, fromStdin = false, allowNewer = false;
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
        } else if (a == "--sort") {
            if (i + 1 >= args.size()) return Usage("--sort lacks its value");
            auto o = ParseSortOrder(args[++i]);
            if (!o) return Usage("--sort takes 0 to 11");
            sort = *o;
        } else if ((a.size() > 1 && a[0] == '-' && path.empty()) || a.rfind("--", 0) == 0) {
            return Usage(("unknown option '" + a + "'").c_str());
        } else if (path.empty()) {
            path = a;
        } else if (!haveName) {
            name = a;
            haveName = true;
        } else {
            return Usage("one query name only");
        }
    }
    if (path.empty()) return Usage(nullptr);

    IndexSession s;
    if (int rc = s.Open(path, fromStdin, allowNewer, sort)) return rc;
    qb::SavedQueryList& saved = s.model->Saved();
    if (!haveName) {
        for (const qb::SavedQuery& q : saved.Table()) {
            if (q.name.empty() && q.text.empty()) continue;  // an empty slot
            std::printf("%s\t%s\t%s\t%s\n", qb::Cp1252ToUtf8(q.name).c_str(),
                        qb::Cp1252ToUtf8(q.text).c_str(),
                        qb::FormatDate(q.dateFrom, false, s.locale).c_str(),
                        qb::FormatDate(q.dateTo, false, s.locale).c_str());
        }
        std::printf("Run Saved Query:\n");
        for (const qb::QueryMenuItem& item : saved.Menu()) {
            if (item.kind == qb::QueryMenuItem::Separator)
                std::printf("  ----\n");
            else
                std::printf("  %s%s\n", qb::Cp1252ToUtf8(item.text).c_str(),
                            item.enabled ? "" : " (disabled)");
        }
        return 0;
    }
    int32_t index = saved.FindByName(ToCp1252(name));
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

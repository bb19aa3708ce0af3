// qbx titles FILE: the title list as the index window would show it for a
// keyword selection, the bookmarks or the articles with attachments.
#include <cstdio>
#include <vector>

#include "command.h"
#include "index_session.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx titles [--password-stdin] [--allow-newer] FILE [--sort N]\n"
    "                  [--bookmarked | --attachments] [--keyword NAME]... [--or]\n"
    "                  [--index] [--related]\n"
    "\n"
    "Prints the title list caption, then one line per title: the date, a tab\n"
    "and the title. Keywords given with --keyword are selected together, by\n"
    "AND or (--or) by OR; with none, all titles are listed. --sort takes an\n"
    "order 0..11. --index also prints the Index list (in AND mode --related\n"
    "shows only the keywords of the listed titles).\n"
    "\n" QBX_PASSWORD_HELP;

int Usage(const char* why) {
    if (why) std::fprintf(stderr, "qbx titles: %s\n", why);
    std::fputs(kUsage, stderr);
    return 2;
}

int Run(const Args& args) {
    std::string path;
    bool fromStdin = false, allowNewer = false, bookmarked = false, attachments = false;
    bool useOr = false, index = false, related = false;
    int32_t sort = 0;
    std::vector<std::string> keywords;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--password-stdin") {
            fromStdin = true;
        } else if (a == "--allow-newer") {
            allowNewer = true;
        } else if (a == "--bookmarked") {
            bookmarked = true;
        } else if (a == "--attachments") {
            attachments = true;
        } else if (a == "--or") {
            useOr = true;
        } else if (a == "--index") {
            index = true;
        } else if (a == "--related") {
            related = true;
        } else if (a == "--sort" || a == "--keyword") {
            if (i + 1 >= args.size()) return Usage("an option lacks its value");
            const std::string& v = args[++i];
            if (a == "--keyword") {
                keywords.push_back(v);
            } else if (auto o = ParseSortOrder(v)) {
                sort = *o;
            } else {
                return Usage("--sort takes 0 to 11");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage(("unknown option '" + a + "'").c_str());
        } else if (path.empty()) {
            path = a;
        } else {
            return Usage("one file only");
        }
    }
    if (path.empty()) return Usage(nullptr);
    if (bookmarked && attachments)
        return Usage("--bookmarked and --attachments exclude each other");
    // Selecting a keyword starts afresh from its articles, as in the window,
    // so a Show option given with keywords would be silently dropped.
    if ((bookmarked || attachments) && !keywords.empty())
        return Usage("--keyword cannot be combined with --bookmarked or --attachments");

    IndexSession s;
    qb::IndexSettings settings;
    settings.selectListMode = useOr ? qb::kOrMode : qb::kAndMode;
    settings.indexMode = related ? 1 : 0;
    if (int rc = s.Open(path, fromStdin, allowNewer, sort, settings)) return rc;

    if (bookmarked) s.model->ShowBookmarkedTitles();
    if (attachments) s.model->ShowArticlesWithAttachments();
    if (!keywords.empty()) {
        qb::IdSet ids;
        for (const std::string& name : keywords) {
            int32_t id = s.source.FindKeyword(ToCp1252(name));
            if (id == qb::NIL_BLOCK || id < 0) {
                qb::CQuillError(qb::msg::kQueryUnknownKeyword).ReportError(s.ui);
                std::fprintf(stderr, "%s\n", name.c_str());
                return 1;
            }
            ids.Insert(id);
        }
        s.model->AddToSelection(ids);
    }
    int rc = s.PrintTitles(stdout);
    if (index) {
        qb::NamedIdList& list = s.model->IndexList();
        std::printf("%s\n", s.model->IndexCaption().c_str());
        for (size_t r = 0; r < list.RowCount(); ++r)
            std::printf("%s\n", OneLine(qb::Cp1252ToUtf8(list.NameAt(r))).c_str());
        if (std::fflush(stdout) != 0) rc = 1;
    }
    return rc;
}

Registrar reg("titles", "print the title list for keywords, the bookmarks or the attachments", Run);

}  // namespace

}  // namespace qbx

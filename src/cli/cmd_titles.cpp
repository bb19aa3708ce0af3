// qbx titles FILE: the title list as the index window would show it for a
// keyword selection, the bookmarks or the articles with attachments.
#include <cstdio>
#include <vector>

#include "command.h"
#include "index_session.h"
#include "options.h"
#include "title_options.h"

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
    "\n" QBX_PASSWORD_HELP QBX_CODE_PAGE_HELP;

int Run(const Args& args) {
    DocumentOptions o;
    bool bookmarked = false, attachments = false, useOr = false, index = false, related = false;
    int32_t sort = 0;
    std::vector<std::string> keywords;
    CommandSyntax syntax = DocumentSyntax("titles", kUsage, o);
    syntax.options.insert(
        syntax.options.end(),
        {SortOption(sort), Flag("--bookmarked", "list the bookmarked titles", bookmarked),
         Flag("--attachments", "list the titles with attachments", attachments),
         Values("--keyword", "select a keyword; repeated, the keywords together", keywords),
         Flag("--or", "select the keywords by OR", useOr),
         Flag("--index", "print the Index list too", index),
         Flag("--related", "in AND mode only the keywords of the listed titles", related)});
    if (auto rc = ParseArguments(args, syntax, o.path)) return *rc;
    if (bookmarked && attachments)
        return UsageError(syntax, "--bookmarked and --attachments exclude each other");
    // Selecting a keyword starts afresh from its articles, as in the window,
    // so a Show option given with keywords would be silently dropped.
    if ((bookmarked || attachments) && !keywords.empty())
        return UsageError(syntax,
                          "--keyword cannot be combined with --bookmarked or --attachments");

    IndexSession s;
    qb::IndexSettings settings;
    settings.selectListMode = useOr ? qb::kOrMode : qb::kAndMode;
    settings.indexMode = related ? 1 : 0;
    if (int rc = s.Open(o.path, o, sort, settings)) return rc;

    if (bookmarked) s.model->ShowBookmarkedTitles();
    if (attachments) s.model->ShowArticlesWithAttachments();
    if (!keywords.empty()) {
        qb::IdSet ids;
        for (const std::string& name : keywords) {
            int32_t id = s.source.FindKeyword(ToFileText(s.doc, name));
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
            std::printf("%s\n", OneLine(s.doc.TextCodePage().ToUtf8(list.NameAt(r))).c_str());
        if (std::fflush(stdout) != 0) rc = 1;
    }
    return rc;
}

Registrar reg("titles", "print the title list for keywords, the bookmarks or the attachments", Run);

}  // namespace

}  // namespace qbx

// qbx find FILE TEXT: searches the articles as Find does with All Articles
// or Bookmarked Articles, and prints the Found Titles list.
#include <cstdio>
#include <vector>

#include "article/article_search.h"
#include "command.h"
#include "index_session.h"
#include "options.h"
#include "resources/strings.h"

namespace qbx {

namespace {

const char kUsage[] =
    "usage: qbx find [--password-stdin] [--allow-newer] FILE TEXT [--case] [--word]\n"
    "                [--where both|text|title] [--from DATE] [--to DATE]\n"
    "                [--range all|bookmarked]\n"
    "\n"
    "Searches the titles and texts of the articles for TEXT, as Find does, and\n"
    "prints \"Found Titles (n of m)\", then one line per found title: the date,\n"
    "a tab and the title. --case matches case; --word finds whole words only;\n"
    "--where searches article and title text (both, the default), the article\n"
    "text only or the title text only. --from and --to limit the search to the\n"
    "articles dated within them (both included; typed as the locale writes\n"
    "dates, or as YYYY-MM-DD); an empty TEXT with a date finds every article\n"
    "dated within it.\n"
    "--range searches all articles (the default) or the bookmarked ones.\n"
    "\n"
    "When nothing is found the caption shows 0 and the message goes to stderr.\n"
    "Exit status: 0 after a search, 1 when the file cannot be read (a search\n"
    "that a data-file error ends prints \"Found Titles [Stopped]\" and what it\n"
    "found) or there are no bookmarked titles to search, 2 for a usage error or\n"
    "an invalid date. On a terminal, stderr shows the progress.\n"
    "\n" QBX_PASSWORD_HELP QBX_CODE_PAGE_HELP;

Option WhereOption(qb::FindWhere& where) {
    return {"--where", true, "both, text or title",
            [&where](const std::string& v) -> std::optional<std::string> {
                if (v == "both")
                    where = qb::FindWhere::kTitleAndText;
                else if (v == "text")
                    where = qb::FindWhere::kTextOnly;
                else if (v == "title")
                    where = qb::FindWhere::kTitleOnly;
                else
                    return "--where takes both, text or title";
                return std::nullopt;
            }};
}

Option RangeOption(bool& bookmarked) {
    return {"--range", true, "all or bookmarked",
            [&bookmarked](const std::string& v) -> std::optional<std::string> {
                if (v != "all" && v != "bookmarked") return "--range takes all or bookmarked";
                bookmarked = v == "bookmarked";
                return std::nullopt;
            }};
}

int Run(const Args& args) {
    DocumentOptions o;
    qb::FindOptions find;
    bool bookmarked = false;
    CommandSyntax syntax = DocumentSyntax("find", kUsage, o);
    syntax.options.insert(
        syntax.options.end(),
        {Flag("--case", "match case", find.matchCase),
         Flag("--word", "whole words only", find.wholeWord), WhereOption(find.where),
         Value("--from", "the first date searched", find.dateFrom),
         Value("--to", "the last date searched", find.dateTo), RangeOption(bookmarked)});
    syntax.requiredOperands = syntax.allowedOperands = 2;  // FILE TEXT
    syntax.tooManyOperands = "one text only; quote it";
    syntax.dashOperandsAfterFile = true;
    syntax.missingValueNamesOption = true;
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    find.text = operands[1];
    find.range = bookmarked ? qb::FindRange::kBookmarked : qb::FindRange::kAll;
    if (!qb::FindEnabled(find)) return UsageError(syntax, "the text is empty and no date is given");

    IndexSession s;
    // The dates are checked before the file is opened: a typing mistake
    // needs no password.
    qb::FindContext dateOnly;
    dateOnly.visibleBookmarks = 1;
    qb::FindCheck dates = qb::CheckFind(find, dateOnly, s.locale, qb::DefaultPivotYear(s.locale));
    if (dates.invalidDate) {
        qb::ReportInvalidDate(s.ui, s.locale);
        std::fprintf(stderr, "(%s)\n",
                     *dates.invalidDate == qb::DateField::kFrom ? "--from" : "--to");
        return 2;
    }
    if (int rc = s.Open(operands[0], o, 0)) return rc;

    qb::IdSet range;
    if (bookmarked)
        s.doc.VisibleBookmarks(range);
    else
        s.doc.VisibleArticles(range);
    qb::FindContext context;
    context.visibleBookmarks = s.doc.VisibleBookmarkCount();
    qb::FindCheck check = qb::CheckFind(find, context, s.locale, qb::DefaultPivotYear(s.locale));
    if (check.message) {
        s.ui.MessageBox(qb::ResourceString(check.message), qb::MessageIcon::Information);
        return 1;
    }

    qb::ArticleSearchRequest request;
    request.ids = range.Ids();
    request.text = find.text;
    request.flags = find.Flags();
    request.where = find.where;
    request.dateFrom = check.dates.from;
    request.dateTo = check.dates.to;
    qb::ArticleSearch search(s.doc, std::move(request));
    qb::RunArticleSearch(search, s.ui);

    s.model->ClearSelectionAndTitles();
    s.model->ReplaceTitles(qb::IdSet::FromUnsorted(search.Found()));
    s.model->SetTitleMode(search.Stopped() ? qb::title_mode::kFoundStopped
                                           : qb::title_mode::kFound);
    int rc = s.PrintTitles(stdout);
    if (int m = search.EndMessage())
        s.ui.MessageBox(qb::ResourceString(m), qb::MessageIcon::Information);
    return search.Error() ? 1 : rc;
}

Registrar reg("find", "search the titles and texts of the articles for a text", Run);

}  // namespace

}  // namespace qbx

#include <gtest/gtest.h>

#include "document/document_host.h"
#include "fake_source.h"
#include "index/build_query.h"
#include "index/index_model.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"

namespace qb::testing {
namespace {

// Keywords: fruit (0), red (1), green (2), rare (3), unused (4).
// Articles: apple {fruit, red}, lime {fruit, green}, cherry {fruit, red},
// ruby {red, rare}, grass {green}, bare {} - ruby is private.
class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fruit = src.AddKeyword("fruit");
        red = src.AddKeyword("red");
        green = src.AddKeyword("green");
        rare = src.AddKeyword("rare");
        unused = src.AddKeyword("unused");
        apple = src.AddArticle("apple", {fruit, red});
        lime = src.AddArticle("lime", {fruit, green});
        cherry = src.AddArticle("cherry", {fruit, red});
        ruby = src.AddArticle("ruby", {red, rare});
        grass = src.AddArticle("grass", {green});
        bare = src.AddArticle("bare", {});
        src.privates = {ruby};
        src.bookmarks = {lime, ruby};
        src.AddGroup(0, "Colours", {red, green});
        src.AddGroup(1, "Plants", {fruit, green});
        src.AddGroup(2, "Nothing", {});
    }
    IndexModel& Model(IndexSettings s = IndexSettings()) {
        model = std::make_unique<IndexModel>(src, locale, ui, host, query, s);
        model->InitialUpdate();
        return *model;
    }
    void Select(std::initializer_list<int32_t> ids) {
        model->IndexList().SetHighlighted(IdSet(ids));
        model->MoveToSelected();
    }
    std::vector<int32_t> Titles() { return Ids(model->Titles().Members()); }
    std::vector<int32_t> Index() { return Ids(model->IndexList().Members()); }

    FakeSource src;
    FixedLocale locale;
    RecordingUi ui;
    RecordingHost host;
    QueryExpression query;
    std::unique_ptr<IndexModel> model;
    int32_t fruit, red, green, rare, unused;
    int32_t apple, lime, cherry, ruby, grass, bare;
};

TEST_F(SelectionTest, InitialUpdateFollowsInitList) {
    Model();
    EXPECT_EQ(model->TitleMode(), title_mode::kAllTitles);
    EXPECT_EQ(model->TitleCaption(), "All Titles (5 of 5)");
    EXPECT_EQ(Index(), (std::vector<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(model->IndexCaption(), "Index (All)");
    EXPECT_EQ(model->SelectedCaption(), "Selected (AND)");
    // Rows are by name.
    EXPECT_EQ(model->IndexList().Rows(), (std::vector<int32_t>{fruit, green, rare, red, unused}));

    Model({1, 0, 0, 1});
    EXPECT_EQ(model->TitleMode(), title_mode::kBookmarked);
    EXPECT_EQ(Titles(), (std::vector<int32_t>{lime}));

    Model({2, 0, 1, 1});
    EXPECT_EQ(model->TitleCaption(), "Titles (0 of 5)");
    EXPECT_EQ(model->EffectiveIndexMode(), 1);
    // Nothing listed and nothing selected: every keyword, to begin with.
    EXPECT_EQ(Index(), (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST_F(SelectionTest, AndOrSelectionDropsHiddenPrivateArticles) {
    Model();
    Select({red});
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, cherry}));  // not ruby
    EXPECT_EQ(model->TitleCaption(), "Selected Titles (2 of 5)");
    EXPECT_EQ(Ids(model->SelectedList().Highlighted()), (std::vector<int32_t>{red}));
    EXPECT_FALSE(model->IndexList().Members().Contains(red));
    Select({green});  // incremental AND
    EXPECT_TRUE(Titles().empty());
    EXPECT_EQ(model->TitleCaption(), "Selected Titles (0 of 5)");
    model->ChooseAndOrMode(kOrMode);
    EXPECT_EQ(host.storedModes, (std::vector<int32_t>{1}));
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, lime, cherry, grass}));
    EXPECT_EQ(model->SelectedCaption(), "Selected (OR)");

    src.privateHidden = false;
    model->PrivateShownOrHidden();
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, lime, cherry, ruby, grass}));
}

TEST_F(SelectionTest, MovingFromBookmarkedStartsFresh) {
    Model({1, 0, 0, 1});
    Select({fruit});
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, lime, cherry}));
    EXPECT_EQ(model->TitleMode(), title_mode::kSelected);
}

TEST_F(SelectionTest, RemovingTheLastKeywordFallsBackToInitList) {
    Model({2, 0, 0, 1});
    Select({fruit});
    model->SelectedList().SelectAll();
    model->MoveToIndex();
    EXPECT_EQ(model->TitleMode(), title_mode::kTitles);
    EXPECT_EQ(model->TitleCaption(), "Titles (0 of 5)");
    EXPECT_TRUE(model->IndexList().IsHighlighted(fruit));

    Model();
    Select({fruit, red});
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, cherry}));
    model->SelectedList().SetHighlighted(IdSet{red});
    model->MoveToIndex();
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, lime, cherry}));
    model->SelectedList().SelectAll();
    model->MoveToIndex();
    EXPECT_EQ(model->TitleMode(), title_mode::kAllTitles);
}

TEST_F(SelectionTest, RelatedModeOffersOnlyKeywordsOfListedArticles) {
    Model({0, 0, 1, 1});
    EXPECT_EQ(model->IndexCaption(), "Index (Related)");
    // All titles: "unused" is carried by none, "rare" only by the hidden ruby.
    EXPECT_EQ(Index(), (std::vector<int32_t>{fruit, red, green}));
    Select({green});
    EXPECT_EQ(Index(), (std::vector<int32_t>{fruit}));
    Select({fruit});
    EXPECT_EQ(Titles(), (std::vector<int32_t>{lime}));
    EXPECT_TRUE(Index().empty());

    // OR disables related mode; AND brings it back unasked.
    model->SetAndOrMode(kOrMode);
    EXPECT_EQ(model->EffectiveIndexMode(), 0);
    EXPECT_FALSE(model->ShowRelatedItem().enabled);
    EXPECT_TRUE(model->ShowRelatedItem().checked);
    EXPECT_EQ(Index(), (std::vector<int32_t>{red, rare, unused}));
    model->ToggleIndexMode();  // F9 does nothing in OR mode
    EXPECT_EQ(model->RequestedIndexMode(), 1);
    model->SetAndOrMode(kAndMode);
    EXPECT_EQ(model->EffectiveIndexMode(), 1);
    EXPECT_EQ(model->IndexCaption(), "Index (Related)");
    EXPECT_TRUE(Index().empty());
}

TEST_F(SelectionTest, RelatedModeWithNothingListedOffersEveryKeyword) {
    Model({0, 0, 1, 1});
    Select({red});
    query.Compile("green AND rare", src);
    model->RunCurrentQuery();
    EXPECT_TRUE(Titles().empty());
    EXPECT_TRUE(model->SelectedList().Members().Empty());
    EXPECT_EQ(Index(), (std::vector<int32_t>{fruit, red, green, rare, unused}));

    // Keywords with no common article still relate to their (no) titles.
    Model();
    Select({red});
    Select({green});
    EXPECT_TRUE(Titles().empty());
    model->SetIndexMode(1);
    EXPECT_TRUE(Index().empty());
}

TEST_F(SelectionTest, IndexModeChangeLeavesTitlesAlone) {
    Model();
    Select({red});
    model->Titles().Click(0);
    model->SetIndexMode(1);
    EXPECT_EQ(Index(), (std::vector<int32_t>{fruit}));
    EXPECT_TRUE(model->Titles().IsHighlighted(0));  // not refilled
    model->ToggleIndexMode();
    EXPECT_EQ(Index(), (std::vector<int32_t>{fruit, green, rare, unused}));
}

TEST_F(SelectionTest, ShowCommandsClearTheSelectionAndSkipTheCurrentMode) {
    Model();
    Select({red});
    model->ShowBookmarkedTitles();
    EXPECT_TRUE(model->SelectedList().Members().Empty());
    EXPECT_TRUE(model->IndexList().Members().Contains(red));
    EXPECT_EQ(model->TitleCaption(), "Bookmarked Titles (1 of 5)");
    model->ShowAllTitles();
    model->Titles().Click(2);
    int waits = host.waits;
    model->ShowAllTitles();
    EXPECT_EQ(host.waits, waits);  // not rebuilt
    EXPECT_TRUE(model->Titles().IsHighlighted(2));
    src.articles[lime].summary.attachmentCount = 1;
    src.articles[ruby].summary.attachmentCount = 1;
    model->ShowArticlesWithAttachments();
    EXPECT_EQ(Titles(), (std::vector<int32_t>{lime}));
    EXPECT_EQ(model->TitleCaption(), "Articles with Attachments (1 of 5)");
}

TEST_F(SelectionTest, FoundTitlesReplaceTheSelectionAndSayWhenStopped) {
    Model();
    Select({red});
    // The search's order does not matter to the list, which keeps its sort.
    model->ShowFoundTitles({cherry, apple}, false);
    EXPECT_TRUE(model->SelectedList().Members().Empty());
    EXPECT_TRUE(model->IndexList().Members().Contains(red));
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, cherry}));
    EXPECT_EQ(model->TitleCaption(), "Found Titles (2 of 5)");
    model->ShowFoundTitles({lime}, true);
    EXPECT_EQ(model->TitleMode(), title_mode::kFoundStopped);
    EXPECT_EQ(model->TitleCaption(), "Found Titles [Stopped] (1 of 5)");
    model->ShowFoundTitles({}, false);
    EXPECT_EQ(model->TitleCaption(), "Found Titles (0 of 5)");
}

TEST_F(SelectionTest, GroupFilterNarrowsOnlyTheIndexList) {
    Model();
    model->SetGroupPaneVisible(true);
    EXPECT_EQ(model->IndexList().RowCount(), 5u);  // none highlighted
    model->GroupList().SetHighlighted(IdSet{0, 1});
    model->GroupHighlightChanged();
    EXPECT_EQ(model->IndexList().Rows(), (std::vector<int32_t>{fruit, green, red}));
    model->GroupList().SetHighlighted(IdSet{2});
    model->GroupHighlightChanged();
    EXPECT_EQ(model->IndexList().RowCount(), 0u);  // an empty group narrows to nothing
    model->GroupList().SetHighlighted(IdSet{0});
    model->GroupHighlightChanged();
    // A keyword moved back while filtered out is a member but not shown.
    Select({red});
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, cherry}));
    model->SelectedList().SelectAll();
    EXPECT_EQ(model->IndexList().Rows(), (std::vector<int32_t>{green}));
    model->GroupList().SetHighlighted(IdSet{1});
    model->GroupHighlightChanged();
    model->SelectedList().SelectAll();
    model->MoveToIndex();
    EXPECT_TRUE(model->IndexList().Members().Contains(red));
    EXPECT_FALSE(model->IndexList().IsDisplayed(red));
    // Hiding the pane shows every member again; the groups stay highlighted.
    model->SetGroupPaneVisible(false);
    EXPECT_EQ(model->IndexList().RowCount(), 5u);
    EXPECT_EQ(model->GroupList().Highlighted().Count(), 1u);
    model->SetGroupPaneVisible(true);
    EXPECT_EQ(model->IndexList().RowCount(), 2u);
    model->TurnOffGroupFilter();
    EXPECT_EQ(model->IndexList().RowCount(), 5u);
}

TEST_F(SelectionTest, FilterKeepsTheCaretKeywordAndDropsHiddenHighlights) {
    Model();
    model->SetGroupPaneVisible(true);
    model->IndexList().Click(0);               // fruit
    model->IndexList().Click(3, false, true);  // and red, the caret
    model->GroupList().SetHighlighted(IdSet{0});
    model->GroupHighlightChanged();
    EXPECT_EQ(model->IndexList().Caret(), red);
    EXPECT_EQ(Ids(model->IndexList().Highlighted()), (std::vector<int32_t>{red}));
    EXPECT_EQ(model->IndexList().ScrollTarget(), 0u);
}

TEST_F(SelectionTest, PrivateRefreshByMode) {
    Model();
    src.privateHidden = false;
    model->PrivateShownOrHidden();
    EXPECT_EQ(model->TitleCaption(), "All Titles (6 of 6)");

    model->SetTitleMode(title_mode::kFound);
    model->PrivateShownOrHidden();
    EXPECT_EQ(model->TitleMode(), title_mode::kFoundOutdated);

    query.Compile("red", src);
    model->RunCurrentQuery();
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, cherry, ruby}));
    src.privateHidden = true;
    model->PrivateShownOrHidden();
    EXPECT_EQ(model->TitleMode(), title_mode::kQuery);
    EXPECT_EQ(Titles(), (std::vector<int32_t>{apple, cherry}));

    model->Settings().autoUpdateQuery = 0;
    src.privateHidden = false;
    model->PrivateShownOrHidden();
    EXPECT_EQ(model->TitleCaption(), "Query Titles [Outdated] (2 of 6)");
}

TEST_F(SelectionTest, FailedCompileMarksTheQueryListOutdatedInsteadOfEmptyingIt) {
    Model();
    query.Compile("red", src);
    model->RunCurrentQuery();
    EXPECT_THROW(query.Compile("red AND", src), CQuillError);
    src.privateHidden = false;
    model->PrivateShownOrHidden();
    EXPECT_EQ(model->TitleMode(), title_mode::kQueryOutdated);
    EXPECT_EQ(model->Titles().RowCount(), 2u);
}

TEST_F(SelectionTest, SavedQueriesRunMoveToFrontAndReportProblems) {
    src.saved.queries = {{"reds", "red", kDateOpenLow, kDateOpenHigh},
                         {"broken", "gone AND red", kDateOpenLow, kDateOpenHigh}};
    src.saved.recent = {1};
    Model();
    Select({fruit});
    EXPECT_TRUE(model->RunSavedQuery(0));
    EXPECT_TRUE(model->SelectedList().Members().Empty());
    EXPECT_EQ(model->TitleCaption(), "Query Titles (2 of 5)");
    EXPECT_EQ(model->Saved().Recent(), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(query.text, "red");

    model->ShowBookmarkedTitles();
    EXPECT_FALSE(model->RunSavedQuery(1));
    EXPECT_EQ(ui.LastText(), ResourceString(msg::kSavedQueryInvalid));
    EXPECT_EQ(model->TitleMode(), title_mode::kBookmarked);  // rows and mode kept
    EXPECT_EQ(model->Saved().Recent(), (std::vector<int32_t>{0, 1}));
    EXPECT_FALSE(model->RunSavedQuery(7));
}

TEST_F(SelectionTest, DroppedKeywordsAreSelectedWithoutHighlight) {
    Model();
    model->AddToSelection(IdSet{red, green});
    EXPECT_EQ(Titles(), std::vector<int32_t>{});
    EXPECT_EQ(model->TitleMode(), title_mode::kSelected);
    EXPECT_EQ(Ids(model->SelectedList().Members()), (std::vector<int32_t>{red, green}));
    EXPECT_FALSE(model->IndexList().Members().Contains(green));
}

TEST_F(SelectionTest, WindowQueriesAndCommandsReachTheLists) {
    Model();
    EXPECT_EQ(model->TitleMode(), title_mode::kAllTitles);
    EXPECT_EQ(model->TitleMemberCount(), 5);
    model->SetAndOrMode(kOrMode);
    EXPECT_EQ(model->SelectedKeywordMode(), kOrMode);
    model->SetAndOrMode(kAndMode);
    model->SetIndexMode(1);
    EXPECT_EQ(model->RequestedIndexMode(), 1);
    model->ToggleIndexMode();
    EXPECT_EQ(model->RequestedIndexMode(), 0);
    model->StepArticle(apple, true);
    EXPECT_EQ(model->HighlightedCount(), 1);
    int previews = host.previews;
    model->ClearTitleHighlight();
    EXPECT_EQ(model->HighlightedCount(), 0);
    EXPECT_GT(host.previews, previews);  // the preview follows
    src.sortOrder = title_order::kTitlesDescending;
    model->SortOrderChanged();
    EXPECT_EQ(src.articles[model->Titles().Rows().front()].summary.title, "lime");
}

TEST_F(SelectionTest, PreviewFollowsTheHighlight) {
    Model();
    EXPECT_FALSE(model->PreviewArticle());
    model->Titles().Click(0);  // apple
    EXPECT_EQ(model->PreviewArticle(), apple);
    model->Titles().Click(2, false, true);  // cherry (bare is row 1)
    EXPECT_FALSE(model->PreviewArticle());
    EXPECT_EQ(Ids(model->PreviewKeywords()), (std::vector<int32_t>{fruit, red}));
}

// ---- Build Query ------------------------------------------------------------------

TEST_F(SelectionTest, BuildQueryPrefillAndEnableRules) {
    src.AddKeyword("Two Words");
    IdSet selected{red, fruit, 5};
    BuildQueryModel d(src, locale, query, selected, kOrMode, 2099);
    EXPECT_EQ(d.Expression(), "fruit OR red OR \"Two Words\"");
    EXPECT_FALSE(d.PreviousEnabled());  // no current query
    EXPECT_TRUE(d.GroupEnabled());
    EXPECT_FALSE(d.SaveEnabled());
    d.Edit("");
    EXPECT_FALSE(d.OkEnabled());
    EXPECT_FALSE(d.DatesEnabled());

    query.text = "Red";
    BuildQueryModel e(src, locale, query, IdSet(), kAndMode, 2099);
    EXPECT_EQ(e.Expression(), "Red");
    EXPECT_FALSE(e.PreviousEnabled());
    e.Edit("red");
    EXPECT_FALSE(e.PreviousEnabled());  // same text, another case
    e.Edit("red AND");
    EXPECT_TRUE(e.PreviousEnabled());
    EXPECT_TRUE(e.UndoEnabled());
    e.Clear();
    EXPECT_EQ(e.Expression(), "");
    e.Undo();
    EXPECT_EQ(e.Expression(), "red AND");
    e.Previous();
    EXPECT_EQ(e.Expression(), "Red");
}

TEST_F(SelectionTest, BuildQueryInsertionSpacing) {
    BuildQueryModel d(src, locale, query, IdSet(), kAndMode, 2099);
    d.InsertKeyword(red);
    EXPECT_EQ(d.Expression(), "red ");
    d.InsertOperator(query::kAnd);
    EXPECT_EQ(d.Expression(), "red AND ");
    d.Edit("red AND(");
    d.SetSelection(8, 8);
    d.InsertKeyword(green);
    EXPECT_EQ(d.Expression(), "red AND( green ");
    EXPECT_EQ(d.SelectionStart(), 15u);
    d.Edit("x");
    d.SetSelection(1, 1);
    d.InsertOperator(query::kOr);  // one character: no space before
    EXPECT_EQ(d.Expression(), "xOR ");
    d.SetSelection(0, 4);
    d.InsertGroup(0);
    EXPECT_EQ(d.Expression(), "GROUP: Colours ");
}

// The dialog writes stored dates back with their whole year, so reopening
// it and pressing OK keeps a 1998 date in 1998 whatever the two-digit-year
// window says.
TEST_F(SelectionTest, BuildQueryDatesReadBackAsTheyWereStored) {
    locale.pattern = "M/d/yy";  // the desktop's short date, two-digit years
    query.text = "red";
    query.dateFrom = 19980101;
    query.dateTo = 19991231;
    BuildQueryModel d(src, locale, query, IdSet(), kAndMode, 2099);
    EXPECT_EQ(d.fromText, "1/1/1998");
    EXPECT_EQ(d.toText, "12/31/1999");
    EXPECT_TRUE(d.Ok(ui));
    EXPECT_EQ(query.dateFrom, 19980101);
    EXPECT_EQ(query.dateTo, 19991231);
    // A two-digit year typed still follows the window.
    d.fromText = "1/1/98";
    EXPECT_TRUE(d.Ok(ui));
    EXPECT_EQ(query.dateFrom, 20980101);
}

TEST_F(SelectionTest, BuildQueryOkValidatesDatesThenCompiles) {
    BuildQueryModel d(src, locale, query, IdSet(), kAndMode, 2099);
    d.Edit("red   ");
    d.fromText = "13/45/2020";
    EXPECT_FALSE(d.Ok(ui));
    EXPECT_EQ(d.FocusField(), QueryField::From);
    EXPECT_NE(ui.LastText().find("M/D/YYYY"), std::string::npos);
    d.fromText = "1/2/2020";
    d.toText = "foo";  // a word is refused, not read as today
    EXPECT_FALSE(d.Ok(ui));
    EXPECT_EQ(d.FocusField(), QueryField::To);
    d.toText = "";
    EXPECT_TRUE(d.Ok(ui));
    EXPECT_EQ(query.text, "red");
    EXPECT_EQ(query.dateFrom, 20200102);
    EXPECT_EQ(query.dateTo, kDateOpenHigh);
    d.fromText = "2020-01-02";  // ISO in any locale
    EXPECT_TRUE(d.Ok(ui));
    EXPECT_EQ(query.dateFrom, 20200102);

    d.Edit("red green");
    EXPECT_FALSE(d.Ok(ui));
    EXPECT_EQ(ui.LastText(), ResourceString(msg::kQueryMissingOperator));
    EXPECT_EQ(d.SelectionStart(), 3u);  // the character before the error start
    EXPECT_EQ(d.SelectionEnd(), 4u);
    EXPECT_EQ(query.text, "red");  // kept, but no longer compiled
    EXPECT_FALSE(query.Valid());
    d.Edit(") red");
    EXPECT_FALSE(d.Ok(ui));
    EXPECT_EQ(d.SelectionStart(), 0u);
    EXPECT_EQ(d.SelectionEnd(), 0u);
}

}  // namespace
}  // namespace qb::testing

// Whole paths a person takes through the reader with the demo file: the
// index window is created by the reader's factory, commands come from the
// main frame's actions, dialogs are answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "../app/gui_test_support.h"
#include "gui/app/commands.h"
#include "gui/index/index_lists.h"
#include "gui/index/index_window.h"
#include "gui/index/query_dialogs.h"

namespace qb::testing {
namespace {

const std::string kDemo = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";

class ReaderPaths : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kDemo)) GTEST_SKIP() << "no demo file";
        r.app = std::make_unique<ReaderApp>(r.env, r.ui, r.dialogs);
        windows = &InstallIndexWindow(*r.app);
        r.app->AddFrameExtension(&InstallDocumentCommands);
        r.app->Start({kDemo});
        ProcessEvents();
        view = ActiveIndexView(*r.app);
        ASSERT_NE(view, nullptr);
    }
    ReaderIndexWindows* windows = nullptr;
    QAction* Action(int id) {
        r.Frame().UpdateCommandStates();
        return r.Frame().Action(id);
    }
    void Run(int id) { r.Frame().RunCommand(id); }
    void Highlight(NamedIdList& list, std::initializer_list<const char*> names) {
        list.ClearHighlight();
        for (const char* n : names)
            for (size_t row = 0; row < list.RowCount(); ++row)
                if (list.NameAt(row) == n) list.Click(row, false, true);
        ASSERT_EQ(list.Highlighted().Count(), names.size());
    }
    std::string Caption() { return view->TitleCaption()->text().toStdString(); }

    ReaderFixture r;
    CIndexView* view = nullptr;
};

TEST_F(ReaderPaths, TwoKeywordsThenOrThenDateOrder) {
    IndexModel& m = view->Model();
    EXPECT_EQ(m.TitleMode(), title_mode::kAllTitles);
    Highlight(m.IndexList(), {"Birds", "Spring"});
    view->MoveToSelected();
    EXPECT_EQ(m.SelectedList().RowCount(), 2u);
    size_t andCount = m.Titles().RowCount();
    EXPECT_GT(andCount, 0u);
    EXPECT_EQ(Caption(), "Selected Titles (" + std::to_string(andCount) + " of " +
                             std::to_string(r.app->Document()->VisibleCount()) + ")");

    Run(cmd::kModeOr);
    EXPECT_TRUE(Action(cmd::kModeOr)->isChecked());
    EXPECT_FALSE(Action(cmd::kIndexModeRelated)->isEnabled());
    EXPECT_GT(m.Titles().RowCount(), andCount);
    EXPECT_EQ(view->SelectedCaption()->text(), "Selected (OR)");

    Run(cmd::kSortDatesDesc);
    EXPECT_TRUE(Action(cmd::kSortDatesDesc)->isChecked());
    const auto& rows = m.Titles().Rows();
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(r.app->Document()->Summary(rows[i - 1]).articleDate,
                  r.app->Document()->Summary(rows[i]).articleDate);
    EXPECT_EQ(r.Stored().GetInt("Index Display", "SortOrder", -1), 3);
}

TEST_F(ReaderPaths, KeywordsListsOffDisablesKeywordGroups) {
    EXPECT_TRUE(Action(cmd::kKeywordsLists)->isChecked());
    EXPECT_TRUE(Action(cmd::kKeywordGroups)->isEnabled());
    Run(cmd::kKeywordsLists);
    EXPECT_FALSE(Action(cmd::kKeywordsLists)->isChecked());
    EXPECT_FALSE(Action(cmd::kKeywordGroups)->isEnabled());
    EXPECT_EQ(r.app->Document()->Index().ViewMode(), 1);
}

TEST_F(ReaderPaths, BuildQueryFromASelectionRunsIntoTheTitleList) {
    IndexModel& m = view->Model();
    Highlight(m.IndexList(), {"Moths", "Butterflies"});
    view->MoveToSelected();
    std::string prefilled;
    r.dialogs.execResult = QDialog::Rejected;
    r.dialogs.onExec = [&](QDialog& d) {
        auto& bq = dynamic_cast<CBuildQueryDialog&>(d);
        prefilled = bq.ExpressionField()->text().toStdString();
    };
    Run(cmd::kQuery);
    ASSERT_EQ(r.dialogs.execs, std::vector<std::string>{"BuildQuery"});
    EXPECT_EQ(prefilled, "Butterflies AND Moths");
    EXPECT_EQ(m.SelectedList().RowCount(), 2u);  // cancelled: nothing changed

    // Now write a query with the buttons and run it.
    r.dialogs.onExec = [&](QDialog& d) {
        auto& bq = dynamic_cast<CBuildQueryDialog&>(d);
        bq.Button("Clear")->click();
        EXPECT_FALSE(bq.Button("Ok")->isEnabled());
        for (int row = 0; row < bq.Keywords()->count(); ++row)
            if (bq.Keywords()->item(row)->text() == "Birds") bq.InsertKeywordRow(row);
        bq.Button("Or")->click();
        bq.Button("Bookmarked")->click();
        EXPECT_EQ(bq.ExpressionField()->text(), "Birds OR BOOKMARKED ");
        bq.ClickOk();
        d.setResult(QDialog::Accepted);
    };
    r.dialogs.execResult = QDialog::Accepted;
    Run(cmd::kQuery);
    EXPECT_EQ(m.TitleMode(), title_mode::kQuery);
    EXPECT_TRUE(m.SelectedList().Members().Empty());
    EXPECT_GT(m.Titles().RowCount(), 0u);
    EXPECT_EQ(Caption().rfind("Query Titles (", 0), 0u);
    EXPECT_EQ(windows->CurrentQuery().text, "Birds OR BOOKMARKED");
}

TEST_F(ReaderPaths, BuildQueryErrorKeepsTheDialogOpenAtTheToken) {
    bool closed = true;
    r.dialogs.onExec = [&](QDialog& d) {
        auto& bq = dynamic_cast<CBuildQueryDialog&>(d);
        bq.ExpressionField()->setText("Birds Moths");
        bq.Model().Edit("Birds Moths");
        bq.ClickOk();
        closed = bq.result() == QDialog::Accepted;
        EXPECT_EQ(bq.ExpressionField()->cursorPosition(), 6);
    };
    r.dialogs.execResult = QDialog::Rejected;
    Run(cmd::kQuery);
    EXPECT_FALSE(closed);
    EXPECT_TRUE(r.HasMessage("Expecting an AND or OR operator."));
}

TEST_F(ReaderPaths, SavedQueryMenuFollowsTheRecentList) {
    QMenu* menu = r.Frame().SavedQueryMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> texts;
    for (QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator()) texts.push_back(a->text().toStdString());
    // The demo's recent list is 2 0 4 of five saved queries.
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "Journeys with attachments");
    EXPECT_EQ(texts[1], "Spring birds");
    EXPECT_EQ(texts[3], "More Queries...");

    Run(cmd::kSavedQueryFirst + 1);  // Spring birds
    EXPECT_EQ(view->Model().TitleMode(), title_mode::kQuery);
    ProcessEvents();
    QAction* first = nullptr;
    for (QAction* a : menu->actions())
        if (a->isVisible() && !a->isSeparator()) {
            first = a;
            break;
        }
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), "Spring birds");
}

TEST_F(ReaderPaths, MoreQueriesRunsTheChosenOne) {
    r.dialogs.execResult = QDialog::Accepted;
    r.dialogs.onExec = [](QDialog& d) {
        auto& sq = dynamic_cast<CSelectQueryDialog&>(d);
        for (int row = 0; row < sq.List()->count(); ++row)
            if (sq.List()->item(row)->text() == "Things to do") sq.List()->setCurrentRow(row);
        EXPECT_FALSE(sq.Text()->toPlainText().isEmpty());
    };
    view->MoreQueries();
    EXPECT_EQ(r.dialogs.execs, std::vector<std::string>{"SelectQueryToRun"});
    EXPECT_EQ(view->Model().TitleMode(), title_mode::kQuery);
    EXPECT_EQ(view->Model().Saved().Recent().front(),
              view->Model().Saved().FindByName("Things to do"));
}

TEST_F(ReaderPaths, ClosingWritesTheLayoutKeys) {
    Run(cmd::kPreviewContent);
    EXPECT_TRUE(Action(cmd::kPreviewContent)->isChecked());
    Run(cmd::kFileClose);
    ProcessEvents();
    ProfileStore stored = r.Stored();
    EXPECT_EQ(stored.GetInt("Index Display", "PreviewOn", -5), 1);
    EXPECT_GT(stored.GetInt("Index Display", "PreviewHeight", -5), 0);
    EXPECT_TRUE(stored.HasKey("Index Display", "Maximized"));
}

}  // namespace
}  // namespace qb::testing

// Whole paths a person takes through the reader with the demo file: the
// index window is created by the reader's factory, commands come from the
// main frame's actions, dialogs are answered by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "../app/gui_test_support.h"
#include "gui/app/commands.h"
#include "gui/app/preferences_sheet.h"
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

TEST_F(ReaderPaths, TypingIntoTheQueryFieldKeepsTheCaret) {
    QString typed, afterHome;
    int caret = -1;
    std::string model;
    bool okEnabled = false;
    r.dialogs.onExec = [&](QDialog& d) {
        auto& bq = dynamic_cast<CBuildQueryDialog&>(d);
        bq.Button("Clear")->click();
        QLineEdit* field = bq.ExpressionField();
        field->setFocus();
        QTest::keyClicks(field, "Bird");
        QTest::keyClicks(field, "s AND (Penguins");
        typed = field->text();
        caret = field->cursorPosition();
        model = bq.Model().Expression();
        okEnabled = bq.Button("Ok")->isEnabled();
        // Typing in the middle stays in the middle.
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, "(");
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClicks(field, ")");
        afterHome = field->text();
    };
    Run(cmd::kQuery);
    EXPECT_EQ(typed, "Birds AND (Penguins");
    EXPECT_EQ(caret, typed.size());
    EXPECT_EQ(model, "Birds AND (Penguins");
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(afterHome, "(Birds AND (Penguins)");
}

TEST_F(ReaderPaths, AQueryThatMatchesNothingKeepsTheIndexList) {
    IndexModel& m = view->Model();
    size_t keywords = m.IndexList().RowCount();
    ASSERT_GT(keywords, 0u);
    for (int mode : {cmd::kIndexModeAll, cmd::kIndexModeRelated}) {
        Run(mode);
        r.dialogs.execResult = QDialog::Accepted;
        r.dialogs.onExec = [&](QDialog& d) {
            auto& bq = dynamic_cast<CBuildQueryDialog&>(d);
            bq.Button("Clear")->click();
            QTest::keyClicks(bq.ExpressionField(), "Birds AND NOT Birds");
            bq.ClickOk();
        };
        Run(cmd::kQuery);
        EXPECT_EQ(m.TitleMode(), title_mode::kQuery) << mode;
        EXPECT_EQ(m.Titles().RowCount(), 0u) << mode;
        EXPECT_EQ(m.IndexList().RowCount(), keywords) << mode;
        EXPECT_EQ(view->IndexListBox()->model()->rowCount(), int(keywords)) << mode;
    }
}

TEST_F(ReaderPaths, PreferencesReachTheOpenTitleList) {
    EXPECT_EQ(view->DateCaption()->text(), "Date");
    EXPECT_FALSE(view->TitleList()->Style().showPrivate);
    r.dialogs.execResult = QDialog::Accepted;
    r.dialogs.onExec = [](QDialog& d) {
        auto& sheet = dynamic_cast<PreferencesSheet&>(d);
        sheet.showTime->setChecked(true);
        sheet.showPrivate->setChecked(true);
        sheet.showDate->setChecked(true);
    };
    Run(cmd::kPreferences);
    EXPECT_EQ(r.dialogs.execs.back(), "PreferencesSheet");
    EXPECT_EQ(view->DateCaption()->text(), "Date / Time");
    EXPECT_TRUE(view->TitleList()->Style().showTime);
    EXPECT_TRUE(view->TitleList()->Style().showPrivate);
    EXPECT_TRUE(view->StatusCaption(3)->isVisibleTo(view));

    r.dialogs.onExec = [](QDialog& d) {
        dynamic_cast<PreferencesSheet&>(d).showDate->setChecked(false);
    };
    Run(cmd::kPreferences);
    EXPECT_FALSE(view->TitleList()->Style().showDate);
    EXPECT_FALSE(view->DateCaption()->isVisibleTo(view));
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

// A label's "&" marks its mnemonic; without a buddy it is shown as it is.
void ExpectMnemonicsHaveBuddies(QDialog& d) {
    for (QLabel* label : d.findChildren<QLabel*>()) {
        QString text = label->text();
        text.replace("&&", "");
        if (text.contains('&')) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    }
}

TEST_F(ReaderPaths, QueryDialogLabelsShowTheirMnemonics) {
    bool existingFound = false, existingToList = false;
    r.dialogs.onExec = [&](QDialog& d) {
        ExpectMnemonicsHaveBuddies(d);
        if (auto* sq = dynamic_cast<CSelectQueryDialog*>(&d))
            for (QLabel* label : d.findChildren<QLabel*>())
                if (label->text() == "E&xisting Queries:") {
                    existingFound = true;
                    existingToList = label->buddy() == sq->List();
                }
    };
    view->MoreQueries();
    Run(cmd::kQuery);
    EXPECT_EQ(r.dialogs.execs, (std::vector<std::string>{"SelectQueryToRun", "BuildQuery"}));
    EXPECT_TRUE(existingFound);
    EXPECT_TRUE(existingToList);
}

TEST_F(ReaderPaths, FirstStartGivesTheWindowsRoom) {
    QScreen* screen = r.Frame().screen();
    ASSERT_NE(screen, nullptr);
    QRect desk = screen->availableGeometry();
    MainPlacement expected =
        PlaceMainWindow(FrameValues{}, Rect{desk.x(), desk.y(), desk.width(), desk.height()});
    EXPECT_EQ(r.Frame().size(), QSize(expected.rect.width, expected.rect.height));
    EXPECT_GE(r.Frame().width(), std::min(desk.width(), desk.width() * 2 / 3));
    ASSERT_NE(r.app->IndexFrame(), nullptr);
    EXPECT_TRUE(r.app->IndexFrame()->isMaximized());

    // The longest keyword and both captions fit their lists.
    IndexModel& m = view->Model();
    QFontMetrics fm(view->IndexListBox()->font());
    int longest = fm.horizontalAdvance(QString::fromUtf8("Schweiz & Zürich"));
    EXPECT_GE(view->IndexListBox()->viewport()->width(), longest + 4);
    Run(cmd::kIndexModeRelated);
    EXPECT_EQ(view->IndexCaption()->text(), "Index (Related)");
    EXPECT_GE(view->IndexCaption()->width(), view->IndexCaption()->sizeHint().width());
    Highlight(m.IndexList(), {"Schweiz & Z\xfcrich"});
    view->MoveToSelected();
    EXPECT_GE(view->SelectedListBox()->viewport()->width(), longest + 4);
    EXPECT_GE(view->SelectedCaption()->width(), view->SelectedCaption()->sizeHint().width());

    // Closing keeps the widths: the next start uses them as they are.
    int32_t listWidth = view->Display().listWidth;
    Run(cmd::kFileClose);
    ProcessEvents();
    EXPECT_EQ(r.Stored().GetInt("Index Display", "ListWidth", -1), listWidth);
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

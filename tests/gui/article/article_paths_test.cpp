// Whole paths through the reader with the demo file: the real index window
// opens article windows, an article link opens its target, Previous and
// Next step through the title list, Copy goes to the active window, and
// hiding private articles again closes their windows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QMdiArea>

#include "article_support.h"
#include "gui/app/commands.h"
#include "gui/app/preferences_sheet.h"
#include "gui/article/article_content.h"
#include "gui/index/index_lists.h"
#include "gui/index/index_window.h"

namespace qb::testing {
namespace {

const std::string kDemo = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";

class ArticlePaths : public ArticleReader {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kDemo)) GTEST_SKIP() << "no demo file";
        r.app = std::make_unique<ReaderApp>(r.env, r.ui, r.dialogs);
        ReaderIndexWindows& index = InstallIndexWindow(*r.app, &writer);
        windows = &InstallArticleWindows(*r.app, &launcher, &clock, &writer);
        index.SetArticleWindowHooks(windows->Hooks());
        r.app->AddFrameExtension(&InstallDocumentCommands);
        r.app->Start({kDemo});
        ProcessEvents();
        view = ActiveIndexView(*r.app);
        ASSERT_NE(view, nullptr);
    }
    TitleListModel& Titles() { return view->Model().Titles(); }
    // The title list's row of the article titled `title` (ASCII).
    size_t RowOf(const std::string& title) {
        for (size_t row = 0; row < Titles().RowCount(); ++row)
            if (r.app->Document()->SummaryTitle(Titles().Rows()[row]) == title) return row;
        ADD_FAILURE() << "no row " << title;
        return 0;
    }
    CArticleFrame* OpenFromIndex(size_t row) {
        Titles().ClearHighlight();
        Titles().Click(row);
        r.Frame().Mdi()->setActiveSubWindow(r.app->IndexFrame());
        r.Frame().RunCommand(cmd::kOpenArticle);
        ProcessEvents();
        return windows->Find(Titles().Rows()[row]);
    }
    CIndexView* view = nullptr;
};

TEST_F(ArticlePaths, OpenArticleFromTheIndexThenFollowItsArticleLink) {
    CArticleFrame* swallows = OpenFromIndex(RowOf("First Swallows of the Year"));
    ASSERT_NE(swallows, nullptr);
    EXPECT_EQ(swallows->windowTitle(), "First Swallows of the Year");
    EXPECT_EQ(windows->Active(), swallows);
    const ArticleViewModel& m = swallows->View()->Model();
    EXPECT_TRUE(m.richText);
    EXPECT_TRUE(m.bookmarked);
    EXPECT_EQ(r.Frame().Action(cmd::kBookmarkButton)->toolTip(), "Unbookmark Article");
    ASSERT_EQ(m.storedLinks.size(), 1u);
    ASSERT_EQ(m.storedLinks[0].kind, 3);

    emit swallows->View()->Content()->followStoredLink(0);
    ProcessEvents();
    CArticleFrame* dawn = windows->Active();
    ASSERT_NE(dawn, nullptr);
    EXPECT_NE(dawn, swallows);
    EXPECT_EQ(dawn->ArticleId(), m.storedLinks[0].articleId);
    EXPECT_TRUE(dawn->windowTitle().startsWith("The Dawn Chorus"));
    EXPECT_TRUE(r.ui.messages.empty());

    // Following it again brings that window back rather than a second one.
    r.Frame().Mdi()->setActiveSubWindow(swallows);
    emit swallows->View()->Content()->followStoredLink(0);
    EXPECT_EQ(windows->Active(), dawn);
    EXPECT_EQ(windows->Frames().size(), 2u);
}

TEST_F(ArticlePaths, PreviousAndNextStepThroughTheTitleList) {
    ASSERT_GE(Titles().RowCount(), 3u);
    CArticleFrame* second = OpenFromIndex(1);
    ASSERT_NE(second, nullptr);
    QAction* next = r.Frame().Action(cmd::kNextArticle);
    r.Frame().UpdateCommandStates();
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(r.Frame().Action(cmd::kPreviousArticle)->isEnabled());

    r.Frame().RunCommand(cmd::kNextArticle);
    ProcessEvents();
    int32_t third = Titles().Rows()[2];
    ASSERT_NE(windows->Active(), nullptr);
    EXPECT_EQ(windows->Active()->ArticleId(), third);
    EXPECT_TRUE(Titles().IsHighlighted(2));
    EXPECT_EQ(Titles().HighlightCount(), 1u);

    r.Frame().Mdi()->setActiveSubWindow(windows->Find(Titles().Rows()[1]));
    r.Frame().RunCommand(cmd::kPreviousArticle);
    ProcessEvents();
    EXPECT_EQ(windows->Active()->ArticleId(), Titles().Rows()[0]);

    // Before the first row: the index window comes to the front, nothing opens.
    size_t open = windows->Frames().size();
    r.Frame().RunCommand(cmd::kPreviousArticle);
    ProcessEvents();
    EXPECT_EQ(windows->Frames().size(), open);
    EXPECT_EQ(r.Frame().Mdi()->activeSubWindow(), r.app->IndexFrame());

    // Once the list no longer holds the article, its window cannot step.
    CArticleFrame* plain = nullptr;
    for (CArticleFrame* f : windows->Frames())
        if (!f->View()->Model().bookmarked) plain = f;
    ASSERT_NE(plain, nullptr);
    r.Frame().RunCommand(cmd::kShowBookmarked);
    ASSERT_FALSE(Titles().RowOf(plain->ArticleId()).has_value());
    r.Frame().Mdi()->setActiveSubWindow(plain);
    r.Frame().UpdateCommandStates();
    EXPECT_FALSE(next->isEnabled());
    EXPECT_FALSE(r.Frame().Action(cmd::kPreviousArticle)->isEnabled());
}

TEST_F(ArticlePaths, SelectAllGoesToTheActiveWindow) {
    CArticleFrame* f = OpenFromIndex(0);
    ASSERT_NE(f, nullptr);
    // The field with the focus takes it.
    f->View()->TitleField()->setFocus();
    r.Frame().RunCommand(cmd::kEditSelectAll);
    EXPECT_TRUE(f->View()->TitleField()->hasSelectedText());
    EXPECT_FALSE(f->View()->Content()->textCursor().hasSelection());
    f->View()->Content()->setFocus();
    r.Frame().RunCommand(cmd::kEditSelectAll);
    EXPECT_TRUE(f->View()->Content()->textCursor().hasSelection());
    EXPECT_EQ(Titles().HighlightCount(), 1u);
    r.Frame().Mdi()->setActiveSubWindow(r.app->IndexFrame());
    r.Frame().RunCommand(cmd::kEditSelectAll);
    EXPECT_EQ(Titles().HighlightCount(), Titles().RowCount());
}

TEST_F(ArticlePaths, CopyGoesToTheActiveWindowAndAMissingClipboardIsSaidOnce) {
    clipboard.result = ClipboardResult::kNoClipboard;
    CArticleFrame* f = OpenFromIndex(0);
    ASSERT_NE(f, nullptr);
    f->View()->Content()->setFocus();
    f->View()->Content()->selectAll();
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 1);
    // The index window's Copy shares the writer: the message is not repeated.
    r.Frame().Mdi()->setActiveSubWindow(r.app->IndexFrame());
    view->TitleList()->setFocus();
    ProcessEvents();
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 2);
    EXPECT_EQ(r.ui.messages.size(), 1u);

    clipboard.result = ClipboardResult::kPlaced;
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.placed, 1);
    // Copy Articles of the highlighted title, not the article's selection.
    EXPECT_NE(clipboard.Data(kClipboardPlainText).find("\nDate: "), std::string::npos);
}

TEST_F(ArticlePaths, HidingPrivateArticlesAgainClosesTheirWindows) {
    CQuillboxDoc& doc = *r.app->Document();
    r.ui.QueuePassword("demo");
    r.Frame().RunCommand(cmd::kShowPrivateArticles);
    ASSERT_TRUE(doc.IsUnlocked());
    ProcessEvents();
    CArticleFrame* secret = OpenFromIndex(RowOf("The Secret Orchid Meadow"));
    CArticleFrame* open = OpenFromIndex(RowOf("Rose Pruning Notes"));
    ASSERT_NE(secret, nullptr);
    ASSERT_NE(open, nullptr);
    int32_t secretId = secret->ArticleId();
    EXPECT_TRUE(doc.PrivateArticles().Contains(secretId));

    r.Frame().RunCommand(cmd::kShowPrivateArticles);
    ProcessEvents();
    EXPECT_FALSE(doc.IsUnlocked());
    EXPECT_EQ(windows->Find(secretId), nullptr);
    ASSERT_EQ(windows->Frames().size(), 1u);
    EXPECT_EQ(windows->Frames()[0]->windowTitle(), "Rose Pruning Notes");
}

TEST_F(ArticlePaths, ClosingTheFileClosesEveryArticleWindow) {
    OpenFromIndex(0);
    OpenFromIndex(1);
    EXPECT_EQ(windows->Frames().size(), 2u);
    r.Frame().RunCommand(cmd::kFileClose);
    ProcessEvents();
    EXPECT_TRUE(windows->Frames().empty());
    EXPECT_EQ(r.app->Document(), nullptr);
}

TEST_F(ArticlePaths, ANewActiveLinksPreferenceReachesOpenWindows) {
    CArticleFrame* w = OpenFromIndex(0);
    ASSERT_NE(w, nullptr);
    ArticleContent* content = w->View()->Content();
    auto answer = [&](int mode) {
        r.dialogs.execResult = QDialog::Accepted;
        r.dialogs.onExec = [mode](QDialog& d) {
            static_cast<PreferencesSheet&>(d).activeLinks->button(mode)->setChecked(true);
        };
        ASSERT_TRUE(r.app->RunPreferences());
    };
    answer(0);
    EXPECT_TRUE(content->Flags().colouring);
    EXPECT_TRUE(content->Flags().activation);
    answer(2);
    EXPECT_FALSE(content->Flags().colouring);
    EXPECT_FALSE(content->Flags().activation);
    // Cancel changes nothing.
    r.dialogs.execResult = QDialog::Rejected;
    r.dialogs.onExec = [](QDialog& d) {
        static_cast<PreferencesSheet&>(d).activeLinks->button(0)->setChecked(true);
    };
    EXPECT_FALSE(r.app->RunPreferences());
    EXPECT_FALSE(content->Flags().activation);
}

}  // namespace
}  // namespace qb::testing

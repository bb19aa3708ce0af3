// Find in the reader on the demo file: from the dialog to the presented
// article, stepping through occurrences, the current article on its own,
// Show Only Titles, a cancelled search, the ranges following the windows,
// and a document that closes while the search runs.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>

#include "app/help_guide.h"
#include "article_support.h"
#include "gui/app/commands.h"
#include "gui/app/help_window.h"
#include "gui/article/article_content.h"
#include "gui/article/find_dialog.h"
#include "gui/article/reader_find.h"
#include "gui/index/index_window.h"
#include "gui/platform/qt_progress.h"
#include "gui/platform/qt_ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

const std::string kDemo = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";

class ReaderFindTest : public ArticleReader {
protected:
    void SetUp() override { StartReader(r.ui); }
    void StartReader(Ui& ui) {
        if (!std::filesystem::exists(kDemo)) GTEST_SKIP() << "no demo file";
        // An index frame shown normally, so that the article windows Find
        // opens are normal ones too.
        r.WriteSettings("[Index Display]\nMaximized=1\n");
        r.app = std::make_unique<ReaderApp>(r.env, ui, r.dialogs);
        ReaderIndexWindows& index = InstallIndexWindow(*r.app);
        find = &InstallFind(*r.app);
        windows = &InstallArticleWindows(*r.app, &launcher, &clock);
        index.SetArticleWindowHooks(windows->Hooks());
        find->Connect(*windows, index.FindHooks());
        index.SetTitleListListener(find->TitleListNotices());
        r.app->AddFrameExtension(&InstallDocumentCommands);
        r.app->Start({kDemo});
        ProcessEvents();
        view = ActiveIndexView(*r.app);
        ASSERT_NE(view, nullptr);
    }
    CQuillboxDoc& Doc() { return *r.app->Document(); }
    int32_t IdOf(const std::string& title) {
        IdSet all;
        Doc().VisibleArticles(all);
        for (int32_t id : all)
            if (Doc().SummaryTitle(id) == title) return id;
        ADD_FAILURE() << "no article " << title;
        return -1;
    }
    // Edit > Find... as the person gives it.
    CFindDlg* OpenDialog() {
        r.Frame().UpdateCommandStates();
        r.Frame().RunCommand(cmd::kEditFind);
        ProcessEvents();
        return find->Dialog();
    }
    // Presses Find and lets the search run to its end from the event loop.
    void Press() {
        ASSERT_NE(find->Dialog(), nullptr);
        find->Dialog()->FindButton()->click();
        for (int i = 0; i < 10000 && find->Searching(); ++i)
            QApplication::processEvents();
        ASSERT_FALSE(find->Searching());
        ProcessEvents();
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> out;
        for (const auto& m : r.ui.messages) {
            EXPECT_EQ(m.icon, MessageIcon::Information) << m.text;
            out.push_back(m.text);
        }
        r.ui.messages.clear();
        return out;
    }
    static std::string Text(int id) { return ResourceString(id); }
    // What the active article window has selected, and in which field.
    std::string Selected(CArticleFrame* f, bool* inTitle = nullptr) {
        QWidget* focus = f->focusWidget();
        if (inTitle) *inTitle = focus == f->View()->TitleField();
        if (focus == f->View()->TitleField())
            return f->View()->TitleField()->selectedText().toStdString();
        return f->View()->Content()->textCursor().selectedText().toStdString();
    }
    std::string TitleCaption() { return view->Model().TitleCaption(); }

    ReaderFind* find = nullptr;
    CIndexView* view = nullptr;
};

TEST_F(ReaderFindTest, TheDialogHasEveryControlAndComesForwardAgain) {
    CFindDlg* d = OpenDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Find");
    EXPECT_FALSE(d->isModal());
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->RangeButton(FindRange::kAll)->text(), "A&ll Articles");
    EXPECT_EQ(d->RangeButton(FindRange::kHighlighted)->text(), "Hi&ghlighted Articles");
    EXPECT_EQ(d->RangeButton(FindRange::kCurrentArticle)->text(), "C&urrent Article");
    EXPECT_EQ(d->WhereButton(FindWhere::kTitleAndText)->text(), "Article && Title Te&xt");
    EXPECT_EQ(d->TitlesOnly()->text(), "Show &Only Titles");
    EXPECT_EQ(d->FindButton()->text(), "&Find");
    EXPECT_TRUE(d->FindButton()->isDefault());
    // No article window is active: All Articles, and no Current Article.
    EXPECT_TRUE(d->RangeButton(FindRange::kAll)->isChecked());
    EXPECT_FALSE(d->RangeButton(FindRange::kCurrentArticle)->isEnabled());
    EXPECT_TRUE(d->RangeButton(FindRange::kBookmarked)->isEnabled());  // the demo has some
    // The Find button wants a text or a date.
    EXPECT_FALSE(d->FindButton()->isEnabled());
    d->DateTo()->setText("1.1.2000");
    EXPECT_TRUE(d->FindButton()->isEnabled());
    d->DateTo()->clear();
    d->FindWhat()->setText("swallows");
    EXPECT_TRUE(d->FindButton()->isEnabled());

    // The command again brings the same dialog forward.
    EXPECT_EQ(OpenDialog(), d);
    // Close clears the reader's pointer; the options stay for the next one.
    d->CloseButton()->click();
    ProcessEvents();
    EXPECT_EQ(find->Dialog(), nullptr);
    d = OpenDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->FindWhat()->text(), "");  // not pressed: nothing remembered
    d->FindWhat()->setText("zzqx-nowhere");
    d->MatchCase()->setChecked(true);
    Press();
    EXPECT_EQ(Messages(), std::vector<std::string>{Text(msg::kFindNothingFound)});
    d->CloseButton()->click();
    ProcessEvents();
    d = OpenDialog();
    EXPECT_EQ(d->FindWhat()->text(), "zzqx-nowhere");
    EXPECT_TRUE(d->MatchCase()->isChecked());
    EXPECT_EQ(find->Remembered().text, "zzqx-nowhere");
}

TEST_F(ReaderFindTest, FoundArticlesArePresentedOccurrenceByOccurrence) {
    const int32_t swallows = IdOf("First Swallows of the Year");
    const int32_t dawn = IdOf("The Dawn Chorus \x96 Who Sings First?");
    CFindDlg* d = OpenDialog();
    d->FindWhat()->setText("swallows");
    Press();
    EXPECT_TRUE(Messages().empty());
    // The list in the index window and the document.
    EXPECT_EQ(Doc().FoundArticles(), (std::vector<int32_t>{swallows, dawn}));
    EXPECT_FALSE(Doc().FoundListStopped());
    EXPECT_EQ(view->Model().TitleMode(), title_mode::kFound);
    EXPECT_EQ(TitleCaption(), "Found Titles (2 of " + std::to_string(Doc().VisibleCount()) + ")");
    ASSERT_EQ(r.ui.progress.size(), 1u);
    EXPECT_EQ(r.ui.progress[0]->caption, "Find");
    EXPECT_EQ(r.ui.progress[0]->texts.back(), FindProgressText(2));
    EXPECT_FALSE(r.ui.progress[0]->open);

    // The first found article: its title first.
    CArticleFrame* first = windows->Active();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ArticleId(), swallows);
    bool inTitle = false;
    EXPECT_EQ(Selected(first, &inTitle), "Swallows");
    EXPECT_TRUE(inTitle);
    // Then its content.
    Press();
    EXPECT_EQ(windows->Active(), first);
    EXPECT_EQ(Selected(first, &inTitle), "swallows");
    EXPECT_FALSE(inTitle);
    // Then the next article; the first, not open before, is closed.
    Press();
    EXPECT_EQ(windows->Find(swallows), nullptr);
    CArticleFrame* second = windows->Active();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->ArticleId(), dawn);
    EXPECT_EQ(Selected(second, &inTitle), "swallows");
    EXPECT_FALSE(inTitle);
    EXPECT_TRUE(Messages().empty());
    // Past the last one.
    Press();
    EXPECT_EQ(windows->Find(dawn), nullptr);
    EXPECT_EQ(Messages(), std::vector<std::string>{Text(msg::kFindAllPresented)});
    // The search was forgotten: the next press searches again.
    Press();
    EXPECT_EQ(r.ui.progress.size(), 2u);
}

TEST_F(ReaderFindTest, AWindowOpenBeforeItWasPresentedStaysOpen) {
    const int32_t swallows = IdOf("First Swallows of the Year");
    Open(swallows);
    CFindDlg* d = OpenDialog();
    // An active article window makes the range Current Article.
    EXPECT_TRUE(d->RangeButton(FindRange::kCurrentArticle)->isChecked());
    EXPECT_FALSE(d->TitlesOnly()->isEnabled());
    EXPECT_FALSE(d->DateFrom()->isEnabled());
    d->RangeButton(FindRange::kAll)->click();
    EXPECT_TRUE(d->TitlesOnly()->isEnabled());
    d->FindWhat()->setText("swallows");
    Press();  // the title
    Press();  // the content
    Press();  // the next article
    EXPECT_NE(windows->Find(swallows), nullptr);
    EXPECT_TRUE(Messages().empty());
}

// Help from the real windows: F1 in the index window and in an article
// window opens their pages; the Find dialog's Help button and F1 in the
// dialog the Find page.
TEST_F(ReaderFindTest, HelpOpensThePageOfEachWindow) {
    std::string guide = r.dir / "share/quillbox-reader/guide";  // beside dir/bin
    std::filesystem::create_directories(guide);
    for (const char* page : {help::kContents, help::kIndexWindow, help::kArticles, help::kFind})
        WriteFile(guide + "/" + page, "<html><body>page</body></html>");
    auto shown = [&] {
        return r.Frame().Help() ? r.Frame().Help()->CurrentPage().toStdString() : std::string();
    };
    r.Frame().activateWindow();
    view->setFocus();
    ProcessEvents();
    r.Frame().ShowContextHelp();
    EXPECT_EQ(shown(), help::kIndexWindow);

    CArticleFrame* article = Open(IdOf("First Swallows of the Year"));
    ASSERT_NE(article, nullptr);
    r.Frame().activateWindow();
    article->setFocus();
    ProcessEvents();
    r.Frame().ShowContextHelp();
    EXPECT_EQ(shown(), help::kArticles);

    CFindDlg* d = OpenDialog();
    ASSERT_NE(d, nullptr);
    d->HelpButton()->click();
    EXPECT_EQ(shown(), help::kFind);
    r.Frame().ShowHelp(help::kContents);
    d->activateWindow();
    d->FindWhat()->setFocus();
    ProcessEvents();
    r.Frame().ShowContextHelp();
    EXPECT_EQ(shown(), help::kFind);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ReaderFindTest, CurrentArticleSaysNotFoundThenSearchedAndStartsOver) {
    CArticleFrame* f = Open(IdOf("The Dawn Chorus \x96 Who Sings First?"));
    ASSERT_NE(f, nullptr);
    CFindDlg* d = OpenDialog();
    ASSERT_TRUE(d->RangeButton(FindRange::kCurrentArticle)->isChecked());
    d->FindWhat()->setText("zzqx-nowhere");
    Press();
    EXPECT_EQ(Messages(), std::vector<std::string>{Text(msg::kFindArticleNotFound)});

    d->FindWhat()->setText("swallows");
    Press();
    EXPECT_EQ(Selected(f), "swallows");
    EXPECT_TRUE(Messages().empty());
    Press();
    EXPECT_EQ(Messages(), std::vector<std::string>{Text(msg::kFindArticleDone)});
    EXPECT_EQ(Selected(f), "");
    // Starting over finds it again.
    Press();
    EXPECT_EQ(Selected(f), "swallows");
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(r.ui.progress.empty());  // no article search ran
}

TEST_F(ReaderFindTest, ShowOnlyTitlesListsTheTitlesAndBringsTheIndexForward) {
    CArticleFrame* other = Open(IdOf("First Swallows of the Year"));
    ASSERT_NE(other, nullptr);
    CFindDlg* d = OpenDialog();
    d->RangeButton(FindRange::kAll)->click();
    d->WhereButton(FindWhere::kTitleOnly)->click();
    d->TitlesOnly()->setChecked(true);
    d->FindWhat()->setText("camargue");
    Press();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(r.Frame().Mdi()->currentSubWindow(), r.app->IndexFrame());
    EXPECT_EQ(TitleCaption(), "Found Titles (2 of " + std::to_string(Doc().VisibleCount()) + ")");
    EXPECT_EQ(windows->Frames().size(), 1u);  // nothing presented
    EXPECT_EQ(r.Stored().GetInt("Quillbox", "FindTitlesOnly", 0), 1);

    // Highlighted needs a highlighted title; Selected searches the list shown.
    const int32_t horses = IdOf("Camargue: White Horses and Salt Marshes");
    view->Model().Titles().Click(0);
    d->RangeButton(FindRange::kHighlighted)->click();
    ASSERT_TRUE(d->RangeButton(FindRange::kHighlighted)->isChecked());
    view->Model().Titles().ClearHighlight();  // behind the dialog's back
    Press();
    EXPECT_EQ(Messages(), std::vector<std::string>{Text(msg::kFindNoHighlighted)});
    view->Model().Titles().Click(*view->Model().Titles().RowOf(horses));
    Press();
    EXPECT_EQ(Doc().FoundArticles(), std::vector<int32_t>{horses});
    d->RangeButton(FindRange::kSelected)->click();
    d->FindWhat()->setText("white horses");
    Press();
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Doc().FoundArticles(), std::vector<int32_t>{horses});
    EXPECT_EQ(TitleCaption(), "Found Titles (1 of " + std::to_string(Doc().VisibleCount()) + ")");
}

TEST_F(ReaderFindTest, ACancelledSearchKeepsWhatItFoundAsStopped) {
    CFindDlg* d = OpenDialog();
    d->FindWhat()->setText("the");
    // Cancel once the first article has been found (the second text).
    r.ui.cancelAfterTexts = 2;
    Press();
    EXPECT_EQ(Messages(), std::vector<std::string>{Text(msg::kFindCancelled)});
    EXPECT_TRUE(Doc().FoundListStopped());
    ASSERT_EQ(Doc().FoundArticles().size(), 1u);
    EXPECT_EQ(view->Model().TitleMode(), title_mode::kFoundStopped);
    EXPECT_EQ(TitleCaption(),
              "Found Titles [Stopped] (1 of " + std::to_string(Doc().VisibleCount()) + ")");
    // A stopped list is not presented.
    EXPECT_TRUE(windows->Frames().empty());
}

TEST_F(ReaderFindTest, ASecondPressWhileSearchingIsIgnored) {
    CFindDlg* d = OpenDialog();
    d->FindWhat()->setText("the");
    d->FindButton()->click();
    EXPECT_TRUE(find->Searching());
    d->FindButton()->click();
    find->PressFind();
    for (int i = 0; i < 10000 && find->Searching(); ++i)
        QApplication::processEvents();
    EXPECT_EQ(r.ui.progress.size(), 1u);
    EXPECT_FALSE(Doc().FoundArticles().empty());
}

TEST_F(ReaderFindTest, ClosingTheDocumentMidSearchStopsItQuietly) {
    CFindDlg* d = OpenDialog();
    d->FindWhat()->setText("the");
    d->FindButton()->click();
    ASSERT_TRUE(find->Searching());
    r.app->CloseDocument();
    ProcessEvents();
    EXPECT_FALSE(find->Searching());
    ASSERT_EQ(r.ui.progress.size(), 1u);
    EXPECT_FALSE(r.ui.progress[0]->open);
    EXPECT_TRUE(Messages().empty());
    // Without a document pressing Find does nothing.
    find->PressFind();
    EXPECT_FALSE(find->Searching());
}

TEST_F(ReaderFindTest, RangesFollowTheWindowsAndAnInvalidDateIsSelected) {
    CArticleFrame* f = Open(IdOf("First Swallows of the Year"));
    CFindDlg* d = OpenDialog();
    ASSERT_TRUE(d->RangeButton(FindRange::kCurrentArticle)->isEnabled());
    ASSERT_TRUE(d->RangeButton(FindRange::kCurrentArticle)->isChecked());
    f->close();
    ProcessEvents();
    EXPECT_FALSE(d->RangeButton(FindRange::kCurrentArticle)->isEnabled());
    EXPECT_FALSE(d->RangeButton(FindRange::kCurrentArticle)->isChecked());
    EXPECT_EQ(d->Options().range, FindRange::kAll);
    EXPECT_TRUE(d->DateFrom()->isEnabled());

    // A window activated again offers Current Article.
    Open(IdOf("First Swallows of the Year"));
    EXPECT_TRUE(d->RangeButton(FindRange::kCurrentArticle)->isEnabled());

    d->RangeButton(FindRange::kAll)->click();
    d->FindWhat()->setText("swallows");
    d->DateFrom()->setText("31/31/31");  // no month 31 whatever the order
    Press();
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text.rfind("Invalid date.", 0), 0u);
    r.ui.messages.clear();
    EXPECT_EQ(d->focusWidget(), d->DateFrom());
    EXPECT_EQ(d->DateFrom()->selectedText(), "31/31/31");
    EXPECT_TRUE(r.ui.progress.empty());
}

TEST_F(ReaderFindTest, ChoosingAnotherWindowForgetsThePresentedSearch) {
    CFindDlg* d = OpenDialog();
    d->FindWhat()->setText("swallows");
    Press();
    ASSERT_NE(windows->Active(), nullptr);
    // The person turns to the index window: the next press searches again.
    r.Frame().Mdi()->setActiveSubWindow(r.app->IndexFrame());
    ProcessEvents();
    Press();
    EXPECT_EQ(r.ui.progress.size(), 2u);
}

// With the reader's own Ui: the progress window is the Qt one.
class ReaderFindOnQt : public ReaderFindTest {
protected:
    void SetUp() override { StartReader(qtUi); }
    // The reader goes before its Ui does.
    void TearDown() override { r.Stop(); }
    QtUi qtUi;
};

TEST_F(ReaderFindOnQt, OnlyTheProgressWindowIsEnabledWhileTheSearchRuns) {
    CFindDlg* d = OpenDialog();
    ASSERT_NE(d, nullptr);
    d->FindWhat()->setText("swallows");
    d->FindButton()->click();
    ASSERT_TRUE(find->Searching());
    QDialog* progress = r.Frame().findChild<QDialog*>("ProgressWindow");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->windowTitle(), "Find");
    EXPECT_FALSE(r.Frame().isEnabled());
    EXPECT_FALSE(d->isEnabled());
    EXPECT_TRUE(progress->isEnabled());
    // One slice at a time from the event loop: no nested loop runs it.
    for (int i = 0; i < 10000 && find->Searching(); ++i)
        QApplication::processEvents();
    ProcessEvents();
    EXPECT_EQ(r.Frame().findChild<QDialog*>("ProgressWindow"), nullptr);
    EXPECT_TRUE(r.Frame().isEnabled());
    EXPECT_TRUE(d->isEnabled());
    ASSERT_NE(windows->Active(), nullptr);  // the first found article, presented
    EXPECT_EQ(windows->Active()->ArticleId(), Doc().FoundArticles().front());
}

}  // namespace
}  // namespace qb::testing

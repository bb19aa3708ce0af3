// Help: Help Contents and Tutorial open their pages of the installed guide
// in the help window, F1 the page of the window with the focus, and a
// reader without its guide says so.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "app/help_guide.h"
#include "gui/app/help_window.h"
#include "gui_test_support.h"
#include "resources/command_ids.h"

namespace qb::testing {
namespace {

class HelpTest : public ::testing::Test, public ReaderFixture {
protected:
    HelpTest() { WriteSettings("[QUILLBOX]\nWelcome=2\n"); }
    // The guide installed beside the fixture's program (dir/bin).
    void InstallGuide() {
        std::string guide = dir / "share/quillbox-reader/guide";
        std::filesystem::create_directories(guide);
        for (const char* page :
             {help::kContents, help::kTutorial, help::kIndexWindow, help::kArticles, help::kFind})
            WriteFile(guide + "/" + page,
                      std::string("<html><head><title>") + page +
                          "</title></head><body><a href=\"find.html\">Find</a></body></html>");
    }
    QString Shown() { return Frame().Help() ? Frame().Help()->CurrentPage() : QString(); }
    // A window of the MDI area that names its page, as the index and
    // article frames do.
    QWidget* AddWindow(const char* page) {
        auto* w = new QWidget;
        w->setProperty(kHelpPageProperty, QString(page));
        w->setFocusPolicy(Qt::StrongFocus);
        QMdiSubWindow* sub = Frame().Mdi()->addSubWindow(w);
        sub->show();
        Frame().Mdi()->setActiveSubWindow(sub);
        ProcessEvents();
        return w;
    }
};

TEST_F(HelpTest, ContentsAndTutorialOpenTheirPages) {
    InstallGuide();
    Start();
    Frame().RunCommand(cmd::kHelpContents);
    ASSERT_NE(Frame().Help(), nullptr);
    EXPECT_TRUE(Frame().Help()->isVisible());
    EXPECT_EQ(Shown(), help::kContents);
    EXPECT_EQ(Frame().Help()->windowTitle(), "index.html - Quillbox Reader Help");

    // The same window shows the tutorial; its links stay in the guide.
    HelpWindow* window = Frame().Help();
    Frame().RunCommand(cmd::kHelpTutorial);
    EXPECT_EQ(Frame().Help(), window);
    EXPECT_EQ(Shown(), help::kTutorial);
    // As a click on the page's link does: resolved against the page.
    window->Browser()->setSource(window->Browser()->source().resolved(QUrl("find.html")));
    EXPECT_EQ(Shown(), help::kFind);
    EXPECT_TRUE(window->Browser()->isBackwardAvailable());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(HelpTest, F1OpensThePageOfTheFocusedWindow) {
    InstallGuide();
    Start();
    QAction* contents = Frame().Action(cmd::kHelpContents);
    ASSERT_NE(contents, nullptr);
    // The menu shows the key, but the key is the frame's, not the command's.
    EXPECT_TRUE(contents->shortcut().isEmpty());
    EXPECT_TRUE(contents->text().endsWith("\tF1"));

    QWidget* index = AddWindow(help::kIndexWindow);
    QWidget* article = AddWindow(help::kArticles);
    article->setFocus();
    Frame().ShowContextHelp();
    EXPECT_EQ(Shown(), help::kArticles);

    // A child of the index window takes its window's page.
    auto* field = new QWidget(index);
    field->setFocusPolicy(Qt::StrongFocus);
    field->show();
    Frame().Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(index->parentWidget()));
    field->setFocus();
    Frame().ShowContextHelp();
    EXPECT_EQ(Shown(), help::kIndexWindow);
}

TEST_F(HelpTest, F1WithoutAWindowOpensTheContents) {
    InstallGuide();
    Start();
    Frame().activateWindow();
    Frame().setFocus();
    Frame().ShowContextHelp();
    EXPECT_EQ(Shown(), help::kContents);
}

TEST_F(HelpTest, PageForWalksUpToTheWindowThatNamesOne) {
    QWidget top;
    top.setProperty(kHelpPageProperty, QString(help::kFind));
    auto* inner = new QWidget(&top);
    auto* field = new QWidget(inner);
    EXPECT_EQ(HelpPageFor(field), help::kFind);
    inner->setProperty(kHelpPageProperty, QString(help::kQueries));
    EXPECT_EQ(HelpPageFor(field), help::kQueries);
    EXPECT_EQ(HelpPageFor(nullptr), help::kContents);
    QWidget plain;
    EXPECT_EQ(HelpPageFor(&plain), help::kContents);
}

TEST_F(HelpTest, WithoutTheGuideHelpSaysItIsNotInstalled) {
    Start();
    Frame().RunCommand(cmd::kHelpTutorial);
    EXPECT_EQ(Frame().Help(), nullptr);
    EXPECT_TRUE(HasMessage(
        "The help for Quillbox Reader is not installed. The README file that comes with the "
        "program describes its windows and commands."));
}

}  // namespace
}  // namespace qb::testing

// Start-up as the person sees it: what opens, which messages and dialogs
// appear, and what the recent-file menu shows afterwards.
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include "gui/app/commands.h"
#include "gui_test_support.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

class StartupTest : public ::testing::Test, public ReaderFixture {};

TEST_F(StartupTest, FileOnTheCommandLineOpensWithoutTheWelcomeScreen) {
    std::string file = dir / "notes.qbx";
    WriteDataFile(file);
    Start({file});
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_TRUE(app->Document()->IsOpen());
    EXPECT_EQ(dialogs.welcomeShown, 0);
    EXPECT_TRUE(ui.messages.empty()) << ui.LastText();
    // At the first start the index frame fills the main window, which
    // shows its caption after the file's.
    EXPECT_TRUE(Frame().windowTitle().startsWith("Quillbox Reader - notes - ["))
        << Frame().windowTitle().toStdString();
    EXPECT_TRUE(Frame().PaneLit(Pane::Read));
    ASSERT_NE(app->IndexFrame(), nullptr);
    EXPECT_TRUE(app->IndexFrame()->isMaximized());
    EXPECT_EQ(Frame().Mdi()->subWindowList().size(), 1);
    QAction* recent = Frame().Action(cmd::kRecentFileFirst);
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->text().contains("notes.qbx"));
}

TEST_F(StartupTest, MissingCommandLineFileIsNotFoundAndStartsEmpty) {
    std::string file = dir / "gone.qbx";
    Start({file});
    EXPECT_EQ(app->Document(), nullptr);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.Last().text, "Can not find this file:\n" + file);
    EXPECT_EQ(ui.Last().icon, MessageIcon::Exclamation);
    EXPECT_EQ(dialogs.welcomeShown, 0);  // a command-line file skips the welcome step
    EXPECT_FALSE(Frame().PaneLit(Pane::Read));
    EXPECT_FALSE(Frame().PaneLit(Pane::Link));
}

TEST_F(StartupTest, MissingStartupFileIsReportedThenTheWelcomeScreenShows) {
    std::string file = dir / "data/lost.qbx";
    WriteSettings("[Quillbox]\nLoadLastFile=2\nLastFileName=" + file + "\n");
    Start();
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.messages[0].text, FormatResource(msg::kStartupFileMissing, file));
    EXPECT_EQ(dialogs.welcomeShown, 1);
    EXPECT_EQ(app->Document(), nullptr);
    EXPECT_EQ(Stored().GetInt("Quillbox", "LoadLastFile", -1), 0);
}

TEST_F(StartupTest, StartupFileWithoutFolderOpensFromTheDataFolder) {
    std::string data = dir / "home/Data";
    std::filesystem::create_directories(data);
    WriteDataFile(data + "/notes.qbx");
    WriteSettings(
        "[Quillbox]\nLoadLastFile=2\nLastFileName=notes.qbx\n[Directories]\nQuillbox Data=" + data +
        "\n");
    Start();
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Document()->PathName(), data + "/notes.qbx");
    EXPECT_EQ(dialogs.welcomeShown, 0);
}

TEST_F(StartupTest, WelcomeScreenFollowsItsSettingAndItsChoices) {
    {
        WriteSettings("[QUILLBOX]\nWelcome=2\n");
        Start();
        EXPECT_EQ(dialogs.welcomeShown, 0);
        Stop();
    }
    WriteSettings("[QUILLBOX]\nWelcome=1\n");
    dialogs.welcome.button = WelcomeButton::OpenFile;
    dialogs.welcome.showAtStartup = false;
    Start();
    EXPECT_EQ(dialogs.welcomeShown, 1);
    // Open File is posted and runs once start-up has returned.
    EXPECT_EQ(dialogs.openAsked, 1);
    EXPECT_EQ(app->PendingCommands(), 0);
    EXPECT_EQ(Stored().GetInt("QUILLBOX", "Welcome", 0), 2);
}

TEST_F(StartupTest, WelcomeOpenRecentOpensTheChosenFile) {
    std::string a = dir / "a.qbx", b = dir / "b.qbx";
    WriteDataFile(a);
    WriteDataFile(b);
    WriteSettings("[Recent File List]\nFile1=" + a + "\nFile2=" + b + "\n");
    dialogs.welcome.button = WelcomeButton::OpenRecent;
    dialogs.welcome.recentIndex = 1;
    Start();
    ASSERT_EQ(dialogs.welcomeRecent.size(), 2u);
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Document()->PathName(), b);
    // The opened file moves to the top of the menu.
    EXPECT_TRUE(Frame().Action(cmd::kRecentFileFirst)->text().endsWith("b.qbx"));
}

TEST_F(StartupTest, LoadLastFileOneOpensTheMostRecentFile) {
    std::string a = dir / "a.qbx";
    WriteDataFile(a);
    WriteSettings("[Quillbox]\nLoadLastFile=1\n[Recent File List]\nFile1=" + a + "\n");
    Start();
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Document()->PathName(), a);
    EXPECT_EQ(dialogs.welcomeShown, 0);
}

TEST_F(StartupTest, DeletedRecentFileLeavesTheMenu) {
    std::string kept = dir / "kept.qbx", gone = dir / "gone.qbx";
    WriteDataFile(kept);
    WriteSettings("[QUILLBOX]\nWelcome=2\n[Recent File List]\nFile1=" + gone + "\nFile2=" + kept +
                  "\n");
    Start();
    ASSERT_NE(Frame().Action(cmd::kRecentFileFirst + 1), nullptr);
    Frame().Action(cmd::kRecentFileFirst)->trigger();
    ProcessEvents();
    EXPECT_EQ(app->Document(), nullptr);
    EXPECT_FALSE(ui.messages.empty());  // the open reported the missing file
    ASSERT_NE(Frame().Action(cmd::kRecentFileFirst), nullptr);
    EXPECT_TRUE(Frame().Action(cmd::kRecentFileFirst)->text().endsWith("kept.qbx"));
    EXPECT_EQ(Frame().Action(cmd::kRecentFileFirst + 1), nullptr);
    EXPECT_EQ(Stored().GetString("Recent File List", "File1", ""), kept);
}

TEST_F(StartupTest, OpenCommandRemembersTheFolder) {
    std::string folder = dir / "elsewhere";
    std::filesystem::create_directories(folder);
    WriteDataFile(folder + "/x.qbx");
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    Start();
    dialogs.openName = folder + "/x.qbx";
    Frame().RunCommand(cmd::kFileOpen);
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Core().Dirs().Folder(FolderType::Data), folder);
    EXPECT_EQ(Stored().GetString("Directories", "Quillbox Data", ""), folder);
}

TEST_F(StartupTest, FileVersionsDecideTheQuestion) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    Start();
    std::string v350 = dir / "v350.qbx", v450 = dir / "v450.qbx", v520 = dir / "v520.qbx";
    WriteDataFile(v350, 350);
    WriteDataFile(v450, 450);
    WriteDataFile(v520, 520);

    EXPECT_TRUE(app->Core().OpenDataFile(v350));
    EXPECT_EQ(dialogs.newerAsked + dialogs.tooNewShown, 0);

    dialogs.newerChoice = NewerFormatChoice::Cancel;
    EXPECT_FALSE(app->Core().OpenDataFile(v450));
    EXPECT_EQ(dialogs.newerAsked, 1);
    ASSERT_NE(app->Document(), nullptr);  // the open file stays open
    EXPECT_EQ(app->Document()->PathName(), v350);

    dialogs.newerChoice = NewerFormatChoice::OpenReadOnly;
    EXPECT_TRUE(app->Core().OpenDataFile(v450));
    EXPECT_EQ(dialogs.newerAsked, 2);
    ASSERT_NE(app->Document(), nullptr);

    EXPECT_FALSE(app->Core().OpenDataFile(v520));
    EXPECT_EQ(dialogs.tooNewShown, 1);
    EXPECT_EQ(dialogs.newerAsked, 2);
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Document()->PathName(), v450);
    EXPECT_EQ(Frame().Mdi()->subWindowList().size(), 1);
}

TEST_F(StartupTest, OpeningATextFileKeepsTheOpenDocumentAndSaysItIsOfAnotherType) {
    std::string file = dir / "notes.qbx";
    WriteDataFile(file);
    Start({file});
    ASSERT_NE(app->Document(), nullptr);
    std::string text = dir / "readme.txt";
    WriteFile(text, "Some words.\n");
    ui.Reset();
    dialogs.openName = text;
    Frame().RunCommand(cmd::kFileOpen);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.Last().text, "This file is not a Quillbox data file:\n" + text);
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Document()->PathName(), file);
    EXPECT_EQ(Frame().Mdi()->subWindowList().size(), 1);
    EXPECT_TRUE(Frame().windowTitle().startsWith("Quillbox Reader - notes"));
    EXPECT_TRUE(Frame().PaneLit(Pane::Read));
}

TEST_F(StartupTest, CancelledPasswordFailsTheOpenWith1148) {
    std::string file = dir / "locked.qbx";
    WriteProtectedFile(file, "Secret");
    ui.QueueCancel();
    Start({file});
    ASSERT_EQ(ui.passwordRequests.size(), 1u);
    EXPECT_EQ(ui.passwordRequests[0], "locked.qbx");
    EXPECT_TRUE(HasMessage(FormatResource(msg::kPasswordInvalid, file)));
    EXPECT_EQ(app->Document(), nullptr);
    EXPECT_TRUE(Frame().Mdi()->subWindowList().isEmpty());
    EXPECT_EQ(Frame().windowTitle(), "Quillbox Reader");
}

TEST_F(StartupTest, RightPasswordOpensAndShowPrivateStaysDisabled) {
    std::string file = dir / "locked.qbx";
    WriteProtectedFile(file, "Secret");
    ui.QueuePassword("secret");  // letter case matters
    Start({file});
    EXPECT_EQ(app->Document(), nullptr);
    ui.Reset();
    ui.QueuePassword("Secret");
    ASSERT_TRUE(app->Core().OpenDataFile(file));
    Frame().UpdateCommandStates();
    QAction* show = Frame().Action(cmd::kShowPrivateArticles);
    EXPECT_FALSE(show->isEnabled());  // the file asks at open: nothing to toggle
    EXPECT_TRUE(show->isChecked());
}

TEST_F(StartupTest, DroppedFileOpens) {
    std::string file = dir / "dropped.qbx";
    WriteDataFile(file);
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    Start();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(file))});
    QMimeData web;
    web.setUrls({QUrl("https://example.com/x.qbx")});
    EXPECT_FALSE(Frame().OpenDropped(web));
    EXPECT_TRUE(Frame().OpenDropped(mime));
    EXPECT_EQ(app->Document(), nullptr);  // not inside the drop itself
    ProcessEvents();
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(app->Document()->PathName(), file);
}

TEST_F(StartupTest, ClosingTheIndexWindowClosesTheFile) {
    std::string file = dir / "notes.qbx";
    WriteDataFile(file);
    Start({file});
    ASSERT_NE(app->IndexFrame(), nullptr);
    app->IndexFrame()->close();
    ProcessEvents();
    EXPECT_EQ(app->Document(), nullptr);
    EXPECT_FALSE(Frame().PaneLit(Pane::Read));
}

}  // namespace
}  // namespace qb::testing

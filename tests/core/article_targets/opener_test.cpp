// Opening targets through a recording launcher: what is launched, and the
// message each failure shows.
#include "article/attachment_opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/profile_store.h"
#include "app/settings.h"
#include "resources/strings.h"
#include "support/recording_launcher.h"
#include "support/recording_ui.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

class OpenerTest : public ::testing::Test {
protected:
    OpenerTest() {
        file = dir.Write("Files/Report.txt", "x");
        ::mkdir((dir / "Files/Sub").c_str(), 0755);
        ctx.linkBase = "C:\\Data";
        ctx.drives = {{"C:", dir.Path()}, {"D:", dir / "Files"}};
    }
    TargetOpener Opener() { return TargetOpener(launcher, ui, ctx); }

    TempDir dir;
    std::string file;
    TargetContext ctx;
    RecordingLauncher launcher;
    RecordingUi ui;
};

TEST(LaunchFailure, EveryResultHasItsMessageAndNumber) {
    const std::string p = "/x/y.txt";
    EXPECT_EQ(LaunchFailureText(LaunchResult::Ok, p), "");
    EXPECT_EQ(LaunchFailureText(LaunchResult::NotFound, p),
              "Unable to open /x/y.txt\nError 2 - File not found.");
    EXPECT_EQ(LaunchFailureText(LaunchResult::PathNotFound, p),
              "Unable to open /x/y.txt\nError 3 - Path not found.");
    EXPECT_EQ(LaunchFailureText(LaunchResult::AccessDenied, p),
              "Unable to open /x/y.txt\nError 5 - Operating System preventing access to file.");
    EXPECT_EQ(LaunchFailureText(LaunchResult::OutOfMemory, p),
              "Unable to open /x/y.txt\nError 8 - Not enough memory to complete request.");
    EXPECT_EQ(LaunchFailureText(LaunchResult::NoProgram, p),
              "Unable to open /x/y.txt\nError 31 - No program has been associated with this "
              "type of file.");
    EXPECT_EQ(LaunchFailureText(LaunchResult::Failed, p),
              "/x/y.txt could not be opened.\nNo program has been associated with this type of "
              "file.");
    // A path that itself holds "%2" is shown as it is.
    EXPECT_EQ(LaunchFailureText(LaunchResult::NotFound, "/a%2b"),
              "Unable to open /a%2b\nError 2 - File not found.");
}

TEST_F(OpenerTest, AnExistingFileGoesToTheDefaultHandler) {
    TargetOpener o = Opener();
    EXPECT_TRUE(o.OpenFileOrFolder("D:\\report.TXT"));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].kind, RecordingLauncher::Call::Path);
    EXPECT_EQ(launcher.calls[0].target, dir / "Files/Report.txt") << "matched without case";
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(OpenerTest, EachLauncherFailureShowsItsMessageWithTheLinuxPath) {
    for (LaunchResult r :
         {LaunchResult::NotFound, LaunchResult::PathNotFound, LaunchResult::AccessDenied,
          LaunchResult::NoProgram, LaunchResult::OutOfMemory, LaunchResult::Failed}) {
        launcher.result = r;
        ui.Reset();
        EXPECT_FALSE(Opener().OpenFileOrFolder("D:\\Report.txt"));
        ASSERT_EQ(ui.Count(), 1u);
        EXPECT_EQ(ui.LastText(), LaunchFailureText(r, dir / "Files/Report.txt"));
        EXPECT_EQ(ui.Last().icon, MessageIcon::Exclamation);
    }
}

TEST_F(OpenerTest, NothingAtThePathIsFileNotFoundWithoutLaunching) {
    EXPECT_FALSE(Opener().OpenFileOrFolder("D:\\gone.txt"));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(ui.LastText(),
              "Unable to open " + (dir / "Files/gone.txt") + "\nError 2 - File not found.");
}

TEST_F(OpenerTest, AMissingDriveMappingNamesTheWindowsPathAndTheSetting) {
    EXPECT_FALSE(Opener().OpenFileOrFolder("E:\\Docs\\a.txt"));
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(ui.LastText(),
              "Unable to open E:\\Docs\\a.txt (no folder is set for E: in the Drives "
              "settings)\nError 3 - Path not found.");
}

TEST_F(OpenerTest, RelativePathsUseTheBaseAndDriveRelativeTheRememberedDrive) {
    const std::string want = dir / "Files/Report.txt";
    for (const char* base : {"D:\\", "C:\\files"}) {
        ctx.linkBase = base;
        EXPECT_TRUE(Opener().OpenFileOrFolder(".\\report.txt")) << base;
        EXPECT_TRUE(Opener().OpenFileOrFolder("Report.txt")) << base;
    }
    // The data file's own folder as base is a Linux path already.
    ctx.linkBase = dir / "Files";
    EXPECT_TRUE(Opener().OpenFileOrFolder(".\\Report.txt"));
    ctx.linkBase = "C:\\Data";
    ctx.drive = 'D';
    EXPECT_TRUE(Opener().OpenFileOrFolder(".:\\Report.txt"));
    ASSERT_EQ(launcher.calls.size(), 6u);
    for (const auto& c : launcher.calls)
        EXPECT_EQ(c.target, want);
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(OpenerTest, FoldersGoToTheFolderBrowserOnlyWhenSetAndPresent) {
    ctx.useFolderBrowser = true;
    ctx.folderBrowser = "  /bin/sh  ";
    EXPECT_TRUE(Opener().OpenFileOrFolder("D:\\sub"));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].kind, RecordingLauncher::Call::Program);
    EXPECT_EQ(launcher.calls[0].target, "/bin/sh");
    EXPECT_EQ(launcher.calls[0].args, std::vector<std::string>{dir / "Files/Sub"});

    // A file still goes to its handler.
    EXPECT_TRUE(Opener().OpenFileOrFolder("D:\\Report.txt"));
    EXPECT_EQ(launcher.calls.back().kind, RecordingLauncher::Call::Path);

    ctx.folderBrowser = dir / "no-such-browser";
    EXPECT_TRUE(Opener().OpenFileOrFolder("D:\\Sub"));
    EXPECT_EQ(launcher.calls.back().kind, RecordingLauncher::Call::Path);
}

TEST_F(OpenerTest, ABrowserNameWithAWrongCheckValueIsIgnored) {
    Settings s;
    s.SetFolderBrowser("/bin/sh");
    s.userFolderBrowser = 1;
    s.userSettings = "0123456789abcdef0123456789abcdef";  // edited by hand
    ctx.folderBrowser = s.FolderBrowser();
    ctx.useFolderBrowser = s.userFolderBrowser != 0;
    EXPECT_TRUE(Opener().OpenFileOrFolder("D:\\Sub"));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].kind, RecordingLauncher::Call::Path);
}

TEST_F(OpenerTest, WebAddressesAndTheirFailureCutBeforeTheQuery) {
    TargetOpener o = Opener();
    EXPECT_TRUE(o.OpenWebAddress("http://example.org/a?b=1"));
    EXPECT_EQ(launcher.calls.back().kind, RecordingLauncher::Call::Url);
    launcher.result = LaunchResult::NoProgram;
    EXPECT_FALSE(o.OpenWebAddress("http://example.org/a?b=1", true));
    EXPECT_EQ(ui.LastText(),
              "Unable to open http://example.org/a.\nQuillbox Reader was unable to open your "
              "browser.\nPlease check the URL.");
    EXPECT_FALSE(o.OpenWebAddress("http://example.org/a?b=1"));
    EXPECT_NE(ui.LastText().find("a?b=1."), std::string::npos);
}

TEST_F(OpenerTest, AttachmentsOpenByKindAndArticleAttachmentsDoNothing) {
    TargetOpener o = Opener();
    EXPECT_TRUE(o.Open(CAttachment{1, "D:\\Report.txt", -1, 0}));
    EXPECT_TRUE(o.Open(CAttachment{2, "www.example.org", -1, 0}));
    EXPECT_FALSE(o.Open(CAttachment{3, "", 4, 0}));
    ASSERT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(launcher.calls[1].target, "www.example.org");
    // A Windows-1252 name is decoded before it is looked up.
    dir.Write("Files/caf\xC3\xA9.txt", "x");
    EXPECT_TRUE(o.Open(CAttachment{1, "D:\\caf\xE9.txt", -1, 0}));
    EXPECT_EQ(launcher.calls.back().target, dir / "Files/caf\xC3\xA9.txt");
}

TEST(DrivesSettings, AreReadAndWrittenWithTheOtherKeys) {
    ProfileStore store;
    store.LoadText("[Drives]\nC:=/mnt/c\n\\\\srv\\share=/mnt/share\nc:=/ignored\n");
    Settings s;
    s.Load(store);
    ASSERT_EQ(s.drives.size(), 2u);
    EXPECT_EQ(s.drives[0], (std::pair<std::string, std::string>{"C:", "/mnt/c"}));
    EXPECT_EQ(s.drives[1].first, "\\\\srv\\share");
    s.drives.push_back({"E:", "/media/e"});
    s.Save(store);
    EXPECT_EQ(store.GetString("Drives", "E:", ""), "/media/e");
    EXPECT_EQ(store.GetString("drives", "\\\\SRV\\share", ""), "/mnt/share");
}

}  // namespace
}  // namespace qb::testing

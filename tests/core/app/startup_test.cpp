#include "app/startup.h"

#include <gtest/gtest.h>

#include <map>

#include "app_test_support.h"
#include "datafile/quill_error.h"
#include "resources/strings.h"
#include "support/recording_ui.h"

namespace qb {
namespace {

using testing::FakeEnv;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

class FakeHost : public AppHost {
public:
    bool canClose = true;
    std::vector<std::pair<std::string, bool>> opened;
    int closes = 0;
    std::vector<NewerFormatChoice> newerAnswers;
    std::vector<std::string> newerAsked, tooNew;
    std::optional<std::string> copyName;
    std::optional<WelcomeResult> welcomeAnswer;
    int welcomeShown = 0;
    std::optional<std::string> openAnswer;
    std::string openStartFolder;
    std::vector<int> posted;
    std::optional<bool> topmost;
    bool openSucceeds = true;

    bool CanCloseAllDocuments() override { return canClose; }
    void CloseAllDocuments() override { ++closes; }
    bool OpenDocument(const std::string& path, bool allowNewer) override {
        opened.emplace_back(path, allowNewer);
        return openSucceeds;
    }
    NewerFormatChoice AskNewerFormat(const std::string& path) override {
        newerAsked.push_back(path);
        if (newerAnswers.empty()) return NewerFormatChoice::Cancel;
        auto c = newerAnswers.front();
        newerAnswers.erase(newerAnswers.begin());
        return c;
    }
    void ShowTooNewFormat(const std::string& path) override { tooNew.push_back(path); }
    std::optional<std::string> AskCopyName(const std::string&) override { return copyName; }
    WelcomeResult ShowWelcome(const std::vector<std::string>&, bool) override {
        ++welcomeShown;
        return welcomeAnswer.value_or(WelcomeResult{});
    }
    std::optional<std::string> AskOpenFileName(const std::string& start,
                                               const std::string&) override {
        openStartFolder = start;
        return openAnswer;
    }
    void PostCommand(int c) override { posted.push_back(c); }
    void SetAlwaysOnTop(bool on) override { topmost = on; }
};

// A program in a scratch folder with its settings under a scratch XDG home.
struct Fixture {
    TempDir dir;
    FakeEnv env;
    RecordingUi ui;
    FakeHost host;
    std::map<std::string, int> versions;     // path -> probe result
    std::map<std::string, int> probeErrors;  // path -> code the probe throws
    std::unique_ptr<AppCore> app;

    Fixture() {
        env.programPath = dir / "bin/quillbox-reader";
        env.env["XDG_CONFIG_HOME"] = dir / "config";
        env.home = dir / "home";
        std::filesystem::create_directories(dir / "home/Documents");
    }
    std::string SettingsPath() const {
        return dir / "config/Tarnwick Software/Quillbox Reader.ini";
    }
    void Settings(const std::string& ini) { WriteFile(SettingsPath(), ini); }
    std::string DataFile(const std::string& rel, int probe = 1) {
        std::string p = dir / rel;
        WriteFile(p, "data");
        versions[p] = probe;
        return p;
    }
    AppCore& Start(const std::vector<std::string>& args = {}) {
        app = std::make_unique<AppCore>(env, ui, host, [this](const std::string& p) {
            if (auto e = probeErrors.find(p); e != probeErrors.end())
                throw CQuillError(e->second, p);
            auto it = versions.find(p);
            if (it == versions.end()) throw CQuillError(err::kNotFound, p);
            return it->second;
        });
        app->Prepare(args);
        app->Finish();
        return *app;
    }
};

TEST(StartupCommandLine, FileIsOpenedAndWelcomeSkipped) {
    Fixture f;
    std::string file = f.DataFile("notes.qbx");
    f.Start({file});
    ASSERT_EQ(f.host.opened.size(), 1u);
    EXPECT_EQ(f.host.opened[0].first, file);
    EXPECT_FALSE(f.host.opened[0].second);
    EXPECT_EQ(f.host.welcomeShown, 0);
    EXPECT_EQ(f.app->Recent().Entries(), std::vector<std::string>{file});
    EXPECT_EQ(f.host.topmost, false);
}

TEST(StartupCommandLine, MissingFileIsNotFoundAndStartsEmpty) {
    Fixture f;
    std::string missing = f.dir / "gone.qbx";
    f.Start({"--some-option", missing});
    EXPECT_TRUE(f.host.opened.empty());
    ASSERT_EQ(f.ui.Count(), 1u);
    // A name typed on the command line is not a shortcut's target.
    EXPECT_EQ(f.ui.LastText(), "Can not find this file:\n" + missing);
    EXPECT_EQ(f.host.welcomeShown, 0);
}

TEST(StartupLoadLastFile, MissingFileWarnsThenShowsWelcome) {
    Fixture f;
    std::string missing = f.dir / "old/notes.qbx";
    f.Settings("[Quillbox]\nLoadLastFile=2\nLastFileName=" + missing + "\n");
    f.Start();
    ASSERT_EQ(f.ui.Count(), 1u);
    EXPECT_EQ(f.ui.LastText(), FormatResource(msg::kStartupFileMissing, missing));
    EXPECT_EQ(f.ui.Last().icon, MessageIcon::Exclamation);
    EXPECT_EQ(f.host.welcomeShown, 1);
    EXPECT_TRUE(f.host.opened.empty());
    ProfileStore saved(f.SettingsPath());
    saved.Load();
    EXPECT_EQ(saved.GetInt("Quillbox", "LoadLastFile", -1), 0);
}

TEST(StartupLoadLastFile, BareNameOpensInTheDataFolder) {
    Fixture f;
    std::string file = f.DataFile("data/notes.qbx");
    f.Settings("[Quillbox]\nLoadLastFile=2\nLastFileName=notes.qbx\n[Directories]\nQuillbox Data=" +
               f.dir / "data" + "\n");
    f.Start();
    ASSERT_EQ(f.host.opened.size(), 1u);
    EXPECT_EQ(f.host.opened[0].first, file);
    EXPECT_EQ(f.host.welcomeShown, 0);  // a file to open at start skips the welcome step
}

TEST(StartupLoadLastFile, MostRecentFileIsPostedAsACommand) {
    Fixture f;
    f.Settings("[Quillbox]\nLoadLastFile=1\n[Recent File List]\nFile1=/x/a.qbx\n");
    f.Start();
    EXPECT_EQ(f.host.posted, std::vector<int>{cmd::kRecentFileFirst});
    EXPECT_EQ(f.host.welcomeShown, 0);

    Fixture empty;  // no recent file: the welcome screen may show
    empty.Settings("[Quillbox]\nLoadLastFile=1\n");
    empty.Start();
    EXPECT_TRUE(empty.host.posted.empty());
    EXPECT_EQ(empty.host.welcomeShown, 1);
}

TEST(StartupWelcome, Welcome2ShowsNothing) {
    Fixture f;
    f.Settings("[QUILLBOX]\nWelcome=2\nOnTop=1\n");
    f.Start();
    EXPECT_EQ(f.host.welcomeShown, 0);
    EXPECT_EQ(f.host.topmost, true);
}

TEST(StartupWelcome, ButtonsPostTheirCommandsAndTheBoxIsStored) {
    struct Case {
        WelcomeButton button;
        int index;
        bool show;
        int command;
        int welcome;
    };
    const Case cases[] = {
        {WelcomeButton::Tutorial, 0, true, cmd::kHelpTutorial, 1},
        {WelcomeButton::OpenFile, 0, false, cmd::kFileOpen, 2},
        {WelcomeButton::OpenRecent, 1, true, cmd::kRecentFileFirst + 1, 1},
        {WelcomeButton::OpenRecent, 3, true, 0, 1},  // beyond the two recent files
        {WelcomeButton::Continue, 0, false, 0, 2},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.Settings("[Recent File List]\nFile1=/a.qbx\nFile2=/b.qbx\n");
        f.host.welcomeAnswer = WelcomeResult{c.button, c.index, c.show};
        f.Start();
        EXPECT_EQ(f.host.posted, c.command ? std::vector<int>{c.command} : std::vector<int>{});
        ProfileStore saved(f.SettingsPath());
        saved.Load();
        EXPECT_EQ(saved.GetInt("QUILLBOX", "Welcome", -1), c.welcome);
    }
}

TEST(OpenDataFile, VersionsDecideTheDialogs) {
    Fixture f;
    f.Start();
    std::string v350 = f.DataFile("v350.qbx", 1), v450 = f.DataFile("v450.qbx", 2),
                v520 = f.DataFile("v520.qbx", 3);
    EXPECT_TRUE(f.app->OpenDataFile(v350));
    EXPECT_TRUE(f.host.newerAsked.empty());

    f.host.opened.clear();
    f.host.closes = 0;
    EXPECT_FALSE(f.app->OpenDataFile(v450));  // Cancel
    EXPECT_EQ(f.host.newerAsked, std::vector<std::string>{v450});
    EXPECT_TRUE(f.host.opened.empty());
    EXPECT_EQ(f.host.closes, 0);  // the open file stays open

    for (auto choice : {NewerFormatChoice::OpenAnyway, NewerFormatChoice::OpenReadOnly}) {
        f.host.opened.clear();
        f.host.newerAnswers = {choice};
        EXPECT_TRUE(f.app->OpenDataFile(v450));
        ASSERT_EQ(f.host.opened.size(), 1u);
        EXPECT_TRUE(f.host.opened[0].second);  // allow-newer set
    }

    f.host.opened.clear();
    f.host.closes = 0;
    EXPECT_FALSE(f.app->OpenDataFile(v520));
    EXPECT_EQ(f.host.tooNew, std::vector<std::string>{v520});
    EXPECT_TRUE(f.host.opened.empty());
    EXPECT_EQ(f.host.closes, 0);
}

TEST(OpenDataFile, FilesThatCannotBeOpenedLeaveTheOpenOneAlone) {
    Fixture f;
    f.Start();
    ASSERT_TRUE(f.app->OpenDataFile(f.DataFile("open.qbx")));
    f.host.closes = 0;
    f.host.opened.clear();
    std::string text = f.DataFile("notes.txt");
    f.probeErrors[text] = err::kNotQuillbox;
    std::string old = f.DataFile("old.qbx", 4);  // a version below 210
    EXPECT_FALSE(f.app->OpenDataFile(text));
    EXPECT_FALSE(f.app->OpenDataFile(old));
    EXPECT_FALSE(f.app->OpenDataFile(f.dir / "missing.qbx"));
    EXPECT_EQ(f.host.closes, 0);
    EXPECT_TRUE(f.host.opened.empty());
    ASSERT_EQ(f.ui.Count(), 3u);
    EXPECT_EQ(f.ui.messages[0].text, "This file is not a Quillbox data file:\n" + text);
    EXPECT_EQ(f.ui.messages[1].text, "This file is not a valid Quillbox data file:\n" + old +
                                         "\n\nThe file may be corrupted.");
    EXPECT_EQ(f.ui.messages[2].text, "Can not find this file:\n" + f.dir / "missing.qbx");
    EXPECT_EQ(f.app->Recent().Entries().front(), f.dir / "open.qbx");
}

TEST(OpenDataFile, CopyAndOpenOpensTheCopyAndNeverTheOriginalInPlace) {
    Fixture f;
    f.Start();
    std::string v450 = f.DataFile("v450.qbx", 2);
    std::string copy = f.dir / "copy.qbx";
    f.versions[copy] = 2;
    f.host.newerAnswers = {NewerFormatChoice::CopyAndOpen};
    f.host.copyName = copy;
    EXPECT_TRUE(f.app->OpenDataFile(v450));
    ASSERT_EQ(f.host.opened.size(), 1u);
    EXPECT_EQ(f.host.opened[0], std::make_pair(copy, true));
    EXPECT_EQ(ReadFile(copy), "data");

    // Copying onto itself would empty the file: refused, reported, kept.
    f.host.opened.clear();
    f.host.newerAnswers = {NewerFormatChoice::CopyAndOpen};
    f.host.copyName = v450;
    EXPECT_FALSE(f.app->OpenDataFile(v450));
    EXPECT_TRUE(f.host.opened.empty());
    EXPECT_EQ(ReadFile(v450), "data");
    EXPECT_EQ(f.ui.Count(), 1u);
}

TEST(OpenDataFile, RefusedCloseAndProbeErrors) {
    Fixture f;
    f.Start();
    std::string file = f.DataFile("a.qbx");
    f.host.canClose = false;
    f.ui.QueueResult(MessageResult::No);
    EXPECT_FALSE(f.app->OpenDataFile(file));
    EXPECT_EQ(f.ui.Last().buttons, MessageButtons::YesNo);
    EXPECT_EQ(f.host.closes, 0);
    f.ui.QueueResult(MessageResult::Yes);
    EXPECT_TRUE(f.app->OpenDataFile(file));

    f.host.canClose = true;
    f.ui.Reset();
    f.host.opened.clear();
    f.host.closes = 0;
    EXPECT_FALSE(f.app->OpenDataFile(f.dir / "unknown.qbx"));  // probe throws 101
    EXPECT_EQ(f.ui.Count(), 1u);
    EXPECT_TRUE(f.host.opened.empty());
    EXPECT_EQ(f.host.closes, 0);
}

TEST(RecentFilesList, DeletedFileIsRemovedFromBothLists) {
    Fixture f;
    // Portable: the program on a removable drive.
    f.env.removable = true;
    f.env.mountPoint = f.dir.Path();
    std::string keep = f.DataFile("keep.qbx");
    f.Start();
    EXPECT_TRUE(f.app->Location().portable);
    std::string gone = f.DataFile("gone.qbx");
    ASSERT_TRUE(f.app->OpenDataFile(gone));
    ASSERT_TRUE(f.app->OpenDataFile(keep));
    std::filesystem::remove(gone);
    f.host.openSucceeds = false;  // the document's open reports the failure
    EXPECT_FALSE(f.app->OnRecentFile(1));
    EXPECT_EQ(f.app->Recent().Entries(), std::vector<std::string>{keep});
    EXPECT_EQ(f.app->Recent().Portable(), std::vector<std::string>{keep});
    ProfileStore saved(f.dir / "bin/quillbox-reader.ini");
    saved.Load();
    EXPECT_EQ(saved.GetString("Recent Files", "File1", ""), keep);
    EXPECT_EQ(saved.GetString("Recent Files", "File2", "?"), "");

    // An existing file that fails to open stays.
    EXPECT_FALSE(f.app->OnRecentFile(0));
    EXPECT_EQ(f.app->Recent().Entries().size(), 1u);
}

TEST(RecentFilesList, KeepsFourNewestWithoutDuplicates) {
    RecentFiles r;
    ProfileStore store;
    store.LoadText("[Recent Files]\nFile1=/1\nFile2=/2\nFile3=\nFile4=/4\n");
    r.Load(store, false);  // the older list fills an empty one, File1 on top
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/1", "/2", "/4"}));
    r.Add("/5");
    r.Add("/6");
    r.Add("/2");
    EXPECT_EQ(r.Entries(), (std::vector<std::string>{"/2", "/6", "/5", "/1"}));
}

TEST(OpenCommand, StartsInTheDataFolderAndRemembersIt) {
    Fixture f;
    f.Start();
    EXPECT_EQ(f.app->Dirs().Folder(FolderType::Data), f.dir / "home/Documents");
    std::string file = f.DataFile("elsewhere/n.qbx");
    f.host.openAnswer = file;
    EXPECT_TRUE(f.app->OnCommand(cmd::kFileOpen));
    EXPECT_EQ(f.host.openStartFolder, f.dir / "home/Documents");
    EXPECT_EQ(f.app->Dirs().Folder(FolderType::Data), f.dir / "elsewhere");
    ASSERT_EQ(f.host.opened.size(), 1u);
    ProfileStore saved(f.SettingsPath());
    saved.Load();
    EXPECT_EQ(saved.GetString("Directories", "Quillbox Data", ""), f.dir / "elsewhere");
}

TEST(OpenCommand, StartsInTheFolderOfTheFileOpenedLast) {
    Fixture f;
    std::string named = f.DataFile("projects/notes.qbx");
    f.Start({named});  // from the command line: not the data folder
    f.host.openAnswer.reset();
    f.app->OnFileOpen();
    EXPECT_EQ(f.host.openStartFolder, f.dir / "projects");
    EXPECT_EQ(f.app->Dirs().Folder(FolderType::Data), f.dir / "home/Documents");

    // A file that failed to open does not move it.
    EXPECT_FALSE(f.app->OpenDataFile(f.dir / "other/gone.qbx"));
    f.app->OnFileOpen();
    EXPECT_EQ(f.host.openStartFolder, f.dir / "projects");
}

TEST(StartupImport, IniBesideTheProgramIsImportedEachStart) {
    Fixture f;
    WriteFile(f.dir / "bin/quillbox-reader.ini",
              "[Quillbox]\nPortable=ffff-ffff\nCount=5\nName=abc\n");
    f.Start();
    EXPECT_FALSE(f.app->Location().portable);
    ProfileStore saved(f.SettingsPath());
    saved.Load();
    EXPECT_EQ(saved.GetInt("Quillbox", "Count", 0), 5);
    EXPECT_EQ(saved.GetString("Quillbox", "Name", ""), "abc");
    EXPECT_EQ(saved.GetInt("Quillbox", "UseIni", -1), 0);
    EXPECT_EQ(ReadFile(f.dir / "bin/quillbox-reader.ini"),
              "[Quillbox]\nPortable=ffff-ffff\nCount=5\nName=abc\n");  // only read
}

TEST(ProgramVersionText, StagesAndNumbers) {
    ProgramVersion v = MakeProgramVersion(4, 13, 2, 7);
    EXPECT_EQ(v.text, "4.1.3");
    EXPECT_EQ(v.number, 4132);
    EXPECT_EQ(MakeProgramVersion(4, 13, 0, 7).text, "4.1.3.7 (Alpha)");
    EXPECT_EQ(MakeProgramVersion(4, 13, 1, 7).text, "4.1.3.7 (Beta)");
    EXPECT_EQ(MakeProgramVersion(4, 13, 1, 7).number, 4131);
}

}  // namespace
}  // namespace qb

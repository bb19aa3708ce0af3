// The reader under test: a scratch machine (settings in a temporary
// XDG_CONFIG_HOME), a recording Ui and scripted dialogs, so that nothing
// waits on a modal dialog. Shared by the GUI test programs.
#pragma once

#include <QApplication>
#include <QDialog>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings_location.h"
#include "core/app/app_test_support.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/document/document_commands.h"
#include "gui/support/index_placeholder.h"
#include "support/recording_ui.h"
#include "writer/qbx_writer.h"

namespace qb::testing {

inline void EnsureQApplication() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}

inline void ProcessEvents() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

class ScriptedDialogs : public ShellDialogs {
public:
    // Exec: records the dialog's name, lets the test look at it, answers.
    std::vector<std::string> execs;
    std::function<void(QDialog&)> onExec;
    int execResult = QDialog::Rejected;
    int Exec(QDialog& d) override {
        execs.push_back(d.objectName().toStdString());
        if (onExec) onExec(d);
        return execResult;
    }

    int newerAsked = 0, tooNewShown = 0, welcomeShown = 0, openAsked = 0, saveAsked = 0;
    NewerFormatChoice newerChoice = NewerFormatChoice::Cancel;
    WelcomeResult welcome;
    std::vector<std::string> welcomeRecent;
    std::optional<std::string> openName, saveName, copyName;
    std::string saveTitle, saveFolder, saveProposed;

    NewerFormatChoice AskNewerFormat(const std::string&, QWidget*) override {
        ++newerAsked;
        return newerChoice;
    }
    void ShowTooNewFormat(const std::string&, QWidget*) override { ++tooNewShown; }
    std::optional<std::string> AskCopyName(const std::string&, QWidget*) override {
        return copyName;
    }
    WelcomeResult ShowWelcome(const std::vector<std::string>& recent, bool show,
                              QWidget*) override {
        ++welcomeShown;
        welcomeRecent = recent;
        (void)show;
        return welcome;
    }
    std::optional<std::string> AskOpenFileName(const std::string&, const std::string&,
                                               QWidget*) override {
        ++openAsked;
        return openName;
    }
    // The folder dialog: answers `folderName`, records where it started.
    int folderAsked = 0;
    std::optional<std::string> folderName;
    std::string folderStart;
    std::optional<std::string> AskFolder(const std::string&, const std::string& start,
                                         QWidget*) override {
        ++folderAsked;
        folderStart = start;
        return folderName;
    }
    std::optional<std::string> AskSaveFileName(const std::string& title, const std::string& folder,
                                               const std::string& proposed, const std::string&,
                                               const std::string&, QWidget*) override {
        ++saveAsked;
        saveTitle = title;
        saveFolder = folder;
        saveProposed = proposed;
        return saveName;
    }
};

// A data file of `version` with one article, for the open path.
inline void WriteDataFile(const std::string& path, int16_t version = 300, int32_t flags = 0) {
    qbw::ArticleData a;
    a.title = "First";
    qbw::FileBuilder b;
    b.SetVersion(version).SetFlags(flags).SetRecord(1, 0, qbw::EncodeArticleNew(a));
    b.WriteFile(path);
}

// The same, protected by `password` and asking for it at open.
inline void WriteProtectedFile(const std::string& path, const std::string& password) {
    qbw::Key16 salt{}, key{};
    for (int i = 0; i < 16; ++i) {
        salt[i] = uint8_t(i * 7 + 1);
        key[i] = uint8_t(200 - i);
    }
    qbw::ArticleData a;
    a.title = "Secret";
    qbw::FileBuilder b;
    b.SetFlags(1)
        .SetRecord(1, 0, qbw::EncodeArticleNew(a))
        .SetStream(qbw::stream::kPrivacy, qbw::MakePrivacy(password, salt, key).stream);
    b.WriteFile(path);
}

class ReaderFixture {
public:
    ReaderFixture() {
        EnsureQApplication();
        env.programPath = dir / "bin/quillbox-reader";
        env.home = dir / "home";
        env.env["XDG_CONFIG_HOME"] = dir / "config";
        env.env["HOME"] = env.home;
        std::filesystem::create_directories(dir / "bin");
        std::filesystem::create_directories(env.home);
    }
    ~ReaderFixture() { Stop(); }

    std::string SettingsPath() { return NormalSettingsPath(env); }
    // The settings file, written before the reader starts.
    void WriteSettings(const std::string& ini) { WriteFile(SettingsPath(), ini); }
    // The settings as stored now (a fresh read of the file).
    ProfileStore Stored() {
        ProfileStore s(app && app->Core().Location().portable ? app->Core().Location().settingsPath
                                                              : SettingsPath());
        s.Load();
        return s;
    }

    ReaderApp& Start(std::vector<std::string> args = {}) {
        app = std::make_unique<ReaderApp>(env, ui, dialogs);
        InstallIndexPlaceholder(*app);
        app->AddFrameExtension(&InstallDocumentCommands);
        app->Start(args);
        ProcessEvents();
        return *app;
    }
    // Closes the main window as the person would, then ends the program.
    void Stop() {
        if (!app) return;
        if (app->Frame()) app->Frame()->close();
        ProcessEvents();
        app.reset();
    }
    CMainFrame& Frame() { return *app->Frame(); }
    bool HasMessage(const std::string& text) const {
        for (const auto& m : ui.messages)
            if (m.text == text) return true;
        return false;
    }

    TempDir dir;
    FakeEnv env;
    RecordingUi ui;
    ScriptedDialogs dialogs;
    std::unique_ptr<ReaderApp> app;
};

}  // namespace qb::testing

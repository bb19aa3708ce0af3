// Start-up and the open path, as decisions the Qt shell carries out: where
// settings live, what opens at start, the welcome screen, the recent-file
// lists, the Open command and every open of a data file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/directories.h"
#include "app/frame_layout.h"
#include "app/profile_store.h"
#include "app/program_version.h"
#include "app/settings.h"
#include "app/settings_location.h"
#include "resources/command_ids.h"

namespace qb {

class SystemEnv;
class Ui;

constexpr const char* kOpenDefaultPattern = "*.qbx";

// The file named on the command line: the first argument that is not an
// option (after "--" every argument is a name).
std::optional<std::string> CommandLineFile(const std::vector<std::string>& args);

// True when `name` holds no folder part ('/' or '\').
bool HasNoFolder(const std::string& name);

// The framework's most-recently-used list and, in portable mode, the
// portable list kept under "Recent Files".
class RecentFiles {
public:
    static constexpr int kMax = 4;

    // Reads the lists (section "Recent File List", the older "Recent Files"
    // list when that one is empty) and, in portable mode, refills the list
    // from the portable one.
    void Load(const ProfileStore& store, bool portable);
    bool Save(ProfileStore& store) const;

    void Add(const std::string& path);  // on top of both lists
    void Remove(size_t index);          // from both lists
    const std::vector<std::string>& Entries() const { return entries_; }
    const std::vector<std::string>& Portable() const { return portable_; }
    bool PortableEnabled() const { return portableEnabled_; }

private:
    std::vector<std::string> entries_;   // [0] is the most recent
    std::vector<std::string> portable_;  // [0] is File1
    bool portableEnabled_ = false;
};

// Choices of the newer-format dialog (files of versions 401 to 499).
enum class NewerFormatChoice { OpenAnyway, OpenReadOnly, CopyAndOpen, Cancel };

enum class WelcomeButton { Tutorial, OpenFile, OpenRecent, Continue };
struct WelcomeResult {
    WelcomeButton button = WelcomeButton::Continue;
    int recentIndex = 0;  // OpenRecent: the position chosen in the drop-down list
    bool showAtStartup = true;
};
struct WelcomeOutcome {
    int command = 0;  // posted to the main window; 0 none
    int32_t welcome = 1;
};
WelcomeOutcome DecideWelcome(const WelcomeResult& r);

// What the Qt shell does for the core: windows, dialogs and the document.
class AppHost {
public:
    virtual ~AppHost() = default;
    virtual bool CanCloseAllDocuments() = 0;
    virtual void CloseAllDocuments() = 0;
    // The document's open: true when the file was loaded; reports its own errors.
    virtual bool OpenDocument(const std::string& path, bool allowNewer) = 0;
    // Versions 401 to 499: open anyway, read-only, a copy, or not at all.
    virtual NewerFormatChoice AskNewerFormat(const std::string& path) = 0;
    // Version 500 and above: the file can not be opened.
    virtual void ShowTooNewFormat(const std::string& path) = 0;
    // Copy and Open: the name for the copy (a save dialog), or nothing.
    virtual std::optional<std::string> AskCopyName(const std::string& path) = 0;
    virtual WelcomeResult ShowWelcome(const std::vector<std::string>& recent,
                                      bool showAtStartup) = 0;  // the welcome screen
    virtual std::optional<std::string> AskOpenFileName(const std::string& startFolder,
                                                       const std::string& filter) = 0;
    virtual void PostCommand(int command) = 0;  // runs after start-up returns
    virtual void SetAlwaysOnTop(bool on) = 0;
};

// Copies a data file for "Copy and Open": read-only source, the copy
// written beside its destination and renamed into place. Refuses to copy a
// file onto itself. Returns 0 or a data-file error code.
int CopyDataFile(const std::string& from, const std::string& to);

// The version class of a file (CDataFile::Probe's result); throws CQuillError.
using Prober = std::function<int(const std::string& path)>;

class AppCore {
public:
    AppCore(SystemEnv& env, Ui& ui, AppHost& host, Prober probe);

    // Start-up steps up to creating the main frame: settings location and
    // import, the command line, the settings, the recent lists, the
    // folders and the choice of what opens at start.
    void Prepare(const std::vector<std::string>& args);
    // After the main frame is shown: the welcome step, the command-line or
    // start-up file, and "OnTop".
    void Finish();

    // Opens a data file: probes the version and asks about newer formats,
    // then closes the open file and opens the new one. A file refused before
    // that (missing, of another type, too new, cancelled) leaves the open
    // document as it was. True when a document was opened.
    bool OpenDataFile(const std::string& path, bool allowNewer = false);
    bool OpenDocumentFile(const std::string& path) { return OpenDataFile(path, false); }
    // cmd::kFileOpen: the dialog starts in the folder of the file opened
    // last in this run, else in the default data folder.
    void OnFileOpen();
    bool OnRecentFile(size_t index);  // cmd::kRecentFileFirst + index
    // Routes File Open, the recent files and File New; false if not ours.
    bool OnCommand(int command);

    // When the Preferences dialog closes with OK.
    bool ApplyPreferences();

    const SettingsLocation& Location() const { return location_; }
    ProfileStore& Store() { return *store_; }
    Settings& GetSettings() { return settings_; }
    Directories& Dirs() { return dirs_; }
    RecentFiles& Recent() { return recent_; }
    FrameValues& Frame() { return frame_; }

    // Decisions Prepare made, for the shell and for tests.
    const std::optional<std::string>& CommandLinePath() const { return commandLine_; }
    const std::optional<std::string>& StartupFile() const { return startupFile_; }
    const std::optional<std::string>& MissingStartupFile() const { return missingStartup_; }
    bool OpensRecentFirst() const { return openRecentFirst_; }
    bool WelcomeFree() const { return welcomeFree_; }

private:
    void ReportStoreError(int code, const std::string& path);
    std::string InDataFolder(const std::string& name) const;

    SystemEnv& env_;
    Ui& ui_;
    AppHost& host_;
    Prober probe_;
    SettingsLocation location_;
    std::unique_ptr<ProfileStore> store_;
    Settings settings_;
    Directories dirs_;
    RecentFiles recent_;
    FrameValues frame_;
    std::optional<std::string> commandLine_;
    std::optional<std::string> startupFile_;
    std::optional<std::string> missingStartup_;
    bool openRecentFirst_ = false;
    bool welcomeFree_ = false;
    std::string lastFolder_;  // of the file opened last
};

}  // namespace qb

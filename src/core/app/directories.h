// The four default folders ("Directories") with drive-relative storage:
// a stored text beginning ".:" lies on the volume the program runs from,
// whose mount point stands in for the drive letter.
#pragma once

#include <array>
#include <string>

namespace qb {

class ProfileStore;

enum class FolderType { Data = 0, ImportExport = 1, Attachments = 2, CustomImportFormats = 3 };
constexpr int kFolderTypeCount = 4;

// The key of each type under "Directories", in type order.
const char* FolderKey(FolderType type);

class Directories {
public:
    // Stored texts this long (or longer) are not taken (PATH_MAX).
    static constexpr size_t kMaxStoredLength = 4096;

    // The mount point standing in for the program's drive.
    void SetRoot(std::string mountPoint);
    const std::string& Root() const { return root_; }
    // Portable mode: folders on the program's volume are stored with ".:".
    void SetDriveRelative(bool on) { driveRelative_ = on; }
    bool DriveRelative() const { return driveRelative_; }

    // Reads each type not taken from a start-up import; an empty or
    // over-long text is replaced by `defaultFolder`.
    void Load(const ProfileStore& store, const std::string& defaultFolder);
    // Writes the changed, not imported types; returns false when the
    // store could not save them (the store has reported it).
    bool Save(ProfileStore& store);

    std::string Folder(FolderType type) const;  // resolved
    const std::string& StoredText(FolderType type) const;
    void SetFolder(FolderType type, const std::string& path, bool driveRelative = false);
    // A folder from the start-up .ini import: kept as given, not read again
    // by Load and not saved.
    void SetImported(FolderType type, const std::string& text);
    bool IsImported(FolderType type) const;
    bool Changed() const;

    // Puts every folder on the program's volume (the .ini import's UseRoot).
    void ReRootAll();

    // ".:rest" -> root + rest (backslashes as '/'); anything else as stored.
    std::string Resolve(const std::string& stored) const;
    // The stored form of `path`: ".:" + the part below the root when
    // drive-relative storage is on (or forced) and the path lies under it.
    std::string ToStored(const std::string& path, bool forceRelative = false) const;

private:
    struct Entry {
        std::string stored;
        bool changed = false;
        bool imported = false;
    };
    std::array<Entry, kFolderTypeCount> entries_;
    std::string root_ = "/";
    bool driveRelative_ = false;
};

// The user's documents folder: XDG_DOCUMENTS_DIR from user-dirs.dirs, else
// ~/Documents when it exists, else the home folder.
class SystemEnv;
std::string DefaultDocumentsFolder(SystemEnv& env);

// The XDG configuration folder ($XDG_CONFIG_HOME when absolute, else
// ~/.config).
std::string ConfigHome(SystemEnv& env);

}  // namespace qb

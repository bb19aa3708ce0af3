// One output file of an export, never left half-written: the run writes a
// temporary file beside the target, and only Commit puts it in the target's
// place (one rename, so the target is either the old file or the whole new
// one). A run that fails or is cancelled drops the temporary file, and an
// existing target stays as it was. A new target's temporary file has no
// name at all where the system allows it (O_TMPFILE): Commit links it in,
// and a crash leaves nothing behind.
#pragma once

#include <string>
#include <string_view>

namespace qb {

class ExportFile {
public:
    // kNew: the caller has chosen a name that no file in the folder has
    // (the notes of a folder export), so there are no permissions to keep
    // and the target is not looked up: in a folder of a hundred thousand
    // files each lookup of a missing name reads the folder's blocks. Such a
    // file is written through Write only (TempPath may be empty), and
    // Commit fails rather than replace a file that took the name since.
    enum class TargetKind { kMayExist, kNew };
    // Creates the temporary file in the target's folder; throws CQuillError
    // with the target's path when it cannot be made.
    explicit ExportFile(std::string target, TargetKind kind = TargetKind::kMayExist);
    // Removes the temporary file unless it was committed.
    ~ExportFile();
    ExportFile(const ExportFile&) = delete;
    ExportFile& operator=(const ExportFile&) = delete;

    const std::string& Target() const { return target_; }
    // Where the writer writes (it may truncate and reopen it).
    const std::string& TempPath() const { return temp_; }

    // The written file replaces the target, with the target's permissions
    // when it existed and was not said to be new (else those of a new file). Throws CQuillError
    // with the target's path when the rename fails; the temporary file is gone.
    void Commit();
    // Removes the temporary file now.
    void Discard();

    // Appends `bytes` to the temporary file through the descriptor it was
    // made with (for a caller that writes whole files without a writer of
    // its own); `Sync` waits until they are on the disk. Both throw
    // CQuillError with the target's path.
    void Write(std::string_view bytes);
    void Sync();
    bool Committed() const { return committed_; }

private:
    void CommitUnnamed();
    int MoveIntoPlace() const;  // 0, or -1 with errno

    std::string target_;
    TargetKind kind_;
    std::string temp_;
    int fd_ = -1;  // of the temporary file, until Commit or Discard
    bool committed_ = false;
    bool unnamed_ = false;  // fd_ is an O_TMPFILE file, linked in by Commit
};

}  // namespace qb

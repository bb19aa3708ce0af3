// Where a stored file or folder target points. Two separate steps:
// the stored Windows form is resolved exactly as the original program did
// (drive-relative ".:", ".\" and plain relative paths against the file's
// link base), and that Windows path is then mapped to a Linux path through
// the `Drives` settings. Texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qb {

// A path that contains a backslash and has ":\" at its second character or
// begins with two backslashes is absolute (".:" takes `drive` in place of
// the "."); ".\rest" and any other path are joined to `base` with one
// backslash. String in, string out: nothing is looked up.
std::string ResolveWindowsPath(const std::string& stored, const std::string& base, char drive);

// The `Drives` settings: keys "C:" or "\\server\share" (compared without
// regard to case), values Linux folders.
using DriveMap = std::vector<std::pair<std::string, std::string>>;

struct LinuxPath {
    std::optional<std::string> path;  // none: no mapping for `missingKey`
    std::string missingKey;           // "C:" or "\\server\share"
};

// Maps a resolved Windows path to Linux: a drive letter or UNC share goes
// through `drives`; a path already starting with "/" (the data file's own
// folder as link base) needs none; a path rooted with one backslash lies on
// `drive`. Backslashes become "/". Components that do not exist as spelled
// are matched without regard to case against the real folders (bounded:
// at most kMaxFolderEntries entries read per component).
LinuxPath MapToLinux(const std::string& windowsPath, const DriveMap& drives, char drive);

// Reads no more than this many entries of one folder when matching a
// component without regard to case.
constexpr size_t kMaxFolderEntries = 20000;

// An existing path with each component spelled as on disk where the
// spelling differs only in case; unmatched parts are kept as given.
std::string MatchCaseBlind(const std::string& linuxPath);

// Both forms of one stored target, for callers that show or open it.
struct ResolvedTarget {
    std::string windows;
    std::optional<std::string> linux;
    std::string missingKey;  // set when `linux` is empty
};
ResolvedTarget ResolveStoredTarget(const std::string& stored, const std::string& base, char drive,
                                   const DriveMap& drives);

}  // namespace qb

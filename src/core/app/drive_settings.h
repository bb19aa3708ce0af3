// The `Drives` settings as the Preferences page edits them: which Windows
// drives and shares stored link targets may name, and the Linux folder
// that stands for each. The page's rows are checked here, so that a typing
// slip gets its message instead of a key no target could ever match.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qb {

// (key, Linux folder) in the order shown and stored.
using DriveEntries = std::vector<std::pair<std::string, std::string>>;

// The key a typed drive or share stands for, blanks around it ignored:
// a drive letter with its colon, upper-cased ("d:" gives "D:"), or a share
// "\\server\share" of two non-empty parts (a trailing backslash dropped).
// None for anything else, and for names the settings file cannot hold as
// a key ("=", line breaks, "/").
std::optional<std::string> NormalizeDriveKey(const std::string& typed);

struct DriveRowProblem {
    size_t row = 0;
    bool inFolder = false;  // false: the key column
    std::string message;    // ready to show
};

struct DriveRowsCheck {
    DriveEntries entries;                    // normalised, rows left wholly empty dropped
    std::optional<DriveRowProblem> problem;  // the first one; `entries` is then empty
};

// Checks the rows as typed: every key normalises, no key appears twice
// (without regard to case), and every folder is an absolute Linux path.
// Folders need not exist yet (a disk may be mounted later).
DriveRowsCheck CheckDriveRows(const DriveEntries& rows);

}  // namespace qb

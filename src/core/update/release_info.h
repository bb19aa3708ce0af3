// The update information file and what is read from it: one product per
// line, "KEY<TAB>VERSION<TAB>PAGE"; the released version compared with the
// running one; the query string sent with every request to the maker's site.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/program_version.h"

namespace qb {

constexpr const char* kProductKey = "QBR";

struct ReleaseLine {
    std::string versionText;  // as listed, "4.13.2.81"
    std::string page;         // the address of the page about the release
};

// The first line whose key equals `key` without regard to case. Lines with
// fewer than two tabs are skipped; a CR before the line end is dropped.
std::optional<ReleaseLine> FindReleaseLine(std::string_view file, std::string_view key);

// The listed version as four numbers: the numbers before and after the first
// point, then the third and fourth; a missing or unreadable part is 0, a
// part above 65535 is 65535.
ProgramVersion ParseReleasedVersion(std::string_view text);

// True when `listed` is newer than `running`: major and minor first, then
// stage and build.
bool IsNewerRelease(const ProgramVersion& listed, const ProgramVersion& running);

// The fields of "?source=F%d%02d%d%03d%d%02d%02d". The operating-system
// fields are always sent as 0: nothing that identifies the machine is sent.
struct SourceQuery {
    int product = 1;     // the product number of the deployment
    int place = 13;      // where in the program the request comes from
    int status = 0;      // one digit
    int threeDigit = 0;  // clamped to 0..999
};
constexpr int kUpdateCheckPlace = 13;
std::string SourceQueryText(const SourceQuery& q);

}  // namespace qb

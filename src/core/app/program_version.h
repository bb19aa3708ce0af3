// The program's version: four 16-bit parts (major, minor, stage, build) and
// the text shown for them. Stage 0 is an alpha, 1 a beta, 2 and above a release.
#pragma once

#include <cstdint>
#include <string>

namespace qb {

struct ProgramVersion {
    unsigned major = 0, minor = 0, stage = 0, build = 0;
    // The text: major, then the minor part as two digits ("4.1.3" for 4.13);
    // below stage 2 the build follows, with " (Alpha)" or " (Beta)".
    std::string text;
    // major, minor and stage as one comparable number (4.13 stage 2: 4132).
    int32_t number = 0;

    // The two 32-bit halves compared by the update check.
    uint32_t High() const { return (major << 16) | minor; }
    uint32_t Low() const { return (stage << 16) | build; }
    // The four numbers with points, "4.13.2.81".
    std::string Numbers() const;
};

ProgramVersion MakeProgramVersion(unsigned major, unsigned minor, unsigned stage, unsigned build);
// This build's own version.
ProgramVersion OwnProgramVersion();
// What --version prints: "NAME TEXT (NUMBERS)", e.g. "qbx 1.0.0 (1.0.2.0)".
std::string VersionLine(const std::string& programName);

}  // namespace qb

#include "app/program_version.h"

#include <cstdio>

#include "quillbox_version.h"

namespace qb {

std::string ProgramVersion::Numbers() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", major, minor, stage, build);
    return buf;
}

ProgramVersion MakeProgramVersion(unsigned major, unsigned m, unsigned stage, unsigned build) {
    ProgramVersion v;
    v.major = major & 0xFFFF;
    v.minor = m & 0xFFFF;
    v.stage = stage & 0xFFFF;
    v.build = build & 0xFFFF;
    char buf[64];
    if (v.stage >= 2) {
        std::snprintf(buf, sizeof buf, "%u.%u.%u", v.major, v.minor / 10, v.minor % 10);
    } else {
        std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", v.major, v.minor / 10, v.minor % 10, v.build);
    }
    v.text = buf;
    if (v.stage == 0) v.text += " (Alpha)";
    if (v.stage == 1) v.text += " (Beta)";
    v.number =
        static_cast<int32_t>(v.major * 1000 + (v.minor / 10) * 100 + (v.minor % 10) * 10 + v.stage);
    return v;
}

ProgramVersion OwnProgramVersion() {
    return MakeProgramVersion(QUILLBOX_VERSION_MAJOR, QUILLBOX_VERSION_MINOR,
                              QUILLBOX_VERSION_STAGE, QUILLBOX_VERSION_BUILD);
}

std::string VersionLine(const std::string& programName) {
    ProgramVersion v = OwnProgramVersion();
    return programName + " " + v.text + " (" + v.Numbers() + ")";
}

}  // namespace qb

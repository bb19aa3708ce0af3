#include "app/help_guide.h"

#include "app/system_env.h"

namespace qb {

std::string InstalledGuideFolder(const std::string& programPath) {
    // The program path is absolute: /usr/bin/quillbox-reader gives /usr.
    std::string prefix = DirectoryOf(DirectoryOf(programPath));
    return JoinPath(JoinPath(JoinPath(prefix, "share"), "quillbox-reader"), "guide");
}

std::optional<std::string> FindGuideFolder(SystemEnv& env, const BuildTreeGuide& build) {
    std::string program = env.ProgramPath();
    auto holdsGuide = [&](const std::string& folder) {
        return !folder.empty() && env.FileExists(JoinPath(folder, help::kContents));
    };
    std::string installed = InstalledGuideFolder(program);
    if (holdsGuide(installed)) return installed;
    // Only the build's own program: an installed one must not read a
    // folder that happened to be its build's.
    if (!build.binFolder.empty() && DirectoryOf(program) == build.binFolder &&
        holdsGuide(build.guideFolder))
        return build.guideFolder;
    return std::nullopt;
}

}  // namespace qb

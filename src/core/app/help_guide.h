// Where the user guide is and which page belongs to what. The guide is a
// folder of HTML pages installed with the program (share/quillbox-reader/guide
// beside its bin folder); a program run from its build folder falls back to
// the pages of the source tree.
#pragma once

#include <optional>
#include <string>

namespace qb {

class SystemEnv;

// The pages Help opens; every window names one of them as its own.
namespace help {
inline constexpr const char* kContents = "index.html";
inline constexpr const char* kTutorial = "tutorial.html";
inline constexpr const char* kOpening = "opening.html";
inline constexpr const char* kIndexWindow = "index-window.html";
inline constexpr const char* kArticles = "articles.html";
inline constexpr const char* kQueries = "queries.html";
inline constexpr const char* kPrivate = "private.html";
inline constexpr const char* kFind = "find.html";
inline constexpr const char* kExport = "export.html";
inline constexpr const char* kPrinting = "printing.html";
inline constexpr const char* kQbx = "qbx.html";
}  // namespace help

// The guide folder installed for the program at `programPath`:
// <prefix>/share/quillbox-reader/guide for <prefix>/bin/PROGRAM.
std::string InstalledGuideFolder(const std::string& programPath);

// Where a program that was not installed finds the guide: one run from the
// build's `binFolder` reads the source tree's `guideFolder`.
struct BuildTreeGuide {
    std::string binFolder;
    std::string guideFolder;
};

// The folder that holds the contents page: the installed one, else (for a
// program in the build's bin folder only) the source tree's. Nothing when
// neither does: the guide is not installed.
std::optional<std::string> FindGuideFolder(SystemEnv& env, const BuildTreeGuide& build);

}  // namespace qb

// The port that hands a target to the desktop: a web address or a file or
// folder to its default handler, or a named program with its arguments.
// Programs are always started from an argument vector, never a shell.
#pragma once

#include <string>
#include <vector>

namespace qb {

// What became of a launch; the opener turns these into messages.
enum class LaunchResult {
    Ok,
    NotFound,      // nothing at the path, or the program does not exist
    PathNotFound,  // a folder on the way is missing
    AccessDenied,
    NoProgram,  // no handler is set up for this kind of file or address
    OutOfMemory,
    Failed,  // any other failure
};

class Launcher {
public:
    virtual ~Launcher() = default;
    // A web address (any scheme: http, mailto, news, ...) to its handler.
    virtual LaunchResult OpenUrl(const std::string& url) = 0;
    // An existing local file or folder (UTF-8 path) to its default handler.
    virtual LaunchResult OpenPath(const std::string& path) = 0;
    // Starts `program` detached with `args` as its argument vector.
    virtual LaunchResult StartProgram(const std::string& program,
                                      const std::vector<std::string>& args) = 0;
};

}  // namespace qb

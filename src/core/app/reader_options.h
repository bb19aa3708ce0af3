// The reader's own command line: its options and the one data file. Every
// argument that begins with "-" must be an option the reader knows (after
// "--" every argument is a file name), so a mistyped option ends the program
// with a usage message instead of starting a window that scripts wait on.
#pragma once

#include <string>
#include <vector>

namespace qb {

struct ReaderOptions {
    bool showVersion = false;
    bool showHelp = false;
    std::string screenshot;          // --screenshot OUT.png
    std::vector<std::string> files;  // what start-up gets: the operands, "--" kept
    std::string error;               // the mistake, when the command line has one
};

ReaderOptions ParseReaderOptions(const std::vector<std::string>& args);

// The --help text, also printed (on stderr) after a mistake.
const char* ReaderUsage();

}  // namespace qb

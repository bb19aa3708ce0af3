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
    std::string screenshot;  // --screenshot OUT.png
    // --print-pdf OUT.pdf FILE: the articles laid out into a PDF, no window.
    std::string printPdf;
    std::string printRange = "all";   // --range all|bookmarked
    std::string printSort = "title";  // --sort title|title-desc|date|date-desc
    bool printTitlesOnly = false;     // --titles-only
    bool printNumbered = false;       // --numbered (titles only)
    std::vector<std::string> files;   // what start-up gets: the operands, "--" kept
    std::string error;                // the mistake, when the command line has one
};

ReaderOptions ParseReaderOptions(const std::vector<std::string>& args);

// The --help text, also printed (on stderr) after a mistake.
const char* ReaderUsage();

}  // namespace qb

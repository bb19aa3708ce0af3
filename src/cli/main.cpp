// qbx: the command-line face of the reader's core.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/program_version.h"
#include "command.h"

namespace qbx {
std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}
}  // namespace qbx

static void Usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: qbx [--code-page N] COMMAND [ARGS...]\n       qbx --version | "
                 "--help\n\ncommands:\n");
    auto cmds = qbx::Commands();
    std::sort(cmds.begin(), cmds.end(),
              [](const qbx::Command& a, const qbx::Command& b) { return a.name < b.name; });
    for (const auto& c : cmds)
        std::fprintf(out, "  %-10s %s\n", c.name.c_str(), c.summary.c_str());
    std::fprintf(out,
                 "\nEvery command that opens a data file also takes --code-page N, before\n"
                 "or after the command name: the Windows code page the file's text was\n"
                 "written in (874, 1250 to 1258; default 1252). Any other N is a usage\n"
                 "error.\n"

                 "\nErrors go to stderr, one line each: \"error: \", the data file when the\n"
                 "message does not name it, and the message. Exit status 0 success,\n"
                 "1 an error, 2 a usage error.\n");
    std::fprintf(out, "\n'qbx COMMAND --help' tells more about one command.\n");
}

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage(stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        Usage(stdout);
        return 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("%s\n", qb::VersionLine("qbx").c_str());
        return 0;
    }
    // A leading --code-page goes to the command, which reads and checks it
    // with its other options.
    qbx::Args given;
    int at = 1;
    if (!std::strcmp(argv[1], "--code-page")) {
        if (argc < 4) {
            std::fprintf(stderr, "qbx: --code-page N must be followed by a command\n");
            Usage(stderr);
            return 2;
        }
        given = {"--code-page", argv[2]};
        at = 3;
    }
    for (const auto& c : qbx::Commands()) {
        if (c.name != argv[at]) continue;
        qbx::Args args(argv + at + 1, argv + argc);
        args.insert(args.end(), given.begin(), given.end());
        return c.run(args);
    }
    if (argv[at][0] == '-')
        std::fprintf(stderr, "qbx: unknown option '%s'\n", argv[at]);
    else
        std::fprintf(stderr, "qbx: unknown command '%s'\n", argv[at]);
    Usage(stderr);
    return 2;
}

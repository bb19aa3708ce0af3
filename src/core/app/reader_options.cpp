#include "app/reader_options.h"

namespace qb {

ReaderOptions ParseReaderOptions(const std::vector<std::string>& args) {
    ReaderOptions o;
    bool optionsDone = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsDone || a.empty() || a[0] != '-' || a == "-") {
            o.files.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsDone = true;
            o.files.push_back(a);
        } else if (a == "--version") {
            o.showVersion = true;
        } else if (a == "--help" || a == "-h") {
            o.showHelp = true;
        } else if (a == "--screenshot") {
            if (i + 1 >= args.size()) {
                o.error = "--screenshot lacks its file name";
                return o;
            }
            o.screenshot = args[++i];
        } else {
            o.error = "unknown option '" + a + "'";
            return o;
        }
    }
    return o;
}

const char* ReaderUsage() {
    return "usage: quillbox-reader [--screenshot OUT.png] [--] [FILE.qbx]\n"
           "\n"
           "Opens FILE.qbx (or the file chosen by the start-up setting) read-only.\n"
           "\n"
           "  --screenshot OUT.png  start without asking anything, open FILE, save the\n"
           "                        main window at 1024 x 768 as OUT.png and exit\n"
           "  --version             print the program's name and version and exit\n"
           "  --help, -h            print this text and exit\n"
           "  --                    every later argument is a file name\n"
           "\n"
           "Exit status 0 success, 1 a failure, 2 a usage error.\n";
}

}  // namespace qb

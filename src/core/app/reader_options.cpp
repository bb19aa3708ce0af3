#include "app/reader_options.h"

#include <algorithm>
#include <array>

namespace qb {
namespace {

constexpr std::array<const char*, 2> kRanges = {"all", "bookmarked"};
constexpr std::array<const char*, 4> kSorts = {"title", "title-desc", "date", "date-desc"};

template <size_t N>
bool OneOf(const std::string& value, const std::array<const char*, N>& names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return value == n; });
}

// The --print-pdf options belong together: each needs the others' context.
std::string CheckPrintOptions(const ReaderOptions& o, bool rangeGiven, bool sortGiven) {
    bool printOnly = rangeGiven || sortGiven || o.printTitlesOnly || o.printNumbered;
    if (o.printPdf.empty())
        return printOnly ? "--range, --sort, --titles-only and --numbered "
                           "are for --print-pdf"
                         : "";
    if (!o.screenshot.empty()) return "--print-pdf and --screenshot exclude each other";
    if (!OneOf(o.printRange, kRanges)) return "--range takes all or bookmarked";
    if (!OneOf(o.printSort, kSorts)) return "--sort takes title, title-desc, date or date-desc";
    if (o.printNumbered && !o.printTitlesOnly) return "--numbered needs --titles-only";
    size_t files = std::count_if(o.files.begin(), o.files.end(),
                                 [](const std::string& f) { return f != "--"; });
    if (files != 1) return "--print-pdf takes exactly one data file";
    return "";
}

}  // namespace

ReaderOptions ParseReaderOptions(const std::vector<std::string>& args) {
    ReaderOptions o;
    bool optionsDone = false;
    bool rangeGiven = false, sortGiven = false;
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
        } else if (a == "--print-pdf" || a == "--range" || a == "--sort") {
            if (i + 1 >= args.size()) {
                o.error = a + " lacks its value";
                return o;
            }
            const std::string& value = args[++i];
            if (a == "--print-pdf") {
                o.printPdf = value;
                if (value.empty()) {
                    o.error = "--print-pdf lacks its file name";
                    return o;
                }
            } else if (a == "--range") {
                o.printRange = value;
                rangeGiven = true;
            } else {
                o.printSort = value;
                sortGiven = true;
            }
        } else if (a == "--titles-only") {
            o.printTitlesOnly = true;
        } else if (a == "--numbered") {
            o.printNumbered = true;
        } else {
            o.error = "unknown option '" + a + "'";
            return o;
        }
    }
    o.error = CheckPrintOptions(o, rangeGiven, sortGiven);
    return o;
}

const char* ReaderUsage() {
    return "usage: quillbox-reader [--screenshot OUT.png] [--] [FILE.qbx]\n"
           "       quillbox-reader --print-pdf OUT.pdf [--range all|bookmarked]\n"
           "                       [--sort title|title-desc|date|date-desc]\n"
           "                       [--titles-only] [--numbered] [--] FILE.qbx\n"
           "\n"
           "Opens FILE.qbx (or the file chosen by the start-up setting) read-only.\n"
           "\n"
           "  --screenshot OUT.png  start without asking anything, open FILE, save the\n"
           "                        main window at 1024 x 768 as OUT.png and exit\n"
           "  --print-pdf OUT.pdf   print FILE's articles into OUT.pdf as File > Print\n"
           "                        would (page setup of the file, the settings' fonts),\n"
           "                        without a window, and exit\n"
           "  --range R             all articles (the default) or the bookmarked ones\n"
           "  --sort S              by title (the default), title-desc, date, date-desc\n"
           "  --titles-only         the titles alone, one per line\n"
           "  --numbered            number the titles (\"1.\", a tab, the title)\n"
           "  --version             print the program's name and version and exit\n"
           "  --help, -h            print this text and exit\n"
           "  --                    every later argument is a file name\n"
           "\n"
           "Exit status 0 success, 1 a failure, 2 a usage error.\n";
}

}  // namespace qb

// The manual page qbx.1 is written by hand: it must keep up with the
// program. Every command of "qbx --help" has an entry, and every option a
// command's --help names is in the page.
#include <regex>
#include <set>
#include <sstream>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

// The page's roff source with its escapes for "-" and its font changes
// dropped, so that options read as typed.
std::string ManPageText(const std::string& name) {
    std::string roff = ReadFile(std::string(QB_SOURCE_DIR) + "/docs/man/" + name);
    std::string text;
    for (size_t i = 0; i < roff.size(); ++i) {
        if (roff[i] == '\\' && i + 1 < roff.size()) {
            char next = roff[i + 1];
            if (next == '-') {
                text += '-';
                ++i;
                continue;
            }
            if (next == 'f' && i + 2 < roff.size()) {  // \fB, \fI, \fR, \fP
                i += 2;
                continue;
            }
        }
        text += roff[i];
    }
    return text;
}

std::vector<std::string> Commands(const std::string& help) {
    std::vector<std::string> names;
    std::istringstream in(help);
    std::string line;
    bool inList = false;
    while (std::getline(in, line)) {
        if (line == "commands:")
            inList = true;
        else if (inList && line.rfind("  ", 0) == 0)
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
        else
            inList = false;
    }
    return names;
}

std::set<std::string> Options(const std::string& help) {
    std::set<std::string> options;
    static const std::regex option("--[a-z][a-z0-9-]*");
    for (std::sregex_iterator it(help.begin(), help.end(), option), end; it != end; ++it)
        options.insert(it->str());
    return options;
}

TEST(QbxManPage, EveryCommandAndOptionIsDocumented) {
    std::string page = ManPageText("qbx.1");
    ASSERT_FALSE(page.empty());
    ProgramResult top = RunQbx({"--help"});
    ASSERT_EQ(top.status, 0) << top;
    std::vector<std::string> commands = Commands(top.out);
    ASSERT_GE(commands.size(), 10u) << top.out;
    for (const std::string& option : Options(top.out))
        EXPECT_TRUE(Has(page, option)) << option;
    for (const std::string& command : commands) {
        // An entry: a tagged paragraph whose tag begins with the name.
        std::regex entry("\\.TP\n\\.B[IR]? +\"?" + command + "[ \"\n]");
        EXPECT_TRUE(std::regex_search(page, entry)) << "no entry for " << command;
        ProgramResult help = RunQbx({command, "--help"});
        ASSERT_EQ(help.status, 0) << help;
        for (const std::string& option : Options(help.out))
            EXPECT_TRUE(Has(page, option)) << command << " " << option;
    }
    // Exit statuses and the password's variable are there too.
    EXPECT_TRUE(Has(page, ".SH EXIT STATUS"));
    EXPECT_TRUE(Has(page, "QBX_PASSWORD"));
}

}  // namespace
}  // namespace qb::testing

// The qbx program as a whole: its help texts, qbx rtf on stdin, and the
// index commands on the demo notebook.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

// The command names from "qbx --help".
std::vector<std::string> CommandNames(const std::string& help) {
    std::vector<std::string> names;
    std::istringstream in(help);
    std::string line;
    bool inList = false;
    while (std::getline(in, line)) {
        if (line == "commands:") {
            inList = true;
        } else if (inList && line.rfind("  ", 0) == 0) {
            names.push_back(line.substr(2, line.find(' ', 2) - 2));
        } else if (inList) {
            inList = false;
        }
    }
    return names;
}

TEST(QbxHelp, EveryCommandHasAConsistentUsage) {
    ProgramResult top = RunQbx({"--help"});
    ASSERT_EQ(top.status, 0) << top;
    std::vector<std::string> names = CommandNames(top.out);
    for (const char* expected :
         {"dump", "info", "keywords", "links", "query", "rtf", "saved", "titles"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;

    for (const std::string& name : names) {
        ProgramResult r = RunQbx({name, "--help"});
        EXPECT_EQ(r.status, 0) << name << "\n" << r;
        EXPECT_EQ(r.out.rfind("usage: qbx " + name + " ", 0), 0u) << r.out;
        EXPECT_TRUE(r.err.empty()) << name << "\n" << r;
        if (name == "rtf" || name == "links" || name == "check-update")
            continue;  // read no data file
        // Every command that opens a data file takes its password the same
        // ways, and never as an argument.
        EXPECT_TRUE(Has(r.out, "[--password-stdin]")) << name << "\n" << r.out;
        EXPECT_TRUE(Has(r.out, "QBX_PASSWORD")) << name << "\n" << r.out;
        EXPECT_TRUE(Has(r.out, "[--allow-newer]")) << name << "\n" << r.out;
        EXPECT_FALSE(Has(r.out, "--password ")) << name;
        EXPECT_FALSE(Has(r.out, "--password=")) << name;
    }

    ProgramResult none = RunQbx({});
    EXPECT_EQ(none.status, 2);
    EXPECT_TRUE(Has(none.err, "usage: qbx [--code-page N] COMMAND")) << none;
    ProgramResult unknown = RunQbx({"frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_TRUE(Has(unknown.err, "unknown command 'frobnicate'")) << unknown;
    ProgramResult option = RunQbx({"--frobnicate", "x.qbx"});
    EXPECT_EQ(option.status, 2);
    EXPECT_TRUE(Has(option.err, "unknown option '--frobnicate'")) << option;
}

TEST(QbxVersion, NameTextAndTheFourNumbers) {
    ProgramResult r = RunQbx({"--version"});
    ASSERT_EQ(r.status, 0) << r;
    // "qbx 1.0.0 (1.0.2.0)": the shown text, then major.minor.stage.build.
    std::smatch m;
    ASSERT_TRUE(
        std::regex_match(r.out, m, std::regex(R"(qbx (\S.*) \((\d+)\.(\d+)\.(\d+)\.(\d+)\)\n)")))
        << r.out;
    unsigned minor = std::stoul(m[3]);
    EXPECT_EQ(
        m[1].str().rfind(
            m[2].str() + "." + std::to_string(minor / 10) + "." + std::to_string(minor % 10), 0),
        0u)
        << r.out;
}

TEST(QbxRtf, ReadsStandardInput) {
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Caf\\'e9 \\b bold\\b0\\par second}";
    ProgramResult r = RunQbx({"rtf", "-"}, RunOptions().Input(rtf));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Caf\xC3\xA9 bold\r\nsecond");

    r = RunQbx({"rtf", "--json", "-"}, RunOptions().Input(rtf));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\"bold\": true")) << r;

    r = RunQbx({"rtf", "-"}, RunOptions().Input("plain words"));
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "the input is not RTF")) << r;

    r = RunQbx({"rtf", "/nonexistent/a.rtf"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "No such file or directory")) << r;
    EXPECT_EQ(RunQbx({"rtf", "--html", "-"}).status, 2);
}

TEST(QbxRtf, TheLastParIsTheFinalMark) {
    const std::string hello = "{\\rtf1 Hello\\par}";
    ProgramResult r = RunQbx({"rtf", "--text", "-"}, RunOptions().Input(hello));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Hello");  // no CR LF for the final mark

    r = RunQbx({"rtf", "--json", "-"}, RunOptions().Input(hello));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\"text\": \"Hello\",")) << r;
    EXPECT_TRUE(Has(r.out, "{\"start\": 0, \"length\": 5, \"align\"")) << r;
    EXPECT_FALSE(Has(r.out, "\"start\": 6")) << r;  // one paragraph only

    r = RunQbx({"rtf", "--rtf", "-"}, RunOptions().Input(hello));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_FALSE(Has(r.out, "\\par\r")) << r;
    EXPECT_FALSE(Has(r.out, "\\par ")) << r;
    ProgramResult again = RunQbx({"rtf", "--rtf", "-"}, RunOptions().Input(r.out));
    ASSERT_EQ(again.status, 0) << again;
    EXPECT_EQ(again.out, r.out);  // the same bytes

    r = RunQbx({"rtf", "--text", "-"}, RunOptions().Input("{\\rtf1 a\\par\\par}"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "a\r\n");  // "a" and one empty paragraph
}

// The demo notebook: its password is "demo" and it keeps some articles private.
class DemoTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(demo_)) GTEST_SKIP() << "no demo file at " << demo_;
    }
    static ProgramResult Qbx(const std::vector<std::string>& args, RunOptions o = {}) {
        o.Env("LC_ALL", "C");
        return RunQbx(args, o);
    }
    // "Caption (n of m)" -> n and m; the rows after the caption.
    static void Counts(const std::string& out, int& n, int& m, int& rows) {
        size_t open = out.find(" ("), nl = out.find('\n');
        ASSERT_NE(open, std::string::npos) << out;
        ASSERT_EQ(std::sscanf(out.c_str() + open, " (%d of %d)", &n, &m), 2) << out;
        rows = 0;
        for (size_t i = nl + 1; i < out.size(); ++i)
            rows += out[i] == '\n';
    }
    std::string demo_ = QB_BINARY_DIR "/samples/demo.qbx";
};

TEST_F(DemoTest, AllTitlesLockedAndUnlocked) {
    ProgramResult locked = Qbx({"titles", demo_});
    ASSERT_EQ(locked.status, 0) << locked;
    EXPECT_EQ(locked.out.rfind("All Titles (", 0), 0u) << locked;
    int n = 0, m = 0, rows = 0;
    Counts(locked.out, n, m, rows);
    EXPECT_EQ(n, m);
    EXPECT_EQ(rows, n);

    ProgramResult open = Qbx({"titles", demo_}, RunOptions().Env("QBX_PASSWORD", "demo"));
    ASSERT_EQ(open.status, 0) << open;
    int n2 = 0, m2 = 0, rows2 = 0;
    Counts(open.out, n2, m2, rows2);
    EXPECT_EQ(n2, m2);
    EXPECT_EQ(rows2, n2);
    EXPECT_GT(n2, n);  // the private articles joined the list
}

TEST_F(DemoTest, SavedQueryEqualsTheTypedQuery) {
    ProgramResult list = Qbx({"saved", demo_});
    ASSERT_EQ(list.status, 0) << list;
    EXPECT_TRUE(Has(list.out, "Spring birds\tBirds AND Spring\t\t\n")) << list;
    EXPECT_TRUE(Has(list.out, "Summer 2023\tSummer\t6/1/2023\t8/31/2023\n")) << list;

    ProgramResult saved = Qbx({"saved", demo_, "Spring birds"});
    ASSERT_EQ(saved.status, 0) << saved;
    EXPECT_EQ(saved.out.rfind("Query Titles (", 0), 0u) << saved;
    ProgramResult typed = Qbx({"query", demo_, "birds and spring"});
    ASSERT_EQ(typed.status, 0) << typed;
    EXPECT_EQ(saved.out, typed.out);

    ProgramResult selected = Qbx({"titles", demo_, "--keyword", "Birds", "--keyword", "Spring"});
    ASSERT_EQ(selected.status, 0) << selected;
    EXPECT_EQ(selected.out.substr(selected.out.find('\n')), saved.out.substr(saved.out.find('\n')));

    // Every row of the summer query lies in its stored range.
    ProgramResult summer = Qbx({"saved", demo_, "Summer 2023", "--sort", "2"});
    ASSERT_EQ(summer.status, 0) << summer;
    std::istringstream rows(summer.out.substr(summer.out.find('\n') + 1));
    std::string row;
    int count = 0;
    while (std::getline(rows, row)) {
        int month = 0, day = 0, year = 0;
        ASSERT_EQ(std::sscanf(row.c_str(), "%d/%d/%d\t", &month, &day, &year), 3) << row;
        EXPECT_EQ(year, 2023) << row;
        EXPECT_TRUE(month >= 6 && month <= 8) << row;
        ++count;
    }
    EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace qb::testing

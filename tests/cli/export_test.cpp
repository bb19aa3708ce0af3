// qbx export: each format from the command line, the options, the exit
// statuses, and a target that stays as it was when the export fails.
#include <filesystem>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

class ExportCommandTest : public CliTest {
protected:
    // A settings folder of its own: the built-in defaults.
    ProgramResult Export(std::vector<std::string> args) {
        RunOptions o;
        o.Env("HOME", dir_.Path()).Env("XDG_CONFIG_HOME", dir_.Path());
        args.insert(args.begin(), "export");
        return Qbx(args, o);
    }
    std::string Target(const std::string& name) const { return dir_ / name; }
};

TEST_F(ExportCommandTest, TitlesInTheChosenOrderAndRange) {
    std::string out = Target("titles.txt");
    ProgramResult r = Export({path_, out, "--format", "text", "--flags", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    // The private article stays out while the file is locked.
    EXPECT_EQ(ReadFile(out), "Chanterelle\r\nOak and rook\r\nRobin\r\nWren\r\n");
    r = Export({path_, out, "--format", "text", "--flags", "6", "--sort", "date-desc"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "1. Chanterelle\r\n2. Robin\r\n3. Wren\r\n4. Oak and rook\r\n");
    r = Export({path_, out, "--format", "csv", "--flags", "22", "--range", "bookmarked"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "\"Wren\",\"'Birds','Two words'\"\r\n");
}

TEST_F(ExportCommandTest, LineLengthWrapsText) {
    std::string out = Target("wrapped.txt");
    ProgramResult r =
        Export({path_, out, "--format", "text", "--flags", "3A", "--line-length", "12"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(ReadFile(out), "Keywords: \r\nBirds, Two \r\nwords\r\n")) << ReadFile(out);
}

TEST_F(ExportCommandTest, EveryFormatExportsTheDemo) {
    std::string demo = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";
    for (const char* format : {"text", "rtf", "csv", "cardfile", "html"}) {
        std::string out = Target(std::string("demo.") + format);
        ProgramResult r = Export({demo, out, "--format", format});
        if (std::string(format) == "html" && Has(r.err, "not available")) continue;
        ASSERT_EQ(r.status, 0) << format << ": " << r.err;
        EXPECT_GT(std::filesystem::file_size(out), 1000u) << format;
    }
    std::string folder = Target("demo_folder");
    std::filesystem::create_directory(folder);
    ProgramResult r = Export({demo, folder, "--format", "rtf", "--separate-files"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_GT(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              10);
}

TEST_F(ExportCommandTest, UsageMistakesExitTwo) {
    std::string out = Target("x.txt");
    for (std::vector<std::string> args : {
             std::vector<std::string>{path_, out},
             {path_, out, "--format", "pdf"},
             {path_, out, "--format", "text", "--flags", "zz"},
             {path_, out, "--format", "text", "--flags", "1"},
             {path_, out, "--format", "text", "--sort", "size"},
             {path_, out, "--format", "text", "--range", "selected"},
             {path_, out, "--format", "csv", "--separate-files"},
             {path_, out, "--format", "html", "--html-type", "3"},
             {path_, "--format", "text"},
         }) {
        ProgramResult r = Export(args);
        EXPECT_EQ(r.status, 2) << args.back() << ": " << r.err;
        EXPECT_TRUE(Has(r.err, "usage: qbx export")) << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    ProgramResult help = Qbx({"--help"});
    EXPECT_TRUE(Has(help.out, "  export ")) << help.out;
}

TEST_F(ExportCommandTest, FailuresExitOneAndLeaveTheTargetAsItWas) {
    std::string out = dir_.Write("kept.txt", "an earlier export");
    std::string notData = dir_.Write("not.qbx", "this is not a data file at all, just some text");
    ProgramResult r = Export({notData, out, "--format", "text"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(out), "an earlier export");
    r = Export({path_, Target("missing/out.txt"), "--format", "text"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, Target("missing/out.txt"))) << r.err;
    r = Export({path_, Target("nowhere"), "--format", "text", "--separate-files"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Can not find this folder: " + Target("nowhere"))) << r.err;
    // Nothing but the files this test made.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                            std::filesystem::directory_iterator()),
              3);
}

}  // namespace
}  // namespace qb::testing

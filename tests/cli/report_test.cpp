// qbx report: each kind from the command line, the setup choices as
// options, private articles locked and unlocked, files on stdout and at
// --output, and the exit statuses.
#include <filesystem>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

class ReportCommandTest : public CliTest {
protected:
    ProgramResult Report(std::vector<std::string> args, RunOptions o = {}) {
        // A settings folder of its own: the built-in defaults.
        o.Env("HOME", dir_.Path()).Env("XDG_CONFIG_HOME", dir_.Path());
        args.insert(args.begin(), {"report", path_});
        return Qbx(args, o);
    }
    ProgramResult Unlocked(std::vector<std::string> args) {
        RunOptions o;
        o.Env("QBX_PASSWORD", nb::kPassword);
        return Report(std::move(args), o);
    }
};

TEST_F(ReportCommandTest, UsageCountsOnlyVisibleArticlesUntilUnlocked) {
    ProgramResult r = Report({"--kind", "usage"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "# of Articles\tKeyword\n3\t\tBirds\n1\t\tFungi\n0\t\tSecret\n2\t\tTrees\n"
              "1\t\tTwo words\n");
    r = Unlocked({"--kind", "usage", "--keyword", "Secret"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "# of Articles\tKeyword\n1\t\tSecret\n");
    // The cloud leaves a keyword out while its only article is hidden.
    r = Report({"--kind", "cloud"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(Has(r.out, "Secret")) << r.out;
    r = Unlocked({"--kind", "cloud"});
    EXPECT_TRUE(Has(r.out, "Secret")) << r.out;
    // The index report lists the private title only when unlocked.
    EXPECT_EQ(Report({"--kind", "index", "--keyword", "Secret"}).out, "Secret\n\n");
    EXPECT_EQ(Unlocked({"--kind", "index", "--keyword", "Secret"}).out,
              "Secret\n\tHidden diary\n\n");
}

TEST_F(ReportCommandTest, UsageRangeAndSortOptions) {
    ProgramResult r = Report({"--kind", "usage", "--at-least", "2", "--sort", "count-desc"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "# of Articles\tKeyword\n3\t\tBirds\n2\t\tTrees\n");
    // Equal counts stay in name order, whichever way the counts run.
    r = Report({"--kind", "usage", "--at-least", "1", "--no-more-than", "1", "--sort", "count"});
    EXPECT_EQ(r.out, "# of Articles\tKeyword\n1\t\tFungi\n1\t\tTwo words\n");
    r = Report(
        {"--kind", "usage", "--keyword", "Trees", "--keyword", "Birds", "--sort", "name-desc"});
    EXPECT_EQ(r.out, "# of Articles\tKeyword\n2\t\tTrees\n3\t\tBirds\n");
}

TEST_F(ReportCommandTest, IndexReportRangeAndDates) {
    ProgramResult r = Report({"--kind", "index", "--keyword", "Birds"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Birds\n\tOak and rook\n\tRobin\n\tWren\n\n");
    r = Report({"--kind", "index", "--keyword", "Birds", "--range", "bookmarked"});
    EXPECT_EQ(r.out, "Birds\n\tWren\n\n");
    r = Report({"--kind", "index", "--keyword", "Birds", "--keyword", "Trees", "--from",
                "2023-01-01", "--to", "2023-12-31"});
    EXPECT_EQ(r.out, "Birds\n\tRobin\n\tWren\n\nTrees\n\tChanterelle\n\n");
}

TEST_F(ReportCommandTest, GroupReportAndFilesAtOutputOrOnStdout) {
    qbw::FileBuilder b = Notebook();
    b.SetRecord(3, 0, qbw::EncodeGroup("Nature", {nb::kTrees, nb::kBirds}));
    b.SetRecord(3, 1, qbw::EncodeGroup("Nothing", {}));
    path_ = dir_.Write("groups.qbx", b.Build());
    ProgramResult r = Report({"--kind", "groups"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Nature\n\t[2 keywords]\n\t\tBirds\n\t\tTrees\n\nNothing\n\t[0 keywords]\n\n");

    std::string txt = dir_ / "groups.txt";
    r = Report({"--kind", "groups", "--output", txt});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(ReadFile(txt), "Nature\r\n\t[2 keywords]\r\n\t\tBirds\r\n")) << ReadFile(txt);
    r = Report({"--kind", "groups", "--format", "html"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "<a name=\"Group2\"><h3>Nothing</h3></a>")) << r.out;
    r = Report({"--kind", "usage", "--format", "rtf"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\\rtf1", 0), 0u) << r.out;
}

TEST_F(ReportCommandTest, MistakesAndFailuresGiveTheirStatus) {
    EXPECT_EQ(Report({}).status, 2);  // --kind is required
    EXPECT_EQ(Report({"--kind", "pie"}).status, 2);
    EXPECT_EQ(Report({"--kind", "usage", "--format", "pdf"}).status, 2);
    EXPECT_EQ(Report({"--kind", "groups", "--keyword", "Birds"}).status, 2);
    EXPECT_EQ(Report({"--kind", "usage", "--range", "bookmarked"}).status, 2);
    EXPECT_EQ(Report({"--kind", "index", "--at-least", "2"}).status, 2);
    EXPECT_EQ(Report({"--kind", "usage", "--at-least", "-1"}).status, 2);
    EXPECT_EQ(Report({"--kind", "index", "--from", "not a date"}).status, 2);
    ProgramResult r = Report({"--kind", "usage", "--keyword", "Mosses"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Mosses")) << r.err;
    // A target that cannot be written: status 1, the path named, nothing left.
    std::string bad = dir_ / "missing/r.txt";
    r = Report({"--kind", "usage", "--output", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, bad)) << r.err;
    EXPECT_FALSE(std::filesystem::exists(bad));
    r = Qbx({"report", (dir_ / "absent.qbx"), "--kind", "usage"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(Qbx({"report", "--help"}).out, "--no-more-than"));
}

}  // namespace
}  // namespace qb::testing

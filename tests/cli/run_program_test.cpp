// The helper that runs programs for these tests: stdin, environment,
// separate streams, exit status and the deadline.
#include <chrono>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

TEST(RunProgram, InputEnvironmentAndStreams) {
    ProgramResult r = RunProgram("/bin/cat", {}, RunOptions().Input(std::string("a\0b\n", 4)));
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, std::string("a\0b\n", 4));

    ::setenv("QB_RUN_PROGRAM_PROBE", "parent", 1);
    r = RunProgram("/usr/bin/env", {},
                   RunOptions().Env("QB_ONLY_CHILD", "x y").Unset("QB_RUN_PROGRAM_PROBE"));
    ::unsetenv("QB_RUN_PROGRAM_PROBE");
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\nQB_ONLY_CHILD=x y\n") || r.out.rfind("QB_ONLY_CHILD=x y\n", 0) == 0)
        << r;
    EXPECT_FALSE(Has(r.out, "QB_RUN_PROGRAM_PROBE")) << r;

    r = RunProgram("/bin/ls", {"/nonexistent-folder"});
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(RunProgram("/nonexistent/program", {}).status, 127);
}

TEST(RunProgram, AHangIsKilledAtTheDeadline) {
    auto start = std::chrono::steady_clock::now();
    RunOptions o;
    o.timeout = std::chrono::milliseconds(200);
    ProgramResult r = RunProgram("/bin/sleep", {"30"}, o);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(r.timedOut);
    EXPECT_EQ(r.status, -1);
    EXPECT_LT(took, std::chrono::seconds(10));

    // A program waiting on stdin gets end of input, not a blocked terminal.
    r = RunProgram("/bin/cat", {}, o);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.status, 0);
}

}  // namespace
}  // namespace qb::testing

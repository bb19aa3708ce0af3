// qbx query and qbx saved: results and captions, compile errors with their
// positions, date bounds read in the user's locale, listing and running
// saved queries.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

using QueryTest = CliTest;

TEST_F(QueryTest, PrintsTheQueryCaptionAndRows) {
    ProgramResult r = Qbx({"query", path_, "Birds AND NOT Trees"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 4)\n4/5/2023\tRobin\n4/5/2023\tWren\n");

    r = Qbx({"query", path_, "\"Two words\" OR ATTACHMENTS", "--sort", "3"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 4)\n4/5/2023\tWren\n1/10/2022\tOak and rook\n");

    // Private articles stay out of NOT and of keywords until unlocked.
    r = Qbx({"query", path_, "NOT Birds"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (1 of 4)\n10/15/2023\tChanterelle\n");
    r = Qbx({"query", path_, "NOT Birds", "--password-stdin"}, RunOptions().Input("pw\n"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 5)\n10/15/2023\tChanterelle\n1/1/2024\tHidden diary\n");

    // Trailing white space is not part of the expression.
    r = Qbx({"query", path_, "Fungi \t "});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (1 of 4)\n10/15/2023\tChanterelle\n");
}

TEST_F(QueryTest, CompileErrorsGiveTheMessageAndPositions) {
    struct Case {
        const char* expression;
        const char* message;
        const char* at;
    };
    const Case cases[] = {
        {"Birds AND", "The query expression is incomplete.", "at 9-9"},
        {"Birds Trees", "Expecting an AND or OR operator.", "at 6-11"},
        {"Gone", "This keyword is not in the current data file.", "at 0-4"},
        {") Birds", "Expecting a keyword or keyword group instead of a ')'.", "at 0-1"},
        {"(Birds OR Fungi", "Expecting a ')'.", "at 15-15"},
        {"Birds AND OR Fungi", "Expecting a keyword or keyword group instead of an OR.",
         "at 10-12"},
        {"Two words", "This keyword is not in the current data file.", "at 0-3"},
    };
    for (const Case& c : cases) {
        ProgramResult r = Qbx({"query", path_, c.expression});
        EXPECT_EQ(r.status, 1) << c.expression << "\n" << r;
        EXPECT_TRUE(r.out.empty()) << c.expression;
        size_t message = r.err.find(c.message);
        EXPECT_NE(message, std::string::npos) << c.expression << "\n" << r;
        // The position comes after the message, on a line of its own.
        EXPECT_TRUE(Has(r.err, std::string(c.message) + "\n" + c.at + "\n")) << c.expression << "\n"
                                                                             << r;
    }
}

TEST_F(QueryTest, DatesAreReadInTheUsersLocale) {
    ProgramResult r = Qbx({"query", path_, "Birds", "--from", "1/1/23", "--to", "12/31/23"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 4)\n4/5/2023\tRobin\n4/5/2023\tWren\n");

    // Bounds are inclusive; only one of them may be given.
    r = Qbx({"query", path_, "Birds OR Trees", "--to", "4/5/2023"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "Query Titles (3 of 4)\n")) << r;
    r = Qbx({"query", path_, "Birds", "--from", "4/6/23"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (0 of 4)\n");

    // A range whose start lies after its end lists nothing.
    r = Qbx({"query", path_, "Birds", "--from", "12/31/23", "--to", "1/1/23"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (0 of 4)\n");

    // Day first in a German locale: the same text is invalid in the POSIX one.
    RunOptions german = RunOptions().Env("LC_ALL", "de_DE.UTF-8");
    r = Qbx({"query", path_, "Birds", "--from", "31.12.2022", "--to", "5.4.2023"}, german);
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 4)\n05.04.2023\tRobin\n05.04.2023\tWren\n");

    r = Qbx({"query", path_, "Birds", "--from", "31.12.2022"});
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(Has(r.err,
                    "error: Invalid date. Please enter dates in the following format: M/D/YY or "
                    "YYYY-MM-DD\n"))
        << r;
    r = Qbx({"query", path_, "Birds", "--to", "2/30/2021"});
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(Has(r.err, "Invalid date.")) << r;
    r = Qbx({"query", path_, "Birds", "--to", "30.2.2021"}, german);
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(Has(r.err,
                    "error: Invalid date. Please enter dates in the following format: DD.MM.YY or "
                    "YYYY-MM-DD\n"))
        << r;
    // Words are no dates; ISO dates are read in every locale.
    r = Qbx({"query", path_, "Birds", "--from", "foo"});
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(Has(r.err, "Invalid date.")) << r;
    r = Qbx({"query", path_, "Birds", "--from", "2022-12-31", "--to", "2023-04-05"}, german);
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 4)\n05.04.2023\tRobin\n05.04.2023\tWren\n");
}

TEST_F(QueryTest, UsageErrors) {
    EXPECT_EQ(Qbx({"query", path_}).status, 2);
    EXPECT_EQ(Qbx({"query", path_, "   "}).status, 2);  // nothing to run
    EXPECT_EQ(Qbx({"query", path_, "Birds", "Trees"}).status, 2);
    EXPECT_EQ(Qbx({"query", path_, "Birds", "--from"}).status, 2);
    // A misspelt option after the file is not taken for the expression.
    ProgramResult r = Qbx({"query", path_, "--form", "1/1/23", "Birds"});
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(Has(r.err, "unknown option '--form'")) << r;
}

using SavedTest = CliTest;

TEST_F(SavedTest, ListsTheQueriesAndTheRunMenu) {
    ProgramResult r = Qbx({"saved", path_});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out,
              "Birds only\tBirds AND NOT Trees\t\t\n"
              "Year 2023\tBirds OR Fungi\t1/1/2023\t12/31/2023\n"
              "Broken\tGone AND Birds\t\t\n"
              "Run Saved Query:\n"
              "  Year 2023\n"
              "  Birds only\n"
              "  ----\n"
              "  More Queries...\n");
}

TEST_F(SavedTest, RunsOneByName) {
    ProgramResult r = Qbx({"saved", path_, "Birds only"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Query Titles (2 of 4)\n4/5/2023\tRobin\n4/5/2023\tWren\n");

    // The stored dates apply; names match without regard to case.
    r = Qbx({"saved", path_, "year 2023", "--sort", "2"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out,
              "Query Titles (3 of 4)\n4/5/2023\tRobin\n4/5/2023\tWren\n10/15/2023\tChanterelle\n");

    // The same query typed in gives the same list.
    ProgramResult typed = Qbx(
        {"query", path_, "Birds OR Fungi", "--from", "1/1/23", "--to", "12/31/23", "--sort", "2"});
    EXPECT_EQ(typed.out, r.out);
}

TEST_F(SavedTest, QueryNamingAMissingKeywordOrMissingQuery) {
    ProgramResult r = Qbx({"saved", path_, "Broken"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(Has(r.err, "error: " + path_ +
                               ": Problems were found in the saved query. Possibly deleted "
                               "keywords or keyword groups are included in the query."))
        << r;

    r = Qbx({"saved", path_, "Nothing like it"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "Nothing like it")) << r;
    EXPECT_EQ(Qbx({"saved", path_, "Birds only", "Broken"}).status, 2);
}

TEST_F(SavedTest, PasswordRevealsPrivateResults) {
    std::string asks = dir_.Write("asks.qbx", Notebook(1).Build());
    ProgramResult r = Qbx({"saved", asks, "Year 2023"});
    EXPECT_EQ(r.status, 1) << r;
    r = Qbx({"saved", asks, "Year 2023"}, RunOptions().Env("QBX_PASSWORD", "pw"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "Query Titles (3 of 5)\n")) << r;
}

}  // namespace
}  // namespace qb::testing

// qbx titles: the caption and rows for the default list, the orders, the
// Show options, keyword selection by AND and OR, the Index list in both
// index modes, and the password options.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

using TitlesTest = CliTest;

TEST_F(TitlesTest, WithoutASelectionAllVisibleTitlesAreListedByTitle) {
    ProgramResult r = Qbx({"titles", path_});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out,
              "All Titles (4 of 4)\n"
              "10/15/2023\tChanterelle\n"
              "1/10/2022\tOak and rook\n"
              "4/5/2023\tRobin\n"
              "4/5/2023\tWren\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(TitlesTest, SortOrders) {
    auto rows = [&](const std::string& order) {
        ProgramResult r = Qbx({"titles", path_, "--sort", order});
        EXPECT_EQ(r.status, 0) << r;
        return r.out.substr(r.out.find('\n') + 1);
    };
    EXPECT_EQ(
        rows("1"),
        "4/5/2023\tWren\n4/5/2023\tRobin\n1/10/2022\tOak and rook\n10/15/2023\tChanterelle\n");
    // Equal dates fall back to the title, ascending in both date orders.
    EXPECT_EQ(
        rows("2"),
        "1/10/2022\tOak and rook\n4/5/2023\tRobin\n4/5/2023\tWren\n10/15/2023\tChanterelle\n");
    EXPECT_EQ(
        rows("3"),
        "10/15/2023\tChanterelle\n4/5/2023\tRobin\n4/5/2023\tWren\n1/10/2022\tOak and rook\n");
    EXPECT_EQ(
        rows("4"),
        "4/5/2023\tWren\n10/15/2023\tChanterelle\n1/10/2022\tOak and rook\n4/5/2023\tRobin\n");
    EXPECT_EQ(
        rows("6"),
        "1/10/2022\tOak and rook\n10/15/2023\tChanterelle\n4/5/2023\tRobin\n4/5/2023\tWren\n");

    for (const char* bad : {"12", "-1", "x", "", "011"}) {
        ProgramResult r = Qbx({"titles", path_, "--sort", bad});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_TRUE(Has(r.err, "--sort takes 0 to 11")) << r;
    }
    EXPECT_EQ(Qbx({"titles", path_, "--sort"}).status, 2);
}

TEST_F(TitlesTest, BookmarksAndAttachments) {
    ProgramResult r = Qbx({"titles", path_, "--bookmarked"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Bookmarked Titles (1 of 4)\n4/5/2023\tWren\n");
    r = Qbx({"titles", "--attachments", path_});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Articles with Attachments (1 of 4)\n1/10/2022\tOak and rook\n");

    EXPECT_EQ(Qbx({"titles", path_, "--bookmarked", "--attachments"}).status, 2);
    // A keyword would start afresh from its own articles and drop the option.
    r = Qbx({"titles", path_, "--bookmarked", "--keyword", "Birds"});
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(TitlesTest, KeywordsAreCombinedByAndOrByOr) {
    ProgramResult r = Qbx({"titles", path_, "--keyword", "Birds", "--keyword", "Trees"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Selected Titles (1 of 4)\n1/10/2022\tOak and rook\n");

    r = Qbx({"titles", path_, "--keyword", "Birds", "--keyword", "Trees", "--or"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "Selected Titles (4 of 4)\n")) << r;

    // Names are matched without regard to case and may hold spaces.
    r = Qbx({"titles", path_, "--keyword", "two WORDS"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Selected Titles (1 of 4)\n4/5/2023\tWren\n");

    r = Qbx({"titles", path_, "--keyword", "Fungi", "--keyword", "Wren"});
    EXPECT_EQ(r.status, 1) << r;  // Wren is a title, not a keyword
    EXPECT_TRUE(Has(r.err, "This keyword is not in the current data file.")) << r;
    EXPECT_TRUE(Has(r.err, "Wren")) << r;
    EXPECT_TRUE(r.out.empty());

    // No shared article: an empty list, still a success.
    r = Qbx({"titles", path_, "--keyword", "Fungi", "--keyword", "Two words"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Selected Titles (0 of 4)\n");
}

TEST_F(TitlesTest, IndexListInAllAndRelatedModes) {
    ProgramResult r = Qbx({"titles", path_, "--keyword", "Fungi", "--index"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\nIndex (All)\nBirds\nSecret\nTrees\nTwo words\n")) << r;

    r = Qbx({"titles", path_, "--keyword", "Fungi", "--index", "--related"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\nIndex (Related)\nTrees\n")) << r;
    EXPECT_FALSE(Has(r.out, "Birds")) << r;

    // OR mode always offers every keyword that is not selected.
    r = Qbx({"titles", path_, "--keyword", "Fungi", "--or", "--index", "--related"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\nIndex (All)\nBirds\nSecret\nTrees\nTwo words\n")) << r;

    // Related to all titles: a keyword carried only by a hidden private
    // article is not offered until the password is given.
    r = Qbx({"titles", path_, "--index", "--related"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\nIndex (Related)\nBirds\nFungi\nTrees\nTwo words\n")) << r;
    r = Qbx({"titles", path_, "--index", "--related"}, RunOptions().Env("QBX_PASSWORD", "pw"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "\nIndex (Related)\nBirds\nFungi\nSecret\nTrees\nTwo words\n")) << r;
}

TEST_F(TitlesTest, GivenPasswordRevealsPrivateTitles) {
    ProgramResult locked = Qbx({"titles", path_, "--keyword", "Secret"});
    ASSERT_EQ(locked.status, 0) << locked;
    EXPECT_EQ(locked.out, "Selected Titles (0 of 4)\n");

    ProgramResult r = Qbx({"titles", "--password-stdin", path_, "--keyword", "Secret"},
                          RunOptions().Input("pw\n"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Selected Titles (1 of 5)\n1/1/2024\tHidden diary\n");

    r = Qbx({"titles", path_}, RunOptions().Env("QBX_PASSWORD", "pw"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "All Titles (5 of 5)\n")) << r;
    EXPECT_TRUE(Has(r.out, "\tHidden diary\n")) << r;

    r = Qbx({"titles", path_}, RunOptions().Env("QBX_PASSWORD", "PW"));
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "error: The entered password is invalid for the file: " + path_ + "\n"))
        << r;
    EXPECT_TRUE(r.out.empty());

    // Never from the command line.
    EXPECT_EQ(Qbx({"titles", "--password", "pw", path_}).status, 2);
    EXPECT_EQ(Qbx({"titles", "--password=pw", path_}).status, 2);
}

TEST_F(TitlesTest, FileAskingAtOpenNeedsItsPassword) {
    std::string asks = dir_.Write("asks.qbx", Notebook(1).Build());
    ProgramResult r = Qbx({"titles", asks});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "error: The entered password is invalid for the file: " + asks + "\n"))
        << r;
    EXPECT_TRUE(r.out.empty());

    r = Qbx({"titles", asks, "--password-stdin"}, RunOptions().Input("pw\n"));
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "All Titles (5 of 5)\n")) << r;
}

TEST_F(TitlesTest, FilesThatCannotBeRead) {
    std::string missing = dir_.Path() + "/missing.qbx";
    ProgramResult r = Qbx({"titles", missing});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, missing)) << r;
    EXPECT_TRUE(r.out.empty());

    std::string bad = dir_.Write("bad.qbx", "QB" + std::string(100, '\x7f'));
    r = Qbx({"titles", bad});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(r.out.empty());

    EXPECT_EQ(Qbx({"titles"}).status, 2);
    EXPECT_EQ(Qbx({"titles", path_, path_}).status, 2);
}

}  // namespace
}  // namespace qb::testing

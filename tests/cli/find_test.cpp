// qbx find: the caption and rows, the options, dates alone, the bookmarked
// range, and the exit statuses for usage errors, bad dates and damaged data.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

using FindTest = CliTest;

TEST_F(FindTest, FindsInTitlesAndTexts) {
    ProgramResult r = Qbx({"find", path_, "ro"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Found Titles (2 of 4)\n1/10/2022\tOak and rook\n4/5/2023\tRobin\n");
    EXPECT_EQ(r.err, "");  // not a terminal: no progress line

    r = Qbx({"find", path_, "ro", "--word"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Found Titles (0 of 4)\n");
    EXPECT_TRUE(
        Has(r.err, "All of the articles have been searched. The search item was not found.\n"))
        << r;

    r = Qbx({"find", path_, "ROBIN"});
    EXPECT_EQ(r.out, "Found Titles (1 of 4)\n4/5/2023\tRobin\n");
    r = Qbx({"find", path_, "ROBIN", "--case"});
    EXPECT_EQ(r.out, "Found Titles (0 of 4)\n");
    // The private article stays hidden while the file is locked.
    r = Qbx({"find", path_, "diary"});
    EXPECT_EQ(r.out, "Found Titles (0 of 4)\n");
}

TEST_F(FindTest, WhereRangeAndDates) {
    for (const char* where : {"both", "text", "title"}) {
        ProgramResult r = Qbx({"find", path_, "wren", "--where", where});
        EXPECT_EQ(r.out, "Found Titles (1 of 4)\n4/5/2023\tWren\n") << where;
    }
    ProgramResult r = Qbx({"find", path_, "o", "--range", "bookmarked"});
    EXPECT_EQ(r.out, "Found Titles (0 of 4)\n");
    r = Qbx({"find", path_, "w", "--range", "bookmarked"});
    EXPECT_EQ(r.out, "Found Titles (1 of 4)\n4/5/2023\tWren\n");

    // An empty text with dates finds every article dated within them,
    // both bounds included.
    r = Qbx({"find", path_, "", "--from", "4/5/23", "--to", "10/15/23"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out,
              "Found Titles (3 of 4)\n10/15/2023\tChanterelle\n4/5/2023\tRobin\n4/5/2023\tWren\n");
    r = Qbx({"find", path_, "", "--from", "10/16/23", "--to", "4/5/23"});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, "Found Titles (0 of 4)\n");
    r = Qbx({"find", path_, "o", "--to", "1/10/22"});
    EXPECT_EQ(r.out, "Found Titles (1 of 4)\n1/10/2022\tOak and rook\n");
}

TEST_F(FindTest, UsageErrorsAndBadDatesExitWith2) {
    for (std::vector<std::string> args : {std::vector<std::string>{"find", path_},
                                          {"find", path_, ""},
                                          {"find", path_, "x", "--where", "body"},
                                          {"find", path_, "x", "--range", "selected"},
                                          {"find", path_, "x", "y"},
                                          {"find", path_, "x", "--from"}}) {
        ProgramResult r = Qbx(args);
        EXPECT_EQ(r.status, 2) << r;
        EXPECT_TRUE(r.out.empty()) << r;
    }
    ProgramResult r = Qbx({"find", path_, "x", "--to", "2/30/21"});
    EXPECT_EQ(r.status, 2) << r;
    EXPECT_TRUE(Has(r.err,
                    "error: Invalid date. Please enter dates in the following format: M/D/YY or "
                    "YYYY-MM-DD\n"))
        << r;
    EXPECT_TRUE(Has(r.err, "--to")) << r;
    EXPECT_EQ(Qbx({"find", path_, "x", "--from", "foo"}).status, 2);
    r = Qbx({"find", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "--where both|text|title")) << r;
}

TEST_F(FindTest, NoBookmarksAndUnreadableFilesExitWith1) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, TitledArticle("one"));
    std::string plain = dir_.Write("plain.qbx", b.Build());
    ProgramResult r = Qbx({"find", plain, "one", "--range", "bookmarked"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "There are no bookmarked titles.")) << r;
    EXPECT_EQ(Qbx({"find", dir_.Path() + "/missing.qbx", "x"}).status, 1);
}

TEST_F(FindTest, ADataFileErrorPrintsWhatWasFoundAsStopped) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, TitledArticle("wren one"));
    qbw::ArticleData bad;
    bad.title = "two";
    bad.flags = 0x40;  // the title list does not read the content
    bad.richText = "{\\rtf1 a content long enough to be compressed by the writer}";
    qbw::Encoder e;
    qbw::WriteArticleNew(e, bad);
    std::string bytes = e.Str();
    const qbw::BlobPlacement& content = e.Blobs().back();
    for (size_t i = 0; i < content.dataLength; ++i)
        bytes[content.dataOffset + i] = char(0x5A);
    b.SetRecord(1, 1, bytes);
    b.SetRecord(1, 2, TitledArticle("wren three"));
    std::string damaged = dir_.Write("damaged.qbx", b.Build());

    ProgramResult r = Qbx({"find", damaged, "wren"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_EQ(r.out, "Found Titles [Stopped] (1 of 3)\n\twren one\n");
    EXPECT_TRUE(Has(r.err, "corrupted")) << r;
}

}  // namespace
}  // namespace qb::testing

// qbx copy: the text and RTF of Copy Articles on stdout, in the order
// given, and its exit statuses.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

class CopyCommandTest : public CliTest {
protected:
    // A settings folder of its own: no Drives entries.
    RunOptions Isolated() {
        RunOptions o;
        o.Env("HOME", dir_.Path()).Env("XDG_CONFIG_HOME", dir_.Path());
        return o;
    }
};

TEST_F(CopyCommandTest, TextOfArticlesInTheOrderGiven) {
    ProgramResult r =
        Qbx({"copy", path_, std::to_string(nb::kRobin), std::to_string(nb::kWren)}, Isolated());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Robin\nDate: 4/5/2023\nKeywords: Birds\n\nRobin\n\n"
              "Wren\nDate: 4/5/2023\nKeywords: Birds, Two words\n\nWren\n\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CopyCommandTest, AttachmentLineAndSortedKeywords) {
    ProgramResult r = Qbx({"copy", path_, std::to_string(nb::kOak)}, Isolated());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\nAttachment: ")) << r.out;
    EXPECT_TRUE(Has(r.out, "oak.jpg\nKeywords: Birds, Trees\n\nOak and rook\n\n")) << r.out;
}

TEST_F(CopyCommandTest, RtfReadsAsRtfAndTheSameIdTwiceIsCopiedTwice) {
    ProgramResult r = Qbx({"copy", "--rtf", path_, "2", "2"}, Isolated());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\\rtf1", 0), 0u);
    size_t first = r.out.find("Chanterelle");
    ASSERT_NE(first, std::string::npos);
    // Title and content of each copy.
    size_t count = 0;
    for (size_t at = first; at != std::string::npos; at = r.out.find("Chanterelle", at + 1))
        ++count;
    EXPECT_EQ(count, 4u);
    EXPECT_FALSE(Has(r.out, "\n\nChanterelle\n"));  // not the text form
}

TEST_F(CopyCommandTest, UnknownOrPrivateIdAndUsageMistakesExit2) {
    ProgramResult r = Qbx({"copy", path_, "0", "99"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "99 is not an article"));
    EXPECT_EQ(r.out, "");  // nothing of the good ones either
    r = Qbx({"copy", path_, std::to_string(nb::kDiary)});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "private"));
    r = Qbx({"copy", "--password-stdin", path_, std::to_string(nb::kDiary)},
            RunOptions().Input(std::string(nb::kPassword) + "\n"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Hidden diary\n", 0), 0u);

    for (std::vector<std::string> args : {std::vector<std::string>{"copy", path_},
                                          {"copy", path_, "x1"},
                                          {"copy", path_, "-3"},
                                          {"copy", path_, "1", "99999999999"},
                                          {"copy", "--bogus", path_, "1"},
                                          {"copy"}})
        EXPECT_EQ(Qbx(args).status, 2) << args.back();
    r = Qbx({"copy", "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(Has(r.out, "--rtf"));
    EXPECT_TRUE(Has(Qbx({"--help"}).out, "copy"));
}

TEST_F(CopyCommandTest, DataFileErrorsExit1) {
    EXPECT_EQ(Qbx({"copy", dir_.Path() + "/missing.qbx", "0"}).status, 1);
    // An article record that claims a link list it does not hold.
    qbw::ArticleData d;
    d.level = 5;
    qbw::Encoder e;
    qbw::WriteArticleNew(e, d);
    e.Int32(0x7FFFFFFF);
    std::string bytes = e.Str();
    bytes[10] = 6;
    qbw::FileBuilder b;
    b.SetRecord(1, 0, TitledArticle("fine"));
    b.SetRecord(1, 1, bytes);
    std::string damaged = dir_.Write("damaged.qbx", b.Build());
    ProgramResult r = Qbx({"copy", damaged, "0", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
}

}  // namespace
}  // namespace qb::testing

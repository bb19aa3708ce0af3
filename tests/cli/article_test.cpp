// qbx article: the article as the window shows it, text and JSON, the
// password rules and the exit statuses.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

class ArticleCommandTest : public CliTest {};

TEST_F(ArticleCommandTest, TextShowsTitleKeywordsAttachmentAndContent) {
    // A settings folder of its own: no Drives entries.
    RunOptions o;
    o.Env("HOME", dir_.Path()).Env("XDG_CONFIG_HOME", dir_.Path());
    ProgramResult r = Qbx({"article", path_, std::to_string(nb::kOak)}, o);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Title: Oak and rook\n"));
    EXPECT_TRUE(Has(r.out, "Keyword: Birds\nKeyword: Trees\n"));
    // Without an attachments folder the path is rooted on drive C:, which
    // the test's (absent) Drives settings do not map.
    EXPECT_TRUE(Has(r.out, "Attachment: kind 1, /home/me/oak.jpg -> ")) << r.out;
    EXPECT_TRUE(Has(r.out, "(no Drives entry for C:)\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Bookmarked: no\n"));
    EXPECT_TRUE(Has(r.out, "\nOak and rook\n"));
}

TEST_F(ArticleCommandTest, JsonKeys) {
    ProgramResult r = Qbx({"article", "--json", path_, std::to_string(nb::kWren)});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* key : {"\"id\"", "\"title\"", "\"date\"", "\"time\"", "\"keywords\"",
                            "\"attachments\"", "\"attachmentTip\"", "\"links\"", "\"content\""})
        EXPECT_TRUE(Has(r.out, key)) << key;
    EXPECT_TRUE(Has(r.out, "\"bookmarked\": true") || Has(r.out, "\"bookmarked\":true"));
    EXPECT_TRUE(Has(r.out, "\"Two words\""));
}

TEST_F(ArticleCommandTest, NotAnArticleAndPrivateWhileLockedFail) {
    ProgramResult r = Qbx({"article", path_, "99"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "99 is not an article"));
    r = Qbx({"article", path_, std::to_string(nb::kDiary)});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "private"));
    r = Qbx({"article", "--password-stdin", path_, std::to_string(nb::kDiary)},
            RunOptions().Input(std::string(nb::kPassword) + "\n"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Title: Hidden diary"));
}

TEST_F(ArticleCommandTest, UsageMistakesExit2) {
    for (std::vector<std::string> args : {std::vector<std::string>{"article", path_},
                                          {"article", path_, "x1"},
                                          {"article", path_, "-3"},
                                          {"article", path_, "1", "2"},
                                          {"article", "--bogus", path_, "1"}})
        EXPECT_EQ(Qbx(args).status, 2) << args.back();
    EXPECT_EQ(Qbx({"article", "--help"}).status, 0);
}

TEST_F(ArticleCommandTest, DemoFileArticle) {
    ProgramResult r = Qbx({"article", QB_BINARY_DIR "/samples/demo.qbx", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Title: "));
    // The relative attachment lies beside the file, mapped to a Linux path.
    EXPECT_TRUE(Has(r.out, "-> " QB_BINARY_DIR "/samples/attachments/")) << r.out;
    r = Qbx({"article", "--json", QB_BINARY_DIR "/samples/demo.qbx", "0"});
    EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
}  // namespace qb::testing

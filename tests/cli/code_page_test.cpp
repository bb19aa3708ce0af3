// --code-page: the data file's text read in another Windows code page, as a
// command option and before the command, and the pages it refuses.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

// "Привет" in Windows-1251, and "Привет" and "ПРИВЕТ" in UTF-8.
const char kHello[] = "\xCF\xF0\xE8\xE2\xE5\xF2";
const char kHelloUtf8[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
const char kHelloUpperUtf8[] = "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2";

class CodePageTest : public CliTest {
protected:
    void SetUp() override {
        qbw::FileBuilder b;
        qbw::ArticleData a;
        a.title = kHello;
        a.articleDate = 20240305;
        a.keywordIds = {0};
        b.SetRecord(1, 0, qbw::EncodeArticleNew(a));
        b.SetRecord(0, 0, qbw::EncodeKeyword(kHello, {0}));
        path_ = dir_.Write("ru.qbx", b.Build());
    }
};

TEST_F(CodePageTest, A1251TitleReadsAsCyrillic) {
    ProgramResult r = Qbx({"titles", path_, "--code-page", "1251"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, std::string("All Titles (1 of 1)\n3/5/2024\t") + kHelloUtf8 + "\n");

    // Before the command, as a global option.
    r = Qbx({"--code-page", "1251", "titles", path_});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, kHelloUtf8)) << r;

    // Without it the bytes are Windows-1252 letters.
    r = Qbx({"titles", path_});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_FALSE(Has(r.out, kHelloUtf8)) << r;
    EXPECT_TRUE(Has(r.out, "\xC3\x8F\xC3\xB0")) << r;  // I diaeresis, eth
}

TEST_F(CodePageTest, TypedNamesAreEncodedInTheSamePage) {
    // A keyword typed in upper case finds the stored lower-case name only
    // when both are read as Cyrillic.
    ProgramResult r =
        Qbx({"titles", path_, "--code-page", "1251", "--keyword", kHelloUpperUtf8, "--index"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, std::string("3/5/2024\t") + kHelloUtf8 + "\n")) << r;
    r = Qbx({"query", path_, kHelloUpperUtf8, "--code-page", "1251"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "Query Titles (1 of 1)\n")) << r;
}

TEST_F(CodePageTest, UnsupportedPagesAreUsageErrors) {
    for (const char* page : {"932", "1259", "65001", "abc", "", "-1251", "1251x"}) {
        ProgramResult r = Qbx({"titles", path_, "--code-page", page});
        EXPECT_EQ(r.status, 2) << page << r;
        EXPECT_TRUE(Has(r.err, "not supported")) << page << r;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(Qbx({"titles", path_, "--code-page"}).status, 2);
    EXPECT_EQ(Qbx({"--code-page", "932", "titles", path_}).status, 2);
    EXPECT_EQ(Qbx({"--code-page", "1251"}).status, 2);
    ProgramResult help = Qbx({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(Has(help.out, "--code-page N")) << help;
}

TEST_F(CodePageTest, DumpAndKeywordsFollowTheOption) {
    ProgramResult r = Qbx({"dump", path_, "--code-page", "1251"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, kHelloUtf8)) << r;
    // The keyword list is written as the stored bytes, whatever the page.
    r = Qbx({"keywords", path_, "--code-page", "1251"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out, std::string(kHello) + "\r\n");
}

}  // namespace
}  // namespace qb::testing

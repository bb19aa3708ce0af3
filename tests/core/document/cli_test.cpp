// qbx info and qbx keywords, run as a program: the password rules, the
// keyword list bytes and the JSON counts.
#include "doc_fixture.h"
#include "resources/strings.h"
#include "support/run_program.h"

namespace qb::testing {
namespace {

bool Has(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

std::string PasswordFile(const TempDir& dir, int32_t flags) {
    qbw::Privacy p = qbw::MakePrivacy("pw", {}, {9, 9, 9});
    qbw::FileBuilder b;
    b.SetFlags(flags);
    b.SetRecord(1, 0, Article("open"));
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kPrivate;
    o.blobs.contentKey = p.contentKey;
    b.SetRecord(1, 1, Article("hidden", 0x0003, o));
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({1}));
    b.SetRecord(0, 0, Keyword("zeta")).SetRecord(0, 1, Keyword("Alpha"));
    return dir.Write(flags ? "asks.qbx" : "locked.qbx", b.Build());
}

TEST(QbxDocumentCommands, FileAskingAtOpenFailsWithoutTheRightPassword) {
    TempDir dir;
    std::string path = PasswordFile(dir, 1);
    for (const RunOptions& env : {RunOptions(), RunOptions().Env("QBX_PASSWORD", "PW")}) {
        ProgramResult r = RunQbx({"info", path}, env);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Has(r.err, FormatResource(1148, path))) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    std::string typed = "pw\n";
    ProgramResult r =
        RunQbx({"info", "--json", "--password-stdin", path}, RunOptions().Input(typed));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": true")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"visible\": 2")) << r.out;
}

TEST(QbxDocumentCommands, FileNotAskingOpensLockedAndAGivenPasswordUnlocks) {
    TempDir dir;
    std::string path = PasswordFile(dir, 0);
    ProgramResult r = RunQbx({"info", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Private articles shown: no\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Visible articles: 1\n")) << r.out;

    r = RunQbx({"info", path}, RunOptions().Env("QBX_PASSWORD", "pw"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Visible articles: 2\n")) << r.out;

    r = RunQbx({"info", path}, RunOptions().Env("QBX_PASSWORD", "nope"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, FormatResource(1148, path))) << r.err;
}

TEST(QbxDocumentCommands, KeywordsPrintsTheExportedBytes) {
    TempDir dir;
    std::string path = PasswordFile(dir, 0);
    ProgramResult r = RunQbx({"keywords", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Alpha\r\nzeta\r\n");
    EXPECT_EQ(RunQbx({"keywords", "--password", "x", path}).status, 2);
    EXPECT_EQ(RunQbx({"keywords", dir.Path() + "/none.qbx"}).status, 1);
}

TEST(QbxDocumentCommands, DumpFollowsTheSamePasswordRules) {
    TempDir dir;
    std::string asks = PasswordFile(dir, 1);
    ProgramResult r = RunQbx({"dump", asks});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, FormatResource(1148, asks))) << r.err;
    r = RunQbx({"dump", asks}, RunOptions().Env("QBX_PASSWORD", "pw"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": true")) << r.out;

    std::string locked = PasswordFile(dir, 0);
    r = RunQbx({"dump", locked});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": false")) << r.out;
}

}  // namespace
}  // namespace qb::testing

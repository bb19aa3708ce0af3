// qbx info and qbx keywords, run as a program: the password rules, the
// keyword list bytes and the JSON counts.
#include "cli_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

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

}  // namespace
}  // namespace qb::testing

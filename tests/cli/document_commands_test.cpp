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
        EXPECT_TRUE(
            Has(r.err, "error: The entered password is invalid for the file: " + path + "\n"))
            << r.err;
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
    EXPECT_TRUE(Has(r.err, "error: The entered password is invalid for the file: " + path + "\n"))
        << r.err;
}

TEST(QbxDocumentCommands, ErrorsAreOneLineNamingTheFile) {
    TempDir dir;
    std::string text = dir.Write("notes.txt", "Some words.\n");
    ProgramResult r = RunQbx({"info", text});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: This file is not a Quillbox data file: " + text + "\n");

    std::string cut = dir.Write("cut.qbx", std::string("QB\x2c\x01", 4) + std::string(20, '\0'));
    r = RunQbx({"keywords", cut});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "error: " + cut +
                         ": This file is truncated.  Quillbox Reader was unable to open this "
                         "file. Use the File->Compact option to attempt to fix the file.\n");

    // A message that does not name the file is given it.
    std::string path = PasswordFile(dir, 0);
    r = RunQbx({"query", path, "Nothing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              "error: " + path + ": This keyword is not in the current data file.");
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

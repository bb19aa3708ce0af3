// Export Keyword List: the sorted names in a text file, the proposed file
// name, and the writer's behaviour on failure.
#include <sys/stat.h>

#include <string>

#include "core/document/doc_fixture.h"
#include "export/keyword_list_export.h"
#include "export/plain_text_writer.h"

namespace qb::testing {
namespace {

TEST_F(DocTest, ExportKeywordListWritesSortedNamesWithCrLf) {
    auto b = WithKeywords({"beta", "Alpha", "", "gamma"});
    b.SetRecord(0, 4, Keyword("caf\xE9"));
    ASSERT_TRUE(Open(b, "list.qbx"));
    EXPECT_EQ(ProposedKeywordListName(*doc), "list");
    std::string target = dir.Path() + "/list.txt";
    ASSERT_TRUE(ExportKeywordList(*doc, target));
    EXPECT_EQ(ReadFile(target), "Alpha\r\nbeta\r\ncaf\xE9\r\ngamma\r\n");
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(DocTest, ExportKeywordListFailureIsReportedAndLeavesNoFile) {
    ASSERT_TRUE(Open(WithKeywords({"x"})));
    std::string target = dir.Path() + "/missing/list.txt";
    EXPECT_FALSE(ExportKeywordList(*doc, target));
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_NE(ui.LastText().find(target), std::string::npos);
    struct stat st;
    EXPECT_NE(::stat(target.c_str(), &st), 0);
}

TEST(PlainTextWriterTest, AbortRemovesThePartialFileAndWritingAfterwardsFails) {
    TempDir dir;
    std::string p = dir.Path() + "/part.txt";
    {
        PlainTextWriter w;
        w.Create(p);
        w.WriteLine("half");
        w.Abort();
        EXPECT_THROW(w.Write("more"), CQuillError);
    }
    struct stat st;
    EXPECT_NE(::stat(p.c_str(), &st), 0);
    {
        PlainTextWriter w;
        w.Create(p);
        w.WriteLine("kept");
    }  // destroyed unclosed: nothing half-written is left
    EXPECT_NE(::stat(p.c_str(), &st), 0);
}

TEST(PlainTextWriterTest, FullDiskIsAnErrorNotASuccess) {
    struct stat st;
    if (::stat("/dev/full", &st) != 0) GTEST_SKIP() << "no /dev/full";
    PlainTextWriter w;
    w.Create("/dev/full");
    w.WriteLine("text");
    EXPECT_THROW(w.Close(), CQuillError);
}

TEST_F(DocTest, ProposedNameDropsOnlyShortExtensions) {
    ASSERT_TRUE(Open(WithKeywords({"x"}), "my.notes.qbx"));
    EXPECT_EQ(ProposedKeywordListName(*doc), "my.notes");
    ASSERT_TRUE(Open(WithKeywords({"x"}), "archive.longext"));
    EXPECT_EQ(ProposedKeywordListName(*doc), "archive.longext");
}

}  // namespace
}  // namespace qb::testing

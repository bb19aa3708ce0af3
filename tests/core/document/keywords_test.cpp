// Name look-ups and ordering, the keyword list export and the File
// Properties values.
#include <sys/stat.h>

#include <cstring>

#include "datafile/cp1252.h"
#include "doc_fixture.h"
#include "export/plain_text_writer.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

using ::testing::ElementsAre;

qbw::FileBuilder WithKeywords(const std::vector<std::string>& names) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, Article("A"));
    for (size_t i = 0; i < names.size(); ++i)
        b.SetRecord(0, int32_t(i), Keyword(names[i]));
    return b;
}

TEST_F(DocTest, FindKeywordIgnoresCaseButNotAccents) {
    ASSERT_TRUE(Open(WithKeywords({"Birds", "Animals", "Caf\xE9", "ANIMALS"})));
    EXPECT_EQ(doc->FindKeyword("animals"), 1) << "the first match wins";
    EXPECT_EQ(doc->FindKeyword("ANIMALS"), 1);
    EXPECT_EQ(doc->FindKeyword("CAF\xC9"), 2);
    EXPECT_EQ(doc->FindKeyword("cafe"), NIL_BLOCK);
    EXPECT_EQ(doc->FindKeyword(""), NIL_BLOCK);
    EXPECT_EQ(doc->FindKeyword("Animal"), NIL_BLOCK);
    EXPECT_EQ(doc->FindGroup("animals"), NIL_BLOCK);
}

TEST_F(DocTest, SortKeywordsByNamePutsLowerCaseAndPlainLettersFirst) {
    //                         0      1     2     3         4      5      6
    ASSERT_TRUE(Open(WithKeywords({"b", "B", "a", "\xE9t\xE9", "A", "et", "Zoo"})));
    std::vector<int32_t> ids{0, 1, 2, 3, 4, 5, 6};
    doc->SortKeywordsByName(ids);
    EXPECT_THAT(ids, ElementsAre(2, 4, 0, 1, 5, 3, 6));
}

TEST_F(DocTest, SortKeywordsByNameKeepsTheOrderOfEqualNames) {
    ASSERT_TRUE(Open(WithKeywords({"same", "alpha", "same", "same", "beta"})));
    IdSet all;
    doc->AllKeywords(all);
    EXPECT_THAT(doc->SortKeywordsByName(all), ElementsAre(1, 4, 0, 2, 3));
    std::vector<int32_t> reversed{3, 2, 0};
    doc->SortKeywordsByName(reversed);
    EXPECT_THAT(reversed, ElementsAre(3, 2, 0));
}

TEST_F(DocTest, ExportKeywordListWritesSortedNamesWithCrLf) {
    auto b = WithKeywords({"beta", "Alpha", "", "gamma"});
    b.SetRecord(0, 4, Keyword("caf\xE9"));
    ASSERT_TRUE(Open(b, "list.qbx"));
    EXPECT_EQ(doc->ProposedKeywordListName(), "list");
    std::string target = dir.Path() + "/list.txt";
    ASSERT_TRUE(doc->ExportKeywordList(target));
    EXPECT_EQ(ReadFile(target), "Alpha\r\nbeta\r\ncaf\xE9\r\ngamma\r\n");
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(DocTest, ExportKeywordListFailureIsReportedAndLeavesNoFile) {
    ASSERT_TRUE(Open(WithKeywords({"x"})));
    std::string target = dir.Path() + "/missing/list.txt";
    EXPECT_FALSE(doc->ExportKeywordList(target));
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
    EXPECT_EQ(doc->ProposedKeywordListName(), "my.notes");
    ASSERT_TRUE(Open(WithKeywords({"x"}), "archive.longext"));
    EXPECT_EQ(doc->ProposedKeywordListName(), "archive.longext");
}

TEST_F(DocTest, FilePropertiesHoldEveryValueThePagesShow) {
    qbw::FileSettingsData fs;
    fs.setting1 = 1;
    fs.setting2 = 0;
    fs.setting5 = 2;
    fs.text1 = "Notes \x96 mine";
    fs.text2 = "C:\\targets";
    fs.setting6 = 0;
    // 16-bit logical font: height -16, width, escapement, orientation, weight 700.
    int16_t head[5] = {-16, 0, 0, 0, 700};
    std::memcpy(fs.font.data(), head, sizeof head);
    fs.font[10] = 1;  // italic
    std::memcpy(fs.font.data() + 18, "Georgia", 7);
    auto b = WithKeywords({"a", "b", "c"});
    b.SetRecord(3, 0, qbw::EncodeGroup("G", {0}));
    b.SetFlags(2);
    b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(fs));
    b.SetStream(qbw::stream::kExportHeader, qbw::EncodeTextStream("Head\xE9r"));
    b.SetStream(qbw::stream::kPrivacy, qbw::MakePrivacy("p", {}, {}).stream);
    ui.QueuePassword("p");
    ASSERT_TRUE(Open(b));

    FileProperties p = doc->GetFileProperties();
    EXPECT_EQ(p.path, path);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(p.sizeBytes, st.st_size);
    EXPECT_EQ(p.sizeText, std::to_string(st.st_size));
    EXPECT_EQ(p.keywordCount, 3);
    EXPECT_EQ(p.groupCount, 1);
    EXPECT_EQ(p.exportHeader, "Head\xC3\xA9r");
    EXPECT_EQ(p.defaultFont, "Georgia, 12 pt, Bold, Italic");
    EXPECT_EQ(p.comments, "Notes \xE2\x80\x93 mine");
    EXPECT_TRUE(p.updateDatesToModified);
    EXPECT_FALSE(p.wordWrap);
    EXPECT_EQ(p.relativeLinkLocation, 2);
    EXPECT_EQ(p.relativeLinkPath, "C:\\targets");
    EXPECT_FALSE(p.fullPathNames);
    EXPECT_FALSE(p.passwordProtectAll);
    EXPECT_TRUE(p.requestPasswordAtStartup);
    EXPECT_TRUE(p.passwordSet);
    EXPECT_EQ(p.passwordButton, ResourceString(msg::kChangePassword));
}

TEST_F(DocTest, FilePropertiesWithoutOwnFontDescribeTheProgramFont) {
    ASSERT_TRUE(Open(WithKeywords({"a"})));
    FileProperties p = doc->GetFileProperties();
    EXPECT_EQ(p.defaultFont, "Arial, 9 pt");
    EXPECT_FALSE(p.passwordSet);
    EXPECT_EQ(p.passwordButton, ResourceString(msg::kSetPassword));
    EXPECT_TRUE(p.wordWrap);
    EXPECT_TRUE(p.fullPathNames);
}

}  // namespace
}  // namespace qb::testing

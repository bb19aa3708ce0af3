// The options' titles-only rule, the default names of the save dialog, the
// number prefix and the names of separate files.
#include <gtest/gtest.h>

#include "export/export_names.h"
#include "export/export_options.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

TEST(ExportOptionsTest, TitlesOnlyIgnoresHeaderAndNumbersOnly) {
    ExportOptions o;
    EXPECT_EQ(o.flags, 0x7B);
    EXPECT_FALSE(o.TitlesOnly());
    for (uint16_t f : {0x02, 0x03, 0x06, 0x07}) {
        o.flags = f;
        EXPECT_TRUE(o.TitlesOnly()) << f;
    }
    for (uint16_t f : {0x00, 0x01, 0x0A, 0x42, 0x12}) {
        o.flags = f;
        EXPECT_FALSE(o.TitlesOnly()) << f;
    }
    o.flags = 0x01;
    EXPECT_FALSE(o.ChoosesContent());
    o.flags = 0x05;
    EXPECT_TRUE(o.ChoosesContent());
}

TEST(ExportOptionsTest, FileTypesOfTheSaveAndFolderDialogs) {
    std::vector<ExportFileType> all = ExportFileTypes();
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].description, "Text Files (*.txt)");
    EXPECT_EQ(all[2].patterns, "*.htm;*.html");
    EXPECT_EQ(all[3].format, ExportFormat::kCardfile);
    EXPECT_EQ(all[4].format, ExportFormat::kCsv);
    std::vector<ExportFileType> folder = ExportFileTypes(true);
    ASSERT_EQ(folder.size(), 3u);
    EXPECT_EQ(folder[1].description, "Rich Text Format (*.rtf)");
}

TEST(ExportOptionsTest, DefaultNames) {
    EXPECT_EQ(DefaultExportName(ExportRange::kCurrent, "a/b:c*d", "/x/notes.qbx"), "a_b_c_d");
    EXPECT_EQ(DefaultExportName(ExportRange::kCurrent, "<?\\|>", "/x/notes.qbx"), "_____");
    EXPECT_EQ(DefaultExportName(ExportRange::kCurrent, std::string(100, 'x'), "/x/n.qbx").size(),
              80u);
    EXPECT_EQ(DefaultExportName(ExportRange::kCurrent, "", "/x/notes.qbx"), "notes");
    EXPECT_EQ(DefaultExportName(ExportRange::kAll, "Title", "/x/notes.qbx"), "notes");
    // Only an extension of up to three characters goes.
    EXPECT_EQ(DefaultExportName(ExportRange::kAll, "", "/x/notes.backup"), "notes.backup");
    EXPECT_EQ(DefaultExportName(ExportRange::kAll, "", "/x/my.notes.db"), "my.notes");
    EXPECT_EQ(DefaultExportName(ExportRange::kAll, "", "/x.y/notes"), "notes");
}

TEST(ExportOptionsTest, NumberPrefixIsAsWideAsTheCount) {
    EXPECT_EQ(NumberPrefix(7, 250), "  7. ");
    EXPECT_EQ(NumberPrefix(250, 250), "250. ");
    EXPECT_EQ(NumberPrefix(3, 9), "3. ");
    EXPECT_EQ(NumberPrefix(3, 10), " 3. ");
}

TEST(SeparateFileNamesTest, KeptText) {
    EXPECT_EQ(KeptNameText("My notes: 2020!"), "My_notes_2020_");
    EXPECT_EQ(KeptNameText("  ...start"), "start");
    EXPECT_EQ(KeptNameText("a-b_c"), "a-b_c");
    EXPECT_EQ(KeptNameText("caf\xE9 au lait"), "caf_au_lait");
    EXPECT_EQ(KeptNameText("?!."), "");
}

TEST(SeparateFileNamesTest, NamesAreNumberedUntilFreeWithoutRegardToCase) {
    TempDir dir;
    dir.Write("existing.htm", "");
    SeparateFileNames names(dir.Path() + "/");
    EXPECT_EQ(names.Folder(), dir.Path());
    EXPECT_EQ(names.Unique("Notes", ".htm"), dir / "Notes.htm");
    EXPECT_EQ(names.Unique("Notes", ".htm"), dir / "Notes1.htm");
    EXPECT_EQ(names.Unique("NOTES", ".htm"), dir / "NOTES2.htm");
    EXPECT_EQ(names.Unique("Notes", ".txt"), dir / "Notes.txt");
    // A file already in the folder is never replaced, whatever its case.
    EXPECT_EQ(names.Unique("EXISTING", ".htm"), dir / "EXISTING1.htm");
    EXPECT_EQ(names.Unique("!!", ".htm"), dir / ".htm");
    EXPECT_EQ(names.Unique("?", ".htm"), dir / "1.htm");
    EXPECT_EQ(names.Unique("", ".htm"), dir / "2.htm");
    // The contents file keeps its name; later articles avoid it.
    EXPECT_EQ(names.Fixed("toc", ".htm"), dir / "toc.htm");
    EXPECT_EQ(names.Unique("TOC", ".htm"), dir / "TOC1.htm");
    EXPECT_EQ(names.NameOnly(dir / "Notes1.htm"), "Notes1.htm");
}

TEST(SeparateFileNamesTest, LongTitlesAreCutToTheFolderBudget) {
    TempDir dir;
    SeparateFileNames names(dir.Path());
    std::string name = names.NameOnly(names.Unique(std::string(400, 'a'), ".txt"));
    EXPECT_EQ(name.size(), 240 - dir.Path().size() + 4);
    SeparateFileNames deep(std::string(250, 'd'));
    EXPECT_EQ(deep.NameOnly(deep.Unique("Title", ".txt")), ".txt");
}

}  // namespace
}  // namespace qb::testing

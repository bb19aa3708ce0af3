// No export leaves a half-written or lost file: the temporary file, failed
// and cancelled runs, and the missing target folder.
#include <sys/stat.h>

#include "export/export_file.h"
#include "export/plain_text_writer.h"
#include "export_fixture.h"
#include "support/quill_error_code.h"

namespace qb::testing {
namespace {

TEST(ExportFileTest, CommitReplacesTheTargetAndKeepsItsPermissions) {
    TempDir dir;
    std::string target = dir.Write("out.txt", "old");
    ::chmod(target.c_str(), 0640);
    {
        ExportFile file(target);
        EXPECT_NE(file.TempPath(), target);
        EXPECT_EQ(file.TempPath().rfind(dir.Path() + "/.", 0), 0u);
        PlainTextWriter w;
        w.Create(file.TempPath());
        w.Write("new");
        w.Close();
        EXPECT_EQ(ReadFile(target), "old");
        file.Commit();
    }
    EXPECT_EQ(ReadFile(target), "new");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(ExportFileTest, UncommittedFileIsRemovedAndTheTargetStays) {
    TempDir dir;
    std::string target = dir.Write("out.txt", "old");
    std::string temp;
    {
        ExportFile file(target);
        temp = file.TempPath();
        WriteFile(temp, "half");
    }
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(ReadFile(target), "old");
}

TEST(ExportFileTest, FailuresCarryTheTargetsPath) {
    TempDir dir;
    std::string missing = dir / "no/such/out.txt";
    EXPECT_THROW(
        {
            try {
                ExportFile file(missing);
            } catch (const CQuillError& e) {
                EXPECT_EQ(e.Path(), missing);
                throw;
            }
        },
        CQuillError);
    // A folder in the target's place cannot be replaced by a file.
    std::string folder = dir / "taken";
    std::filesystem::create_directory(folder);
    ExportFile file(folder);
    std::string temp = file.TempPath();
    EXPECT_THROW(file.Commit(), CQuillError);
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

size_t EntriesIn(const std::string& folder) {
    return size_t(std::distance(std::filesystem::directory_iterator(folder),
                                std::filesystem::directory_iterator()));
}

// A new file appears whole under its name at Commit, nothing of it before;
// it never replaces a file that took the name in the meantime.
TEST(ExportFileTest, ANewFileAppearsOnlyWholeAndReplacesNothing) {
    TempDir dir;
    const std::string target = dir / "note.md";
    {
        ExportFile file(target, ExportFile::TargetKind::kNew);
        file.Write("whole");
        EXPECT_FALSE(std::filesystem::exists(target));
        file.Commit();
        EXPECT_TRUE(file.Committed());
    }
    EXPECT_EQ(ReadFile(target), "whole");
    {
        ExportFile dropped(dir / "dropped.md", ExportFile::TargetKind::kNew);
        dropped.Write("half");
    }
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "an uncommitted file leaves nothing";

    const std::string taken = dir / "taken.md";
    ExportFile late(taken, ExportFile::TargetKind::kNew);
    late.Write("mine");
    WriteFile(taken, "someone else's");
    try {
        late.Commit();
        ADD_FAILURE() << "a file that took the name was replaced";
    } catch (const CQuillError& e) {
        EXPECT_EQ(e.Path(), taken);
    }
    EXPECT_EQ(ReadFile(taken), "someone else's");
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST_F(ExportTest, AFailedRunLeavesTheOldTargetIntact) {
    // The second article's record is damaged: the run fails half-way.
    // (its summary does not read the content, so the file opens).
    qbw::FileBuilder b;
    b.SetRecord(1, 0, Encode(Plain("good", "text")));
    qbw::ArticleData bad = Rich("two", "{\\rtf1 some longer content to compress well}");
    bad.flags = 0x40;
    qbw::Encoder e;
    qbw::WriteArticleNew(e, bad);
    std::string bytes = e.Str();
    const qbw::BlobPlacement& content = e.Blobs().back();
    for (size_t i = 0; i < content.dataLength; ++i)
        bytes[content.dataOffset + i] = char(0x5A);
    b.SetRecord(1, 1, bytes);
    ASSERT_TRUE(Open(b));
    for (ExportFormat f :
         {ExportFormat::kText, ExportFormat::kCsv, ExportFormat::kRtf, ExportFormat::kCardfile}) {
        std::string target = dir.Write("out", "previous export");
        ui.Reset();
        ExportResult r = Run(f, target);
        EXPECT_FALSE(r.Succeeded());
        EXPECT_NE(r.error, 0);
        ASSERT_EQ(ui.Count(), 1u) << int(f);
        EXPECT_EQ(ReadFile(target), "previous export") << int(f);
        EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out", "test.qbx"})) << int(f);
    }
}

// Cancels the second progress window (the writer's; the first is the
// sort's) once it has been given `afterTexts` texts.
struct CancellingUi : RecordingUi {
    int afterTexts = 2;
    int opened = 0;
    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
        cancelAfterTexts = opened++ == 1 ? afterTexts : 0;
        return RecordingUi::OpenProgress(caption);
    }
};

TEST_F(ExportTest, CancelRemovesTheTemporaryFileAndSaysSo) {
    OpenArticles({Plain("a", "1"), Plain("b", "2"), Plain("c", "3")});
    for (ExportFormat f :
         {ExportFormat::kText, ExportFormat::kCsv, ExportFormat::kRtf, ExportFormat::kCardfile}) {
        std::string target = dir.Write("out", "previous export");
        CancellingUi cancelling;
        ExportJob job(*doc, locale, cancelling, settings);
        ExportResult r = ExportArticles(job, target, f, false, ranges);
        EXPECT_EQ(r.outcome, ExportOutcome::kCancelled) << int(f);
        ASSERT_EQ(cancelling.progress.size(), 2u);
        EXPECT_FALSE(cancelling.progress[1]->open);
        EXPECT_EQ(cancelling.LastText(), "Export canceled.\nOutput file deleted.");
        EXPECT_EQ(ReadFile(target), "previous export") << int(f);
        EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out", "test.qbx"})) << int(f);
    }
}

TEST_F(ExportTest, CancelInAFolderKeepsTheFinishedFiles) {
    OpenArticles({Plain("a", "1"), Plain("b", "2"), Plain("c", "3")});
    std::string folder = dir / "folder";
    std::filesystem::create_directory(folder);
    CancellingUi cancelling;  // after the first article's text
    ExportJob job(*doc, locale, cancelling, settings);
    ExportResult r = ExportArticles(job, folder, ExportFormat::kText, true, ranges);
    EXPECT_EQ(r.outcome, ExportOutcome::kCancelled);
    EXPECT_EQ(Names(folder), std::vector<std::string>{"a.txt"});
}

TEST_F(ExportTest, MissingTargetFolder) {
    OpenArticles({Plain("a", "1")});
    std::string folder = dir / "gone";
    ExportResult r = Run(ExportFormat::kText, folder, true);
    EXPECT_EQ(r.error, err::kFolderNotFound);
    EXPECT_EQ(ui.LastText(), "Can not find this folder:\n" + folder);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace qb::testing

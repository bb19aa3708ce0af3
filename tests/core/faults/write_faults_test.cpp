// A write that fails at any point of an export or a settings save leaves
// the previous file exactly as it was and no temporary file behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "app/profile_store.h"
#include "core/export/export_fixture.h"
#include "fault_io.h"

namespace qb::testing {
namespace {

class WriteFaults : public ExportTest {
protected:
    void SetUp() override {
        std::vector<qbw::ArticleData> articles;
        for (int i = 0; i < 40; ++i)
            articles.push_back(Plain("Note " + std::to_string(i), std::string(5000, 'x')));
        OpenArticles(articles);
    }
    // Runs the export with write `n` failing (ENOSPC or EROFS by turns).
    ExportResult RunFailingWrite(long n, ExportFormat format, const std::string& target) {
        ui.messages.clear();
        FaultyIo io;
        io.failWrite = n;
        io.error = n % 2 ? ENOSPC : EROFS;
        ScopedFileIo scope(io);
        return Run(format, target);
    }
};

TEST_F(WriteFaults, AFailedWriteAnywhereKeepsTheOldExport) {
    struct Case {
        ExportFormat format;
        const char* name;
    };
    for (Case c : {Case{ExportFormat::kHtml, "html"}, Case{ExportFormat::kText, "text"},
                   Case{ExportFormat::kRtf, "rtf"}, Case{ExportFormat::kCsv, "csv"},
                   Case{ExportFormat::kCardfile, "cardfile"}}) {
        SCOPED_TRACE(c.name);
        TempDir out;
        std::string target = out / "notes.out";
        WriteFile(target, "the old export");
        long total = 0;
        {
            FaultyIo io;
            ScopedFileIo scope(io);
            ASSERT_TRUE(Run(c.format, target).Succeeded()) << ui.LastText();
            total = io.writes;
        }
        ASSERT_GT(total, 0);
        WriteFile(target, "the old export");
        for (long n = 0; n < total; ++n) {
            SCOPED_TRACE("failing write " + std::to_string(n));
            ExportResult r = RunFailingWrite(n, c.format, target);
            EXPECT_FALSE(r.Succeeded());
            EXPECT_GE(ui.Count(), 1u) << "the failure is said";
            EXPECT_EQ(ReadFile(target), "the old export");
            EXPECT_EQ(Names(out.Path()), std::vector<std::string>{"notes.out"});
        }
    }
}

// A notes folder: a failed write anywhere stops the run with one message;
// the notes already there are whole, none is half-written, no temporary
// file is left, the index (written last) is not there, and a file of the
// user's in the folder stays as it was.
TEST_F(WriteFaults, AFailedWriteAnywhereInANotesFolderLeavesOnlyWholeNotes) {
    const std::string folder = dir / "notes";
    std::filesystem::create_directory(folder);
    std::map<std::string, std::string> whole;
    long total = 0;
    {
        FaultyIo io;
        ScopedFileIo scope(io);
        ASSERT_TRUE(Run(ExportFormat::kMarkdown, folder).Succeeded()) << ui.LastText();
        total = io.writes;
    }
    for (const std::string& name : Names(folder))
        whole[name] = ReadFile(folder + "/" + name);
    ASSERT_EQ(whole.size(), 41u);
    ASSERT_GT(total, 40);
    for (long n = 0; n < total; ++n) {
        SCOPED_TRACE("failing write " + std::to_string(n));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        WriteFile(folder + "/mine.txt", "the user's own");
        ExportResult r = RunFailingWrite(n, ExportFormat::kMarkdown, folder);
        EXPECT_FALSE(r.Succeeded());
        EXPECT_EQ(ui.Count(), 1u) << "the failure is said once";
        EXPECT_EQ(ReadFile(folder + "/mine.txt"), "the user's own");
        for (const std::string& name : Names(folder)) {
            if (name == "mine.txt") continue;
            ASSERT_TRUE(whole.count(name)) << name << " is no note of the run";
            EXPECT_NE(name, "index.md");
            EXPECT_EQ(ReadFile(folder + "/" + name), whole[name]) << name;
        }
    }
}

TEST(SettingsWriteFaults, AFailedWriteKeepsTheOldSettings) {
    TempDir dir;
    std::string path = dir / "quillbox.ini";
    WriteFile(path, "[Quillbox]\nOld=1\n");
    for (long n = 0; n < 3; ++n) {
        ProfileStore store(path);
        ASSERT_TRUE(store.Load());
        std::string big(200000, 'v');  // several writes' worth
        store.WriteString("Quillbox", "Big", big);
        FaultyIo io;
        io.failWrite = n;
        io.error = ENOSPC;
        int reported = 0;
        store.SetErrorReporter([&](int, const std::string&) { ++reported; });
        bool saved = true;
        {
            ScopedFileIo scope(io);
            saved = store.Flush();
        }
        if (n < io.writes) {
            EXPECT_FALSE(saved);
            EXPECT_EQ(reported, 1);
            EXPECT_EQ(ReadFile(path), "[Quillbox]\nOld=1\n");
            size_t files = 0;
            for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
                (void)e;
                ++files;
            }
            EXPECT_EQ(files, 1u) << "no temporary file is left";
        }
    }
}

}  // namespace
}  // namespace qb::testing

#include "export/note_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "datafile/quill_error.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

size_t Entries(const std::string& folder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

// Files queued are all written, whole, by Drain or by the end of the
// writer, and memory stays bounded when far more is put than it queues.
TEST(NoteWriter, WritesEveryQueuedFileWhole) {
    TempDir dir;
    {
        NoteWriter w;
        for (int i = 0; i < 40; ++i)
            w.Put(dir / ("n" + std::to_string(i)),
                  std::string(size_t(1) << 20, char('a' + i % 26)));
        w.Drain();
        EXPECT_EQ(Entries(dir.Path()), 40u) << "no temporary file is left";
        w.Put(dir / "last", "z");
    }
    EXPECT_EQ(ReadFile(dir / "last"), "z");
    EXPECT_EQ(ReadFile(dir / "n27"), std::string(size_t(1) << 20, 'b'));
    EXPECT_EQ(Entries(dir.Path()), 41u);
}

// The first failure is thrown by the next Put or Drain, names its file,
// and nothing queued after it is written, then or at the end.
TEST(NoteWriter, AFailureStopsTheFilesAfterIt) {
    TempDir dir;
    const std::string bad = dir / "missing/n1";
    {
        NoteWriter w;
        w.Put(dir / "n0", "0");
        std::string thrownFor;
        try {
            w.Put(bad, "1");
            for (int i = 2; i < 50; ++i)
                w.Put(dir / ("n" + std::to_string(i)), std::to_string(i));
            w.Drain();
        } catch (const CQuillError& e) {
            thrownFor = e.Path();
        }
        EXPECT_EQ(thrownFor, bad);
        EXPECT_THROW(w.Drain(), CQuillError) << "the failure stays";
        EXPECT_THROW(w.Put(dir / "late", "x"), CQuillError);
    }
    EXPECT_EQ(ReadFile(dir / "n0"), "0");
    EXPECT_EQ(Entries(dir.Path()), 1u);
}

}  // namespace
}  // namespace qb::testing

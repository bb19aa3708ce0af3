// The data file is never written: the demo file, made read-only (0444) in a
// folder of the test's own, goes through every qbx command that reads it,
// locked and unlocked, and every export format; afterwards its bytes and
// modification time are those it had before.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

namespace fs = std::filesystem;

struct timespec ModificationTime(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mtim;
}

TEST(ReadOnlyDataFile, NoCommandChangesTheFile) {
    std::string demo = QB_BINARY_DIR "/samples/demo.qbx";
    if (!fs::exists(demo)) GTEST_SKIP() << "no demo file";
    TempDir dir, out;
    std::string file = dir / "demo.qbx";
    fs::copy_file(demo, file);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    std::string before = ReadFile(file);
    struct timespec mtime = ModificationTime(file);

    std::vector<std::vector<std::string>> runs = {
        {"info", file},         {"dump", file},
        {"keywords", file},     {"titles", file},
        {"article", file, "0"}, {"copy", "--rtf", file, "0", "1"},
        {"find", file, "the"},  {"query", file, "Birds or not Bees"},
        {"saved", file},
    };
    for (const char* format : {"html", "text", "rtf", "csv", "cardfile"})
        runs.push_back({"export", file, out / (std::string("all.") + format), "--format", format});
    runs.push_back({"export", file, out.Path(), "--format", "html", "--separate-files"});
    fs::create_directory(out / "md");
    runs.push_back({"export", file, out / "md", "--format", "markdown", "--include-private"});
    for (const auto& args : runs) {
        for (bool unlocked : {false, true}) {
            RunOptions o;
            if (unlocked) o.Env("QBX_PASSWORD", "demo");
            ProgramResult r = RunProgram(QB_BINARY_DIR "/bin/qbx", args, o);
            EXPECT_EQ(r.status, 0) << args[0] << ": " << r;
        }
    }
    EXPECT_TRUE(ReadFile(file) == before) << "the data file's bytes changed";
    struct timespec after = ModificationTime(file);
    EXPECT_EQ(after.tv_sec, mtime.tv_sec);
    EXPECT_EQ(after.tv_nsec, mtime.tv_nsec);
    // Nothing was written beside it either (no lock or backup files).
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace qb::testing

// Every kept input of the fuzz targets (the committed seeds and the inputs
// that once found a fault) goes through the same entry points in the normal
// builds, so that a fixed fault stays fixed without a fuzzing toolchain.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "support/run_program.h"
#include "support/temp_files.h"

namespace qbfuzz {
// Shows a target by its name in the test list.
void PrintTo(const Target& t, std::ostream* os) {
    *os << t.name;
}
}  // namespace qbfuzz

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    if (!fs::is_directory(dir)) return files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file() && e.path().filename().string()[0] != '.')
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Feed(const qbfuzz::Target& target, const std::vector<fs::path>& files) {
    for (const fs::path& p : files) {
        SCOPED_TRACE(p.string());
        std::string b = Bytes(p);
        EXPECT_EQ(target.run(reinterpret_cast<const uint8_t*>(b.data()), b.size()), 0);
    }
}

class FuzzInputs : public ::testing::TestWithParam<qbfuzz::Target> {};

TEST_P(FuzzInputs, KeptInputsRunCleanly) {
    const qbfuzz::Target& t = GetParam();
    fs::path root = QB_FUZZ_DIR;
    Feed(t, FilesIn(root / "corpus" / t.name));
    Feed(t, FilesIn(root / "regressions" / t.name));
}

INSTANTIATE_TEST_SUITE_P(AllTargets, FuzzInputs, ::testing::ValuesIn(qbfuzz::kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

// The generated seed files: every record form and the damaged copies.
TEST(FuzzSeeds, GeneratedDataFilesRunCleanly) {
    qb::testing::TempDir dir;
    qb::testing::ProgramResult r = qb::testing::RunProgram(QB_SEEDS_TOOL, {dir.Path()});
    ASSERT_EQ(r.status, 0) << r;
    std::vector<fs::path> seeds = FilesIn(dir.Path());
    EXPECT_GE(seeds.size(), 10u);
    Feed(qbfuzz::kTargets[0], seeds);
}

}  // namespace

// Hostile files of at most 1 MiB: every seed data file and RTF sample, as
// written and with bytes damaged at fixed pseudo-random places, is dumped
// and rendered by qbx under 256 MiB of address space and 2 s of CPU. Each
// run ends with status 0 or 1 (an error said), never a signal.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

namespace fs = std::filesystem;

// A sanitizer's shadow memory does not fit in 256 MiB of address space.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

ProgramResult Limited(const std::vector<std::string>& qbxArgs) {
    std::vector<std::string> args = {"--as=268435456", "--cpu=2", "--", QB_BINARY_DIR "/bin/qbx"};
    args.insert(args.end(), qbxArgs.begin(), qbxArgs.end());
    RunOptions o;
    o.timeout = std::chrono::seconds(20);
    o.Env("QBX_PASSWORD", "demo");
    return RunProgram("/usr/bin/prlimit", args, o);
}

// The file as written, and copies with a few bytes changed: lengths and
// counts turn huge, chains point anywhere.
std::vector<std::string> Variants(const std::string& bytes, unsigned seed, int copies) {
    std::vector<std::string> out = {bytes};
    if (bytes.empty()) return out;
    std::mt19937 random(seed);
    for (int v = 0; v < copies; ++v) {
        std::string b = bytes;
        int changes = 1 + v % 4;
        for (int c = 0; c < changes; ++c) {
            size_t at = random() % b.size();
            static const char kBytes[] = {'\xff', '\x7f', '\x00', '\x80', '{', '\\'};
            b[at] = (v % 3 == 0) ? char(random()) : kBytes[random() % sizeof kBytes];
        }
        out.push_back(std::move(b));
    }
    return out;
}

void ExpectCleanEnd(const ProgramResult& r, const std::string& what) {
    EXPECT_FALSE(r.timedOut) << what;
    EXPECT_EQ(r.signal, 0) << what << ": " << r.err.substr(0, 300);
    EXPECT_TRUE(r.status == 0 || r.status == 1) << what << ": " << r;
    if (r.status == 1) {
        EXPECT_FALSE(r.err.empty()) << what << ": an error is said";
    }
}

TEST(ResourceLimits, HostileDataFilesStayWithinLimits) {
    if (kSanitized || !fs::exists("/usr/bin/prlimit")) GTEST_SKIP() << "needs prlimit, no ASan";
    TempDir seeds, work;
    ASSERT_EQ(RunProgram(QB_BINARY_DIR "/bin/qbx-fuzz-seeds", {seeds.Path()}).status, 0);
    unsigned seed = 1;
    for (const auto& e : fs::directory_iterator(seeds.Path())) {
        std::string bytes = ReadFile(e.path().string());
        ASSERT_LE(bytes.size(), 1u << 20);
        int n = 0;
        for (const std::string& v : Variants(bytes, seed++, 5)) {
            std::string name = e.path().filename().string() + "." + std::to_string(n++);
            std::string file = work.Write(name, v);
            ExpectCleanEnd(Limited({"dump", file}), "dump " + name);
            fs::remove(file);
        }
    }
}

TEST(ResourceLimits, HostileRtfStaysWithinLimits) {
    if (kSanitized || !fs::exists("/usr/bin/prlimit")) GTEST_SKIP() << "needs prlimit, no ASan";
    TempDir work;
    std::vector<std::string> samples;
    for (const char* dir : {"/corpus/rtf", "/corpus/html", "/regressions/rtf"}) {
        fs::path d = std::string(QB_SOURCE_DIR) + "/fuzz" + dir;
        if (!fs::is_directory(d)) continue;
        for (const auto& e : fs::directory_iterator(d))
            samples.push_back(ReadFile(e.path()));
    }
    // Shapes that cost memory or time when handled carelessly.
    samples.push_back(std::string(1 << 20, '{'));
    samples.push_back("{\\rtf1 " + std::string(500000, '}') + "x");
    samples.push_back("{\\rtf1{\\pict\\bin2147483647 abc}}");
    samples.push_back("{\\rtf1\\fs999999999999 \\li-2147483648 \\u-99999999?" +
                      std::string(100000, 'a') + "}");
    std::string many = "{\\rtf1{\\colortbl";
    while (many.size() < (1 << 20) - 100)
        many += "\\red255\\green255\\blue255;";
    samples.push_back(many + "}}");
    std::string cells = "{\\rtf1\\trowd";
    while (cells.size() < (1 << 20) - 100)
        cells += "\\cellx99\\intbl x\\cell";
    samples.push_back(cells + "\\row}");
    unsigned seed = 100;
    int n = 0;
    for (const std::string& s : samples) {
        bool original = true;
        for (const std::string& v : Variants(s, seed++, 4)) {
            std::string file = work.Write("in" + std::to_string(n++) + ".rtf", v);
            // Every output of the sample itself; the damaged copies as JSON,
            // which walks every run and paragraph.
            for (const char* mode : {"--json", "--text", "--rtf"}) {
                ExpectCleanEnd(Limited({"rtf", mode, file}),
                               std::string("rtf ") + mode + " " + file);
                if (!original) break;
            }
            original = false;
            fs::remove(file);
        }
    }
}

}  // namespace
}  // namespace qb::testing

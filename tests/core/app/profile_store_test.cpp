#include "app/profile_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app_test_support.h"
#include "datafile/quill_error.h"

namespace qb {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(ProfileIntReading, TakesLeadingNumberElseZero) {
    EXPECT_EQ(ParseProfileInt("12"), 12);
    EXPECT_EQ(ParseProfileInt("05"), 5);
    EXPECT_EQ(ParseProfileInt("12abc"), 12);
    EXPECT_EQ(ParseProfileInt("abc"), 0);
    EXPECT_EQ(ParseProfileInt(""), 0);
    EXPECT_EQ(ParseProfileInt("  7"), 7);
    // Negative values (colours of -1, "never chosen") must survive a restart.
    EXPECT_EQ(ParseProfileInt("-1"), -1);
    EXPECT_EQ(ParseProfileInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseProfileInt("4294967295"), -1);  // a 32-bit word
    EXPECT_EQ(ParseProfileInt("99999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseProfileInt("0xFF0000"), 0xFF0000);
}

TEST(ProfileIntReading, CanonicalIntegersOnly) {
    EXPECT_TRUE(IsCanonicalInt("5"));
    EXPECT_TRUE(IsCanonicalInt("-12"));
    EXPECT_TRUE(IsCanonicalInt("0"));
    EXPECT_FALSE(IsCanonicalInt("05"));
    EXPECT_FALSE(IsCanonicalInt("+5"));
    EXPECT_FALSE(IsCanonicalInt(" 5"));
    EXPECT_FALSE(IsCanonicalInt("abc"));
    EXPECT_FALSE(IsCanonicalInt(""));
    EXPECT_FALSE(IsCanonicalInt("-0"));
    EXPECT_FALSE(IsCanonicalInt("2147483648"));
}

TEST(ProfileStoreLookup, SectionsAndKeysIgnoreCase) {
    ProfileStore s;
    s.LoadText("[Quillbox]\nWelcome=2\nName = some text \n");
    EXPECT_EQ(s.GetInt("QUILLBOX", "welcome", 1), 2);
    EXPECT_EQ(s.GetString("quillbox", "NAME", ""), "some text");
    EXPECT_EQ(s.GetInt("Quillbox", "Missing", 42), 42);
    EXPECT_EQ(s.GetString("Other", "Name", "def"), "def");
    EXPECT_EQ(s.GetInt("Quillbox", "Name", 9), 0);  // malformed: integer reading of the text

    s.WriteInt("QUILLBOX", "WELCOME", 1);  // same key, different case: replaced
    EXPECT_EQ(s.GetInt("Quillbox", "Welcome", 0), 1);
    EXPECT_EQ(s.Serialize().find("WELCOME"), std::string::npos);
}

TEST(ProfileStoreLookup, RefusesKeysTheFileCannotHold) {
    ProfileStore s;
    EXPECT_FALSE(s.WriteInt("Quillbox", "", 1));
    EXPECT_FALSE(s.WriteInt("Quillbox", "a=b", 1));
    EXPECT_FALSE(s.WriteInt("Quillbox", "; comment", 1));
    EXPECT_FALSE(s.WriteString("Quillbox", "line\nbreak", "x"));
    EXPECT_FALSE(s.WriteInt("Bad]Section", "Key", 1));
    EXPECT_TRUE(s.WriteString("Directories", "Import/Export", "/x"));
}

TEST(ProfileStoreFile, KeepsCommentsAndUnknownKeys) {
    TempDir dir;
    std::string path = dir / "s.ini";
    WriteFile(path, "; written by hand\n[Quillbox]\nUnknown=keep me\nWelcome=1\n\n[Other]\nX=1\n");
    ProfileStore s(path);
    ASSERT_TRUE(s.Load());
    s.WriteInt("Quillbox", "Welcome", 2);
    s.WriteInt("Quillbox", "OnTop", 1);
    s.WriteString("Date", "New", "v");
    ASSERT_TRUE(s.Flush());
    EXPECT_EQ(ReadFile(path),
              "; written by hand\n[Quillbox]\nUnknown=keep me\nWelcome=2\nOnTop=1\n\n[Other]\nX=1\n"
              "\n[Date]\nNew=v\n");
}

TEST(ProfileStoreFile, AwkwardValuesRoundTrip) {
    TempDir dir;
    std::string path = dir / "s.ini";
    const std::vector<std::string> values = {
        "  padded ", "two\nlines", "\"quoted\"", "C:\\temp\\new", "", "a=b=c", "caf\xc3\xa9"};
    {
        ProfileStore s(path);
        for (size_t i = 0; i < values.size(); ++i)
            s.WriteString("Quillbox", "K" + std::to_string(i), values[i]);
        ASSERT_TRUE(s.Flush());
    }
    ProfileStore again(path);
    ASSERT_TRUE(again.Load());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(again.GetString("Quillbox", "K" + std::to_string(i), "?"), values[i]) << i;
}

TEST(ProfileStoreFile, CreatesTheMissingConfigurationFolder) {
    TempDir dir;
    std::string path = dir / "config/Tarnwick Software/Quillbox Reader.ini";
    ProfileStore s(path);
    EXPECT_TRUE(s.Load());  // no file yet: empty
    s.WriteInt("Quillbox", "Welcome", 2);
    ASSERT_TRUE(s.Flush());
    EXPECT_EQ(ReadFile(path), "[Quillbox]\nWelcome=2\n");
}

TEST(ProfileStoreFile, SaveKeepsKeysAnotherInstanceWrote) {
    TempDir dir;
    std::string path = dir / "s.ini";
    ProfileStore a(path), b(path);
    a.Load();
    b.Load();
    a.WriteInt("Quillbox", "A", 1);
    ASSERT_TRUE(a.Flush());
    b.WriteInt("Quillbox", "B", 2);
    ASSERT_TRUE(b.Flush());
    ProfileStore c(path);
    c.Load();
    EXPECT_EQ(c.GetInt("Quillbox", "A", 0), 1);
    EXPECT_EQ(c.GetInt("Quillbox", "B", 0), 2);
}

TEST(ProfileStoreDelete, RemovesEveryLineOfTheKeyAndKeepsTheRest) {
    TempDir dir;
    std::string path = dir / "s.ini";
    WriteFile(path,
              "; drives by hand\n[Drives]\nC:=/mnt/c\nD:=/mnt/d\n; old one\nd:=/old/d\n\n"
              "[Other]\nD:=keep\n[drives]\nD:=/third\n");
    ProfileStore s(path);
    ASSERT_TRUE(s.Load());
    EXPECT_TRUE(s.DeleteKey("DRIVES", "d:"));
    // No older spelling or second header shows through.
    EXPECT_FALSE(s.HasKey("Drives", "D:"));
    EXPECT_EQ(s.GetString("Other", "D:", ""), "keep");
    EXPECT_TRUE(s.HasPendingWrites());
    ASSERT_TRUE(s.Flush());
    EXPECT_EQ(ReadFile(path),
              "; drives by hand\n[Drives]\nC:=/mnt/c\n; old one\n\n[Other]\nD:=keep\n"
              "[drives]\n");

    EXPECT_FALSE(s.DeleteKey("Drives", "Z:"));  // missing: harmless
    EXPECT_FALSE(s.DeleteKey("Nowhere", "C:"));
    ASSERT_TRUE(s.Flush());
    EXPECT_EQ(s.GetString("Drives", "C:", ""), "/mnt/c");
}

TEST(ProfileStoreDelete, AppliesInOrderWithTheWrites) {
    ProfileStore s;
    s.WriteString("Drives", "E:", "/media/e");
    s.DeleteKey("Drives", "E:");
    EXPECT_FALSE(s.HasKey("Drives", "E:"));
    s.DeleteKey("Drives", "F:");
    s.WriteString("Drives", "F:", "/media/f");
    EXPECT_EQ(s.GetString("Drives", "F:", ""), "/media/f");
    EXPECT_EQ(s.Serialize(), "[Drives]\nF:=/media/f\n");
}

TEST(ProfileStoreDelete, DeletedKeyStaysGoneWhenAnotherInstanceSaves) {
    TempDir dir;
    std::string path = dir / "s.ini";
    WriteFile(path, "[Drives]\nC:=/mnt/c\nD:=/mnt/d\n");
    ProfileStore a(path), b(path);
    a.Load();
    b.Load();  // b still holds D: in memory
    a.DeleteKey("Drives", "D:");
    ASSERT_TRUE(a.Flush());
    b.WriteInt("Quillbox", "Welcome", 2);
    ASSERT_TRUE(b.Flush());
    ProfileStore c(path);
    c.Load();
    EXPECT_FALSE(c.HasKey("Drives", "D:"));
    EXPECT_EQ(c.GetString("Drives", "C:", ""), "/mnt/c");
    EXPECT_EQ(c.GetInt("Quillbox", "Welcome", 0), 2);

    // And a key another instance wrote is deleted from the file as it is now.
    ProfileStore d(path);
    d.Load();
    a.WriteString("Drives", "G:", "/media/g");
    ASSERT_TRUE(a.Flush());
    d.DeleteKey("Drives", "G:");
    ASSERT_TRUE(d.Flush());
    c.Load();
    EXPECT_FALSE(c.HasKey("Drives", "G:"));
}

TEST(ProfileStoreDelete, FailedSaveKeepsTheDeletionPending) {
    TempDir dir;
    std::string path = dir / "s.ini";
    const std::string old = "[Drives]\nC:=/mnt/c\nD:=/mnt/d\n";
    WriteFile(path, old);
    ProfileStore s(path);
    s.Load();
    s.SetErrorReporter([](int, const std::string&) {});
    s.DeleteKey("Drives", "C:");
    s.SimulateWriteFailureAfter(3);
    EXPECT_FALSE(s.Flush());
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_FALSE(s.HasKey("Drives", "C:"));  // still gone in memory
    s.SimulateWriteFailureAfter(std::nullopt);
    ASSERT_TRUE(s.Flush());
    EXPECT_EQ(ReadFile(path), "[Drives]\nD:=/mnt/d\n");
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename());
    return names;
}

TEST(ProfileStoreAtomicSave, FailedWriteLeavesOldFileAndReportsOnce) {
    TempDir dir;
    std::string path = dir / "s.ini";
    const std::string old = "[Quillbox]\nWelcome=1\n";
    WriteFile(path, old);
    ProfileStore s(path);
    ASSERT_TRUE(s.Load());
    std::vector<std::pair<int, std::string>> reports;
    s.SetErrorReporter([&](int code, const std::string& p) { reports.emplace_back(code, p); });

    for (int i = 0; i < 50; ++i)
        s.WriteInt("Quillbox", "Key" + std::to_string(i), i);
    s.SimulateWriteFailureAfter(10);  // the disk fills up part way
    EXPECT_FALSE(s.Flush());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].first, err::kDiskFull);
    EXPECT_EQ(reports[0].second, path);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"s.ini"});  // no temporary left

    // The writes are not lost: the next save puts them on disk.
    s.SimulateWriteFailureAfter(std::nullopt);
    EXPECT_TRUE(s.HasPendingWrites());
    EXPECT_TRUE(s.Flush());
    ProfileStore again(path);
    again.Load();
    EXPECT_EQ(again.GetInt("Quillbox", "Key49", 0), 49);
    EXPECT_EQ(reports.size(), 1u);
}

TEST(ProfileStoreAtomicSave, UnwritableLocationIsReportedWithItsCode) {
    TempDir dir;
    WriteFile(dir / "file", "x");
    std::string path = dir / "file/s.ini";  // a folder that is a file
    ProfileStore s(path);
    int calls = 0, code = 0;
    s.SetErrorReporter([&](int c, const std::string&) {
        ++calls;
        code = c;
    });
    s.WriteInt("Quillbox", "A", 1);
    s.WriteInt("Quillbox", "B", 1);
    EXPECT_FALSE(s.Flush());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(code, err::kNotFound);             // ENOTDIR
    EXPECT_EQ(s.GetInt("Quillbox", "A", 0), 1);  // still held in memory
}

TEST(ProfileStoreAtomicSave, KeepsFileModeAndWritesThroughSymlinks) {
    TempDir dir;
    std::string real = dir / "real.ini", link = dir / "link.ini";
    WriteFile(real, "[A]\nx=1\n");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink(real, link);
    ProfileStore s(link);
    s.Load();
    s.WriteInt("A", "x", 2);
    ASSERT_TRUE(s.Flush());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(real), "[A]\nx=2\n");
    struct stat st;
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace qb

// The stored Windows form resolved against the link base, and its mapping
// to a Linux path through the Drives settings.
#include "article/link_targets.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_files.h"

namespace qb::testing {
namespace {

TEST(ResolveWindowsPath, AbsolutePathsAndTheRememberedDrive) {
    EXPECT_EQ(ResolveWindowsPath("D:\\docs\\a.txt", "C:\\base", 'C'), "D:\\docs\\a.txt");
    EXPECT_EQ(ResolveWindowsPath("\\\\srv\\share\\a.txt", "C:\\base", 'C'),
              "\\\\srv\\share\\a.txt");
    EXPECT_EQ(ResolveWindowsPath(".:\\docs\\a.txt", "C:\\base", 'E'), "E:\\docs\\a.txt");
    // Without a backslash a drive path is not absolute: it is joined to the base.
    EXPECT_EQ(ResolveWindowsPath("D:a.txt", "C:\\base", 'C'), "C:\\base\\D:a.txt");
}

TEST(ResolveWindowsPath, RelativePathsWithAndWithoutTheBasesBackslash) {
    EXPECT_EQ(ResolveWindowsPath(".\\sub\\a.txt", "C:\\base", 'C'), "C:\\base\\sub\\a.txt");
    EXPECT_EQ(ResolveWindowsPath(".\\sub\\a.txt", "C:\\base\\", 'C'), "C:\\base\\sub\\a.txt");
    EXPECT_EQ(ResolveWindowsPath("sub\\a.txt", "C:\\base", 'C'), "C:\\base\\sub\\a.txt");
    EXPECT_EQ(ResolveWindowsPath("sub\\a.txt", "C:\\base\\", 'C'), "C:\\base\\sub\\a.txt");
    EXPECT_EQ(ResolveWindowsPath("\\sub\\a.txt", "C:\\base", 'C'), "C:\\base\\sub\\a.txt");
    EXPECT_EQ(ResolveWindowsPath("a.txt", "", 'C'), "\\a.txt");
    EXPECT_EQ(ResolveWindowsPath("", "C:\\base", 'C'), "C:\\base\\");
    EXPECT_EQ(ResolveWindowsPath(".", "C:\\base", 'C'), "C:\\base\\.");
}

TEST(MapToLinux, DrivesSharesAndTheDataFilesOwnFolder) {
    TempDir t;
    DriveMap drives{{"c:", t.Path()}, {"\\\\SRV\\Share", t.Path() + "/net"}};
    EXPECT_EQ(*MapToLinux("C:\\docs\\a.txt", drives, 'C').path, t.Path() + "/docs/a.txt");
    EXPECT_EQ(*MapToLinux("\\\\srv\\share\\x\\y.txt", drives, 'C').path, t.Path() + "/net/x/y.txt");
    // A base that is the data file's folder is already a Linux path.
    EXPECT_EQ(*MapToLinux("/home/u/files\\sub\\a.txt", {}, 'C').path, "/home/u/files/sub/a.txt");
    // Rooted at the current drive: the remembered one.
    EXPECT_EQ(*MapToLinux("\\a.txt", drives, 'C').path, t.Path() + "/a.txt");

    LinuxPath missing = MapToLinux("D:\\a.txt", drives, 'C');
    EXPECT_FALSE(missing.path);
    EXPECT_EQ(missing.missingKey, "D:");
    LinuxPath share = MapToLinux("\\\\other\\s\\a.txt", drives, 'C');
    EXPECT_FALSE(share.path);
    EXPECT_EQ(share.missingKey, "\\\\other\\s");
    EXPECT_FALSE(MapToLinux("\\\\", drives, 'C').path) << "a bare UNC prefix maps to nothing";
}

TEST(MapToLinux, ComponentsSpelledInAnotherCaseFindTheRealOnes) {
    TempDir t;
    t.Write("Docs/Reports/Q1.TXT", "x");
    DriveMap drives{{"C:", t.Path()}};
    EXPECT_EQ(*MapToLinux("C:\\docs\\REPORTS\\q1.txt", drives, 'C').path,
              t.Path() + "/Docs/Reports/Q1.TXT");
    // A missing component keeps the rest as written.
    EXPECT_EQ(*MapToLinux("C:\\docs\\none\\q1.txt", drives, 'C').path,
              t.Path() + "/Docs/none/q1.txt");
    // An exact spelling wins over a case-blind one.
    t.Write("docs/exact.txt", "y");
    EXPECT_EQ(*MapToLinux("C:\\docs\\exact.txt", drives, 'C').path, t.Path() + "/docs/exact.txt");
}

TEST(MatchCaseBlind, SymlinkLoopsAndRelativePathsEndWithoutHanging) {
    TempDir t;
    ASSERT_EQ(::symlink((t / "loop").c_str(), (t / "loop").c_str()), 0);
    EXPECT_EQ(MatchCaseBlind(t / "LOOP/a/b"), t / "loop/a/b");
    EXPECT_EQ(MatchCaseBlind("relative/Path"), "relative/Path");
    std::string deep = t.Path();
    for (int i = 0; i < 2000; ++i)
        deep += "/x";
    EXPECT_EQ(MatchCaseBlind(deep), deep);
}

TEST(ResolveStoredTarget, GivesBothForms) {
    ResolvedTarget r = ResolveStoredTarget(".:\\a\\b.txt", "C:\\base", 'E', {{"E:", "/mnt/e"}});
    EXPECT_EQ(r.windows, "E:\\a\\b.txt");
    EXPECT_EQ(*r.linux, "/mnt/e/a/b.txt");
    ResolvedTarget none = ResolveStoredTarget("x.txt", "C:\\base", 'C', {});
    EXPECT_EQ(none.windows, "C:\\base\\x.txt");
    EXPECT_FALSE(none.linux);
    EXPECT_EQ(none.missingKey, "C:");
}

}  // namespace
}  // namespace qb::testing

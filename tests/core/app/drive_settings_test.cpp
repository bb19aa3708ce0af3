// The Drives settings: which rows the Preferences page may keep, and a
// saved section that holds exactly what the page showed.
#include "app/drive_settings.h"

#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "app/settings.h"
#include "app_test_support.h"

namespace qb {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(DriveKeys, DriveLettersAndSharesNormalise) {
    EXPECT_EQ(NormalizeDriveKey("d:"), "D:");
    EXPECT_EQ(NormalizeDriveKey("  C:\t"), "C:");
    EXPECT_EQ(NormalizeDriveKey("\\\\fileserver\\Projects"), "\\\\fileserver\\Projects");
    EXPECT_EQ(NormalizeDriveKey("\\\\fs\\share\\"), "\\\\fs\\share");  // as Explorer copies it
    EXPECT_EQ(NormalizeDriveKey("\\\\my server\\my share"), "\\\\my server\\my share");
}

TEST(DriveKeys, AnythingElseIsRefused) {
    for (const char* bad :
         {"", "D", "DD:", "1:", "D:\\", "D:\\data", "\\\\server", "\\\\server\\", "\\\\\\share",
          "\\\\server\\share\\sub", "//server/share", "\\server\\share", "\\\\a=b\\share",
          "\\\\srv\\sh=are", "\\\\srv\\line\nbreak", "\\\\srv\\a/b", "\\\\srv \\share", "\xc4:"})
        EXPECT_EQ(NormalizeDriveKey(bad), std::nullopt) << bad;
}

TEST(DriveRows, GoodRowsComeBackNormalisedAndBlankRowsDrop) {
    DriveRowsCheck c = CheckDriveRows(
        {{"c:", " /mnt/c "}, {"", ""}, {"\\\\srv\\share\\", "/srv/share"}, {"  ", " "}});
    ASSERT_FALSE(c.problem);
    EXPECT_EQ(c.entries, (DriveEntries{{"C:", "/mnt/c"}, {"\\\\srv\\share", "/srv/share"}}));
    EXPECT_TRUE(CheckDriveRows({}).entries.empty());
}

TEST(DriveRows, TheFirstBadRowIsNamedWithItsMessage) {
    DriveRowsCheck c = CheckDriveRows({{"C:", "/mnt/c"}, {"D", "/mnt/d"}, {"E:", ""}});
    ASSERT_TRUE(c.problem);
    EXPECT_EQ(c.problem->row, 1u);
    EXPECT_FALSE(c.problem->inFolder);
    EXPECT_EQ(c.problem->message,
              "\"D\" is not a Windows drive or share.\nType a drive letter with its colon, such "
              "as D:, or a share, such as \\\\server\\share.");
    EXPECT_TRUE(c.entries.empty());  // nothing half-checked is handed out

    // The same drive in another case is the same key.
    c = CheckDriveRows({{"C:", "/mnt/c"}, {"c:", "/mnt/other"}});
    ASSERT_TRUE(c.problem);
    EXPECT_EQ(c.problem->row, 1u);
    EXPECT_EQ(c.problem->message,
              "C: is listed twice in the Drives settings.\nRemove one of them.");
    c = CheckDriveRows({{"\\\\SRV\\Share", "/a"}, {"\\\\srv\\share\\", "/b"}});
    ASSERT_TRUE(c.problem);
    EXPECT_EQ(c.problem->row, 1u);

    c = CheckDriveRows({{"e:", "  "}});
    ASSERT_TRUE(c.problem);
    EXPECT_TRUE(c.problem->inFolder);
    EXPECT_EQ(c.problem->message, "Choose the Linux folder that stands for E:.");
    // A relative folder would depend on where the reader was started.
    c = CheckDriveRows({{"E:", "media/e"}});
    ASSERT_TRUE(c.problem);
    EXPECT_TRUE(c.problem->inFolder);
    EXPECT_EQ(c.problem->message, "The Linux folder for E: must be a full path, beginning with /.");
    // A key typed in only: the key is fine, its folder is missing.
    c = CheckDriveRows({{"", "/mnt/x"}});
    ASSERT_TRUE(c.problem);
    EXPECT_FALSE(c.problem->inFolder);
}

SettingsClock FixedClock() {
    SettingsClock c;
    c.tickCount = [] { return 1u; };
    c.currentYear = [] { return 2024; };
    return c;
}

TEST(DriveSettingsSave, RemovedDrivesStayRemovedAfterARestart) {
    TempDir dir;
    std::string path = dir / "s.ini";
    WriteFile(
        path,
        "[Drives]\nC:=/mnt/c\nd:=/mnt/d\n\\\\srv\\share=/srv/share\n; mine\n\n[Other]\nX=1\n");
    {
        ProfileStore store(path);
        ASSERT_TRUE(store.Load());
        Settings s(FixedClock());
        s.Load(store);
        s.drives = {{"C:", "/mnt/windows"}, {"E:", "/media/e"}};  // D: and the share removed
        ASSERT_TRUE(s.Save(store));
    }
    ProfileStore again(path);
    ASSERT_TRUE(again.Load());
    Settings restarted(FixedClock());
    restarted.Load(again);
    EXPECT_EQ(restarted.drives, (DriveEntries{{"C:", "/mnt/windows"}, {"E:", "/media/e"}}));
    std::string text = ReadFile(path);
    EXPECT_NE(text.find("; mine\n"), std::string::npos);  // comments and others untouched
    EXPECT_NE(text.find("[Other]\nX=1\n"), std::string::npos);

    // Removing every drive leaves none.
    restarted.drives.clear();
    ASSERT_TRUE(restarted.Save(again));
    ProfileStore last(path);
    last.Load();
    EXPECT_TRUE(last.SectionEntries("Drives").empty());
}

TEST(DriveSettingsSave, ADataFileOpeningDoesNotBringARemovedDriveBack) {
    ProfileStore store;
    store.LoadText("[Drives]\nC:=/mnt/c\nD:=/mnt/d\n");
    Settings s(FixedClock());
    s.Load(store);
    s.drives.erase(s.drives.begin() + 1);
    s.Save(store);
    // Opening a file reads the store again before laying the file's own values over it.
    s.ApplyFileSettings(store, FileSettings{});
    EXPECT_EQ(s.drives, (DriveEntries{{"C:", "/mnt/c"}}));
    s.ClearFileSettings(store);
    EXPECT_EQ(s.drives, (DriveEntries{{"C:", "/mnt/c"}}));
    // A whole-table setter saves the section as it is, no more and no less.
    s.SetSortOrder(store, 1);
    EXPECT_EQ(store.SectionEntries("Drives"), (DriveEntries{{"C:", "/mnt/c"}}));
}

}  // namespace
}  // namespace qb

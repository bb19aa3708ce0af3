#include "app/settings_location.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/directories.h"
#include "app/profile_store.h"
#include "app_test_support.h"

namespace qb {
namespace {

using testing::FakeEnv;
using testing::TempDir;
using testing::WriteFile;
using Kind = IniImportEntry::Kind;

TEST(SettingsLocation, NormalModeUsesTheXdgConfigFolder) {
    FakeEnv env;
    EXPECT_EQ(NormalSettingsPath(env), "/home/user/.config/Tarnwick Software/Quillbox Reader.ini");
    env.env["XDG_CONFIG_HOME"] = "/xdg";
    EXPECT_EQ(NormalSettingsPath(env), "/xdg/Tarnwick Software/Quillbox Reader.ini");
    env.env["XDG_CONFIG_HOME"] = "relative/dir";  // not absolute: ignored
    EXPECT_EQ(NormalSettingsPath(env), "/home/user/.config/Tarnwick Software/Quillbox Reader.ini");
}

TEST(SettingsLocation, PortablePathReplacesTheExtension) {
    EXPECT_EQ(PortableSettingsPath("/media/usb/qb/quillbox-reader"),
              "/media/usb/qb/quillbox-reader.ini");
    EXPECT_EQ(PortableSettingsPath("/media/usb/qb/Quillbox.exe"), "/media/usb/qb/Quillbox.ini");
    EXPECT_EQ(PortableSettingsPath("/opt/qb.d/reader"), "/opt/qb.d/reader.ini");
    EXPECT_EQ(PortableSettingsPath("/opt/.reader"), "/opt/.reader.ini");
}

TEST(SettingsLocation, RemovableDriveIsAlwaysPortable) {
    TempDir dir;
    FakeEnv env;
    env.programPath = dir / "quillbox-reader";
    env.removable = true;  // no .ini file at all
    SettingsLocation loc = ChooseSettingsLocation(env);
    EXPECT_TRUE(loc.portable);
    EXPECT_EQ(loc.settingsPath, dir / "quillbox-reader.ini");
    EXPECT_TRUE(loc.importPath.empty());
}

TEST(SettingsLocation, MarkerMakesPortableOnlyWhenSerialMatches) {
    TempDir dir;
    FakeEnv env;
    env.programPath = dir / "quillbox-reader";
    EXPECT_EQ(FormatVolumeSerial(0x1a2b3c4du), "1a2b-3c4d");
    EXPECT_EQ(FormatVolumeSerial(0x00010002u), "0001-0002");

    WriteFile(dir / "quillbox-reader.ini", "[QUILLBOX]\nPortable=1A2B-3C4D\n");
    env.serial = 0x1a2b3c4du;
    SettingsLocation loc = ChooseSettingsLocation(env);
    EXPECT_TRUE(loc.portable);
    EXPECT_EQ(loc.settingsPath, dir / "quillbox-reader.ini");

    // Another volume: the same file is imported into the normal settings.
    env.serial = 0x11112222u;
    loc = ChooseSettingsLocation(env);
    EXPECT_FALSE(loc.portable);
    EXPECT_EQ(loc.settingsPath, "/home/user/.config/Tarnwick Software/Quillbox Reader.ini");
    EXPECT_EQ(loc.importPath, dir / "quillbox-reader.ini");

    env.serial.reset();  // no serial to compare with
    EXPECT_FALSE(ChooseSettingsLocation(env).portable);
}

TEST(IniImport, TypesValuesByTheirExactIntegerForm) {
    IniImport imp = ParseIniImport(
        "  [Quillbox]  \r\nCount=5\nCount=05\nName=abc\n\n  Neg=-3 \nnot a line\n[Index "
        "Display]\nX=\n");
    ASSERT_EQ(imp.entries.size(), 5u);
    EXPECT_EQ(imp.entries[0].kind, Kind::Integer);
    EXPECT_EQ(imp.entries[0].value, 5);
    EXPECT_EQ(imp.entries[0].section, "Quillbox");
    EXPECT_EQ(imp.entries[1].kind, Kind::Text);
    EXPECT_EQ(imp.entries[1].text, "05");
    EXPECT_EQ(imp.entries[2].kind, Kind::Text);
    EXPECT_EQ(imp.entries[3].kind, Kind::Integer);
    EXPECT_EQ(imp.entries[3].value, -3);
    EXPECT_EQ(imp.entries[4].section, "Index Display");
    EXPECT_EQ(imp.entries[4].kind, Kind::Text);
    EXPECT_FALSE(imp.rootRelative);
}

TEST(IniImport, DirectoriesAfterUseRootNameFolders) {
    IniImport imp = ParseIniImport(
        "[Directories]\nAttachments=C:\\Before\n[quillbox]\nuseroot=1\n[Directories]\n"
        "Quillbox Data=C:\\Data\nUnknown Folder=x\n");
    EXPECT_TRUE(imp.rootRelative);
    ASSERT_EQ(imp.entries.size(), 4u);
    EXPECT_EQ(imp.entries[0].kind, Kind::Text);  // before UseRoot: plain text
    EXPECT_EQ(imp.entries[2].kind, Kind::Directory);
    EXPECT_EQ(imp.entries[3].kind, Kind::Directory);

    EXPECT_FALSE(ParseIniImport("[QUILLBOX]\nUseRoot=0\n").rootRelative);
    EXPECT_FALSE(ParseIniImport("[Other]\nUseRoot=1\n").rootRelative);
}

TEST(IniImport, ApplyWritesTypedValuesAndReRootsFolders) {
    ProfileStore store;
    Directories dirs;
    dirs.SetRoot("/media/usb");
    ApplyIniImport(ParseIniImport("[Quillbox]\nCount=5\nName=abc\nZero=05\n[QUILLBOX]\nUseRoot=1\n"
                                  "[Directories]\nquillbox data=C:\\Data\\Notes\nBogus=y\n"),
                   store, dirs);
    EXPECT_TRUE(store.IsIntegerValue("Quillbox", "Count"));
    EXPECT_EQ(store.GetInt("Quillbox", "Count", 0), 5);
    EXPECT_FALSE(store.IsIntegerValue("Quillbox", "Name"));
    EXPECT_FALSE(store.IsIntegerValue("Quillbox", "Zero"));
    EXPECT_EQ(store.GetString("Quillbox", "Zero", ""), "05");
    EXPECT_EQ(store.GetInt("Quillbox", "UseIni", -1), 0);
    EXPECT_FALSE(store.HasKey("Directories", "Bogus"));
    EXPECT_EQ(dirs.Folder(FolderType::Data), "/media/usb/Data/Notes");
    EXPECT_EQ(dirs.Folder(FolderType::Attachments), "/media/usb");  // empty: the volume's root
    EXPECT_TRUE(dirs.IsImported(FolderType::Data));
}

TEST(MountInfo, LongestWholeComponentPrefixWins) {
    const std::string info =
        "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
        "40 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
        "41 22 8:33 / /media/usb\\040stick rw - vfat /dev/sdc1 rw\n"
        "garbage\n";
    EXPECT_EQ(MountPointFromMountInfo(info, "/media/usb/qb/reader"), "/media/usb");
    EXPECT_EQ(MountPointFromMountInfo(info, "/media/usb2/reader"), "/");
    EXPECT_EQ(MountPointFromMountInfo(info, "/media/usb stick/reader"), "/media/usb stick");
    EXPECT_EQ(MountPointFromMountInfo("", "/x"), "/");
}

TEST(RemovableDevice, PartitionAsksItsDisk) {
    TempDir sys;
    namespace fs = std::filesystem;
    std::string disk = sys / "devices/pci0/usb1/block/sdb";
    WriteFile(disk + "/removable", "1\n");
    WriteFile(disk + "/sdb1/partition", "1\n");
    std::string fixed = sys / "devices/pci0/ata1/block/sda";
    WriteFile(fixed + "/removable", "0\n");
    fs::create_directories(sys / "dev/block");
    fs::create_symlink(disk + "/sdb1", sys / "dev/block/8:17");
    fs::create_symlink(fixed, sys / "dev/block/8:0");
    EXPECT_TRUE(IsRemovableBlockDevice(sys.Path(), 8, 17));
    EXPECT_FALSE(IsRemovableBlockDevice(sys.Path(), 8, 0));
    EXPECT_FALSE(IsRemovableBlockDevice(sys.Path(), 0, 42));  // no block device (tmpfs)
}

TEST(UserDirs, DocumentsFolderFromTheXdgFile) {
    EXPECT_EQ(DocumentsDirFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                       "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n",
                                       "/home/u"),
              "/home/u/Dokumente");
    EXPECT_EQ(DocumentsDirFromUserDirs("XDG_DOCUMENTS_DIR=\"/data/docs/\"\n", "/home/u"),
              "/data/docs");
    EXPECT_FALSE(DocumentsDirFromUserDirs("XDG_DOCUMENTS_DIR=\"docs\"\n", "/home/u"));
    EXPECT_FALSE(DocumentsDirFromUserDirs("", "/home/u"));

    TempDir home;
    FakeEnv env;
    env.home = home.Path();
    EXPECT_EQ(DefaultDocumentsFolder(env), home.Path());  // nothing else there
    std::filesystem::create_directories(home / "Documents");
    EXPECT_EQ(DefaultDocumentsFolder(env), home / "Documents");
    WriteFile(home / ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n");
    EXPECT_EQ(DefaultDocumentsFolder(env), home / "Papers");
}

}  // namespace
}  // namespace qb

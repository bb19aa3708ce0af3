#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/directories.h"
#include "app/profile_store.h"
#include "app_test_support.h"
#include "datafile/md5.h"

namespace qb {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

SettingsClock FixedClock(uint32_t tick = 1234, int year = 2024) {
    SettingsClock c;
    c.tickCount = [tick] { return tick; };
    c.currentYear = [year] { return year; };
    return c;
}

TEST(SettingsLoad, DefaultsOfTheTable) {
    ProfileStore store;
    Settings s(FixedClock(777, 2024));
    s.Load(store);
    EXPECT_EQ(s.displayDate, 1);
    EXPECT_EQ(s.activeLinks, 1);
    EXPECT_EQ(s.exportTextLineLength, 70);
    EXPECT_EQ(s.importDuplicateAction, 2);
    EXPECT_EQ(s.highlightColor, -1);
    EXPECT_EQ(s.updateCheckFreq, -1);
    EXPECT_EQ(s.dateColor, 0xFF0000);
    EXPECT_EQ(s.galleryImageSize, 1);
    EXPECT_EQ(s.pivotYear, 2099);
    EXPECT_EQ(s.artSettings, 777);
    EXPECT_EQ(s.welcome, 1);
    EXPECT_EQ(s.flatToolbar, 1);
    EXPECT_EQ(s.displayFont.font.faceName, "Arial");
}

TEST(SettingsLoad, ValidationReplacesImpossibleValues) {
    ProfileStore store;
    store.LoadText(
        "[Quillbox]\nSnoozeDuration=9\nDefaultReminderTimeType=2\nDefaultReminderTime=86400\n"
        "OpenImport=5\nShowTipOfTheDay=0\n[Index Display]\nSortOrder=-4\n");
    Settings s(FixedClock());
    s.Load(store);
    EXPECT_EQ(s.snoozeDuration, 0);
    EXPECT_EQ(s.defaultReminderTimeType, 0);
    EXPECT_EQ(s.defaultReminderTime, 0);
    EXPECT_EQ(s.openImport, 1);  // read as 0/1
    EXPECT_EQ(s.showTipOfTheDay, 0);
    EXPECT_EQ(s.sortOrder, 0);
}

TEST(SettingsSave, SortOrderBeyondTheMenuIsStoredAsZero) {
    TempDir dir;
    ProfileStore store(dir / "s.ini");
    store.LoadText("[Index Display]\nSortOrder=5\n");
    Settings s(FixedClock());
    s.Load(store);
    EXPECT_EQ(s.sortOrder, 5);  // a status-column order lasts for this run
    ASSERT_TRUE(s.Save(store));
    ProfileStore again(dir / "s.ini");
    again.Load();
    EXPECT_EQ(again.GetInt("Index Display", "SortOrder", -1), 0);

    ASSERT_TRUE(s.SetSortOrder(store, 3));
    again.Load();
    EXPECT_EQ(again.GetInt("Index Display", "SortOrder", -1), 3);
}

TEST(SettingsSave, RoundTripsEveryValue) {
    TempDir dir;
    ProfileStore store(dir / "s.ini");
    Settings s(FixedClock());
    s.Load(store);
    s.titleColor = 0x123456;
    s.previewColor = -1;
    s.htmlCustomSet = "koi8-r";
    s.keywordRight = 300;
    s.pivotYear = 2050;
    ASSERT_TRUE(s.Save(store));
    ProfileStore again(dir / "s.ini");
    again.Load();
    Settings t(FixedClock(99));
    t.Load(again);
    EXPECT_EQ(t.titleColor, 0x123456);
    EXPECT_EQ(t.previewColor, -1);
    EXPECT_EQ(t.htmlCustomSet, "koi8-r");
    EXPECT_EQ(t.keywordRight, 300);
    EXPECT_EQ(t.pivotYear, 2050);
    EXPECT_EQ(t.artSettings, 1234);  // the stored seed, not the new tick
}

TEST(SettingsSave, FailedSaveWritesNothingAndReportsOnce) {
    TempDir dir;
    std::string path = dir / "s.ini";
    WriteFile(path, "[Quillbox]\nExportTextLineLength=80\n");
    ProfileStore store(path);
    store.Load();
    int reports = 0;
    store.SetErrorReporter([&](int, const std::string&) { ++reports; });
    Settings s(FixedClock());
    s.Load(store);
    s.exportTextLineLength = 40;
    store.SimulateWriteFailureAfter(0);
    EXPECT_FALSE(s.Save(store));
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(ReadFile(path), "[Quillbox]\nExportTextLineLength=80\n");
}

TEST(SettingsSetters, SingleKeysAreWrittenOnlyWhenChanged) {
    TempDir dir;
    std::string path = dir / "s.ini";
    ProfileStore store(path);
    Settings s(FixedClock());
    s.Load(store);
    ASSERT_TRUE(s.SetFindTitlesOnly(store, 0));  // unchanged: no file yet
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(s.SetFindTitlesOnly(store, 1));
    ASSERT_TRUE(s.SetLastFileName(store, "notes.qbx"));
    EXPECT_EQ(ReadFile(path), "[Quillbox]\nFindTitlesOnly=1\nLastFileName=notes.qbx\n");
}

TEST(PivotYear, TwoDigitYearsFallBelowThePivot) {
    EXPECT_EQ(ExpandTwoDigitYear(60, 2050), 1960);
    EXPECT_EQ(ExpandTwoDigitYear(30, 2050), 2030);
    EXPECT_EQ(ExpandTwoDigitYear(50, 2050), 2050);
    EXPECT_EQ(ExpandTwoDigitYear(99, 2099), 2099);
    EXPECT_EQ(ExpandTwoDigitYear(0, 2099), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(1999, 2050), 1999);  // four digits stay
    EXPECT_EQ(ExpandTwoDigitYear(5, 50), 5);          // no positive century
    EXPECT_EQ(DefaultPivotYear(2024), 2099);
    EXPECT_EQ(DefaultPivotYear(2100), 2199);
}

TEST(FolderBrowser, CheckValueGuardsTheStoredProgram) {
    const std::string browser = "/usr/bin/nautilus";
    // Independent form of the check value: the digest of the seed's bytes
    // followed by the path, in one buffer.
    std::string buf("\x78\x56\x34\x12", 4);
    buf += browser;
    Md5Digest d = Md5(buf);
    char hex[33];
    for (int i = 0; i < 16; ++i)
        std::snprintf(hex + 2 * i, 3, "%02x", d[i]);
    EXPECT_EQ(FolderBrowserCheckValue(0x12345678, browser), std::string(hex));

    Settings s(FixedClock(0x12345678));
    s.SetFolderBrowser(browser);
    EXPECT_EQ(s.artSettings, 0x12345678);
    EXPECT_EQ(s.userSettings, std::string(hex));
    EXPECT_EQ(s.FolderBrowser(), browser);

    // Through the store and back: still trusted.
    ProfileStore store;
    ASSERT_TRUE(s.Save(store));
    Settings t(FixedClock());
    t.Load(store);
    EXPECT_EQ(t.FolderBrowser(), browser);

    // Changed by hand without a matching check value: ignored.
    store.WriteString("Quillbox", "FolderBrowserName", "/tmp/evil");
    t.Load(store);
    EXPECT_EQ(t.FolderBrowser(), "");
    store.WriteString("Quillbox", "FolderBrowserName", browser);
    store.WriteInt("Quillbox", "ArtSettings", 1);  // the seed changed
    t.Load(store);
    EXPECT_EQ(t.FolderBrowser(), "");
}

TEST(ArticleFontSettings, LoadSaveAndDescription) {
    ArticleFont def = DefaultArticleFont(96, "Liberation Sans");
    EXPECT_EQ(def.font.height, -12);
    EXPECT_TRUE(def.autoColor);
    EXPECT_EQ(DescribeFont(def.font), "Liberation Sans, 9 pt");
    EXPECT_EQ(DefaultArticleFont(120).font.height, -15);

    TempDir dir;
    ProfileStore store(dir / "s.ini");
    Settings s(FixedClock());
    EXPECT_TRUE(s.SaveArticleFont(store));  // before the font exists: nothing
    EXPECT_FALSE(store.HasKey("QuillBox", "Font"));
    s.LoadArticleFont(store, def);
    ArticleFont f = def;
    f.font.faceName = "DejaVu Serif";
    f.font.height = -16;
    f.font.weight = 700;
    f.font.italic = 1;
    f.textColor = 0x0000FF;
    f.autoColor = false;
    s.SetArticleFont(f);
    ASSERT_TRUE(s.SaveArticleFont(store));
    EXPECT_EQ(DescribeFont(s.displayFont.font), "DejaVu Serif, 12 pt, Bold, Italic");

    ProfileStore again(dir / "s.ini");
    again.Load();
    EXPECT_EQ(LoadArticleFont(again, def), f);
    // Fields of 0..255 keep their low byte; Style is any non-zero value.
    again.LoadText("[QuillBox]\nCharset=511\nStyle=4\nAutoColor=7\n");
    ArticleFont g = LoadArticleFont(again, def);
    EXPECT_EQ(g.font.charSet, 255);
    EXPECT_EQ(g.font.italic, 1);
    EXPECT_TRUE(g.autoColor);
}

TEST(ArticleFontSettings, FaceNamesAreCutAtWholeCharacters) {
    std::string longName(40, 'a');
    EXPECT_EQ(LimitFaceName(longName).size(), kFaceNameMax);
    std::string accented;
    for (int i = 0; i < 40; ++i)
        accented += "\xc3\xa9";  // é
    EXPECT_EQ(LimitFaceName(accented).size(), 2 * kFaceNameMax);
}

FileSettings FileWith(uint32_t read) {
    FileSettings f;
    f.read = read;
    return f;
}

TEST(FileSettingsOverlay, FileValuesLastUntilTheFileCloses) {
    ProfileStore store;
    store.LoadText("[Quillbox]\nActiveLinks=0\n");
    Settings s(FixedClock());
    s.Load(store);
    s.LoadArticleFont(store, DefaultArticleFont());

    FileSettings f = FileWith(FileSettings::kWordWrap | FileSettings::kFont |
                              FileSettings::kFontColor | FileSettings::kFontAutoColor |
                              FileSettings::kComments | FileSettings::kRelativeLinkLocation);
    f.wordWrap = 0;
    uint8_t font[50] = {};
    font[0] = 0xF0, font[1] = 0xFF;  // height -16
    font[8] = 0xBC, font[9] = 0x02;  // weight 700
    font[10] = 1;                    // italic
    std::memcpy(font + 18, "Caf\xe9 Sans", 9);
    std::memcpy(f.font.data(), font, 50);
    f.fontColor = 0x00FF00;
    f.fontAutoColor = 0;
    f.comments = "comments";
    f.relativeLinkLocation = 7;  // not a location: not taken

    s.activeLinks = 2;  // an unsaved change is undone by the reload
    s.ApplyFileSettings(store, f);
    EXPECT_TRUE(s.HasFileSettings());
    EXPECT_EQ(s.activeLinks, 0);
    EXPECT_EQ(s.displayFont.font.faceName, "Caf\xc3\xa9 Sans");
    EXPECT_EQ(s.DisplayFontDescription(), "Caf\xc3\xa9 Sans, 12 pt, Bold, Italic");
    EXPECT_EQ(s.displayFont.textColor, 0x00FF00);
    EXPECT_FALSE(s.displayFont.autoColor);
    EXPECT_EQ(s.file.relativeLinkLocation, 0);
    EXPECT_EQ(s.file.comments, "comments");
    RecordDefaults d = s.MakeRecordDefaults(20240101, 3600);
    EXPECT_EQ(d.wordWrap, 0);
    EXPECT_TRUE(d.fullPathNames);  // full path names not in the stream: default 1

    s.ClearFileSettings(store);
    EXPECT_FALSE(s.HasFileSettings());
    EXPECT_EQ(s.displayFont, s.ProgramFont());
    EXPECT_EQ(s.MakeRecordDefaults(0, 0).wordWrap, 1);
    EXPECT_TRUE(s.file.comments.empty());
}

TEST(FileSettingsOverlay, EmptyFontDescriptionKeepsAUsableFont) {
    ProfileStore store;
    Settings s(FixedClock());
    s.Load(store);
    s.ApplyFileSettings(store, FileWith(FileSettings::kFont));  // all 50 bytes zero
    EXPECT_EQ(s.displayFont.font.faceName, "Arial");
    EXPECT_EQ(s.displayFont.font.height, -12);
}

TEST(ReminderDefaults, NowOrTheGivenTime) {
    ProfileStore store;
    store.LoadText("[Quillbox]\nDefaultReminderTimeType=1\nDefaultReminderTime=32400\n");
    Settings s(FixedClock());
    s.Load(store);
    EXPECT_EQ(s.ReminderDefaultTime(100), 32400);
    EXPECT_EQ(s.MakeRecordDefaults(0, 100).reminderTime, 32400);
    s.defaultReminderTimeType = 0;
    EXPECT_EQ(s.ReminderDefaultTime(100), 100);
    EXPECT_EQ(s.MakeRecordDefaults(0, 100).reminderTime, -1);
}

TEST(DirectoriesStorage, PortableFoldersFollowTheVolume) {
    Directories d;
    d.SetRoot("/media/usb");
    d.SetDriveRelative(true);
    d.SetFolder(FolderType::Data, "/media/usb/Data");
    EXPECT_EQ(d.StoredText(FolderType::Data), ".:/Data");
    d.SetFolder(FolderType::Attachments, "/media/usb2/Files");  // another volume
    EXPECT_EQ(d.StoredText(FolderType::Attachments), "/media/usb2/Files");
    d.SetFolder(FolderType::ImportExport, "/media/usb");
    EXPECT_EQ(d.StoredText(FolderType::ImportExport), ".:/");

    d.SetRoot("/run/media/u/STICK");  // the program now runs from elsewhere
    EXPECT_EQ(d.Folder(FolderType::Data), "/run/media/u/STICK/Data");
    EXPECT_EQ(d.Resolve(".:\\Data\\notes.qbx"), "/run/media/u/STICK/Data/notes.qbx");
    EXPECT_EQ(d.Resolve("/abs/x"), "/abs/x");

    Directories normal;  // normal mode stores as given unless asked
    normal.SetRoot("/");
    normal.SetFolder(FolderType::Data, "/home/u/Data");
    EXPECT_EQ(normal.StoredText(FolderType::Data), "/home/u/Data");
    normal.SetFolder(FolderType::Data, "/home/u/Data", true);
    EXPECT_EQ(normal.StoredText(FolderType::Data), ".:/home/u/Data");
    EXPECT_EQ(normal.Folder(FolderType::Data), "/home/u/Data");
}

TEST(DirectoriesStorage, LoadAndSaveRules) {
    TempDir dir;
    ProfileStore store(dir / "s.ini");
    store.LoadText("[Directories]\nAttachments=" + std::string(5000, 'x') +
                   "\nImport/Export=/ie\n");
    Directories d;
    d.SetImported(FolderType::CustomImportFormats, "/imported");
    d.Load(store, "/home/u/Documents");
    EXPECT_EQ(d.Folder(FolderType::Data), "/home/u/Documents");         // empty
    EXPECT_EQ(d.Folder(FolderType::Attachments), "/home/u/Documents");  // over-long
    EXPECT_EQ(d.Folder(FolderType::ImportExport), "/ie");
    EXPECT_EQ(d.Folder(FolderType::CustomImportFormats), "/imported");
    EXPECT_FALSE(d.Changed());

    d.SetFolder(FolderType::Data, "/home/u/Notes");
    ASSERT_TRUE(d.Save(store));
    ProfileStore again(dir / "s.ini");
    again.Load();
    EXPECT_EQ(again.GetString("Directories", "Quillbox Data", ""), "/home/u/Notes");
    EXPECT_FALSE(again.HasKey("Directories", "Custom Import Formats"));  // imported: not saved
}

}  // namespace
}  // namespace qb

// Settings as the running reader keeps them: the Preferences sheet, the
// portable marker, the start-up .ini import and values written back.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolBar>

#include <gtest/gtest.h>

#include "app/settings.h"
#include "gui/app/commands.h"
#include "gui/app/preferences_sheet.h"
#include "gui_test_support.h"

namespace qb::testing {
namespace {

class SettingsTest : public ::testing::Test, public ReaderFixture {};

TEST_F(SettingsTest, PreferencesShowTheStoreAndApplyOnOkOnly) {
    std::string exports = dir / "exports";
    WriteSettings(
        "[QUILLBOX]\nWelcome=2\n[Quillbox]\nInitList=1\nActiveLinks=2\nPivotYear=2050\n"
        "ExportTextLineLength=64\nHTMLExportType=1\nHTMLEncodeSet=2\nCodePage=1251\n[Index "
        "Display]\n"
        "ShowTime=1\nGalleryImageSize=2\nDateColor=255\n");
    Start();
    {
        PreferencesSheet sheet(app->Core().GetSettings(), app->Core().Dirs(), dialogs, ui);
        QStringList pages;
        for (int i = 0; i < sheet.Pages()->count(); ++i)
            pages << sheet.Pages()->tabText(i);
        EXPECT_EQ(pages, QStringList({"Index Window", "Articles", "Display", "Files", "Export",
                                      "Tools", "Drives"}));
        EXPECT_EQ(sheet.windowTitle(), "Preferences");
        EXPECT_EQ(sheet.initList->checkedId(), 1);
        EXPECT_EQ(sheet.activeLinks->checkedId(), 2);
        EXPECT_TRUE(sheet.showTime->isChecked());
        EXPECT_EQ(sheet.galleryImageSize->checkedId(), 2);
        EXPECT_EQ(sheet.pivotUpper->value(), 2050);
        EXPECT_EQ(sheet.pivotLower->text(), "1951");
        EXPECT_EQ(sheet.dateColor->Value(), 255);
        EXPECT_EQ(sheet.exportLineLength->value(), 64);
        EXPECT_EQ(sheet.htmlEncodeSet->currentIndex(), 2);
        EXPECT_FALSE(sheet.welcome->isChecked());
        EXPECT_EQ(sheet.codePage->currentData().toInt(), 1251);
        EXPECT_EQ(sheet.codePage->currentText(), "Windows-1251 (Cyrillic)");
        EXPECT_EQ(sheet.codePage->count(), 10);

        // Cancel: the changed controls are dropped.
        sheet.showTime->setChecked(false);
    }
    EXPECT_EQ(app->Core().GetSettings().showTime, 1);

    dialogs.execResult = QDialog::Accepted;
    dialogs.onExec = [&](QDialog& d) {
        auto& sheet = static_cast<PreferencesSheet&>(d);
        sheet.initList->button(2)->setChecked(true);
        sheet.showTime->setChecked(false);
        sheet.activeLinks->button(0)->setChecked(true);
        sheet.pivotUpper->setValue(2030);
        sheet.largeButtons->setChecked(true);
        sheet.welcome->setChecked(true);
        sheet.onTop->setChecked(true);
        sheet.folders[int(FolderType::ImportExport)]->setText(QString::fromStdString(exports));
        sheet.loadLastFile->button(2)->setChecked(true);
        sheet.lastFileName->setText("notes.qbx");
        sheet.htmlExportType->button(2)->setChecked(true);
        sheet.htmlCustomSet->setText("utf-8");
        sheet.autoUpdateQuery->setChecked(false);
        sheet.codePage->setCurrentIndex(sheet.codePage->findData(1253));
    };
    Frame().RunCommand(cmd::kPreferences);
    ASSERT_EQ(dialogs.execs, std::vector<std::string>{"PreferencesSheet"});
    EXPECT_TRUE(Frame().windowFlags() & Qt::WindowStaysOnTopHint);  // applied at once
    EXPECT_EQ(Frame().Toolbar(Bar::Standard)->iconSize(), QSize(32, 32));

    // What a fresh read of the file gives.
    ProfileStore s = Stored();
    Settings fresh;
    fresh.Load(s);
    EXPECT_EQ(fresh.initList, 2);
    EXPECT_EQ(fresh.showTime, 0);
    EXPECT_EQ(fresh.activeLinks, 0);
    EXPECT_EQ(fresh.pivotYear, 2030);
    EXPECT_EQ(fresh.toolbarButtonSize, 1);
    EXPECT_EQ(fresh.welcome, 1);
    EXPECT_EQ(fresh.onTop, 1);
    EXPECT_EQ(fresh.loadLastFile, 2);
    EXPECT_EQ(fresh.lastFileName, "notes.qbx");
    EXPECT_EQ(fresh.htmlExportType, 2);
    EXPECT_EQ(fresh.htmlCustomSet, "utf-8");
    EXPECT_EQ(fresh.autoUpdateQuery, 0);
    EXPECT_EQ(fresh.codePage, 1253);
    EXPECT_EQ(fresh.dateColor, 255);  // untouched values survive
    EXPECT_EQ(s.GetString("Directories", "Import/Export", ""), exports);
}

TEST_F(SettingsTest, StoredSortOrderFiveIsWrittenBackAsZero) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n[Index Display]\nSortOrder=5\n");
    Start();
    dialogs.execResult = QDialog::Accepted;
    Frame().RunCommand(cmd::kPreferences);
    EXPECT_EQ(Stored().GetInt("Index Display", "SortOrder", -1), 0);
}

TEST_F(SettingsTest, PortableMarkerMatchingTheVolumeMakesPortableMode) {
    std::string ini = dir / "bin/quillbox-reader.ini";
    WriteFile(ini, "[Quillbox]\nPortable=1A2B-3C4D\n[QUILLBOX]\nWelcome=2\n");
    env.serial = 0x1a2b3c4d;
    Start();
    EXPECT_TRUE(app->Core().Location().portable);
    EXPECT_EQ(app->Core().Location().settingsPath, ini);
    Stop();
    // Everything went into the file beside the program, nothing elsewhere.
    ProfileStore s(ini);
    s.Load();
    EXPECT_TRUE(s.HasKey("Quillbox Display", "Width"));
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(SettingsTest, ForeignMarkerImportsTheIniIntoTheNormalStore) {
    std::string ini = dir / "bin/quillbox-reader.ini";
    WriteFile(ini,
              "[Quillbox]\nPortable=ffff-0000\n[Imported]\nCount=5\nPadded=05\nName=abc\n"
              "[QUILLBOX]\nWelcome=2\n");
    env.serial = 0x1a2b3c4d;
    Start();
    EXPECT_FALSE(app->Core().Location().portable);
    Stop();
    ProfileStore s = Stored();
    EXPECT_TRUE(s.IsIntegerValue("Imported", "Count"));
    EXPECT_EQ(s.GetInt("Imported", "Count", 0), 5);
    EXPECT_FALSE(s.IsIntegerValue("Imported", "Padded"));
    EXPECT_EQ(s.GetString("Imported", "Padded", ""), "05");
    EXPECT_FALSE(s.IsIntegerValue("Imported", "Name"));
    EXPECT_EQ(s.GetString("Imported", "Name", ""), "abc");
    EXPECT_EQ(s.GetInt("Quillbox", "UseIni", -1), 0);
}

TEST_F(SettingsTest, RemovableDriveIsPortableWithoutAnyFile) {
    env.removable = true;
    Start();
    EXPECT_TRUE(app->Core().Location().portable);
    dialogs.welcome.showAtStartup = false;
    Stop();
    EXPECT_TRUE(std::filesystem::exists(dir / "bin/quillbox-reader.ini"));
}

}  // namespace
}  // namespace qb::testing

// The Drives page of Preferences: the table, its buttons, the checks made
// when OK is pressed, and a saved section that the running reader and the
// next start both see exactly.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "app/drive_settings.h"
#include "app/settings.h"
#include "article/attachment_opener.h"
#include "article/link_targets.h"
#include "gui/app/commands.h"
#include "gui/app/drives_page.h"
#include "gui/app/preferences_sheet.h"
#include "gui_test_support.h"

namespace qb::testing {
namespace {

class DrivesPageTest : public ::testing::Test, public ReaderFixture {
protected:
    static QString Text(const DrivesPage& page, int row, int column) {
        QTableWidgetItem* item = page.Table()->item(row, column);
        return item ? item->text() : QString("<none>");
    }
    static void Type(DrivesPage& page, int row, int column, const QString& text) {
        page.Table()->item(row, column)->setText(text);
    }
    // Runs File > Preferences with `edit` acting on the Drives page.
    bool RunPreferences(const std::function<void(PreferencesSheet&, DrivesPage&)>& edit,
                        int answer = QDialog::Accepted) {
        dialogs.execResult = answer;
        dialogs.onExec = [&](QDialog& d) {
            auto& sheet = static_cast<PreferencesSheet&>(d);
            edit(sheet, *sheet.drives);
        };
        return app->RunPreferences();
    }
    DriveEntries Saved() { return Stored().SectionEntries("Drives"); }
};

TEST_F(DrivesPageTest, EditsAreSavedExactlyAndSurviveARestart) {
    WriteSettings(
        "[QUILLBOX]\nWelcome=2\n[Drives]\nC:=/mnt/c\nD:=/mnt/d\n\\\\srv\\share=/srv/share\n");
    Start();
    dialogs.folderName = "/media/e";
    ASSERT_TRUE(RunPreferences([&](PreferencesSheet& sheet, DrivesPage& page) {
        EXPECT_EQ(sheet.Pages()->tabText(sheet.Pages()->indexOf(&page)), "Drives");
        ASSERT_EQ(page.Table()->rowCount(), 3);
        EXPECT_EQ(Text(page, 2, 0), "\\\\srv\\share");
        EXPECT_EQ(Text(page, 2, 1), "/srv/share");

        page.Table()->selectRow(1);  // D:
        page.RemoveButton()->click();
        Type(page, 0, 1, "/mnt/windows");
        page.AddButton()->click();
        ASSERT_EQ(page.Table()->rowCount(), 3);
        Type(page, 2, 0, "e:");
        EXPECT_EQ(Text(page, 2, 0), "E:");  // shown as it will be stored
        page.BrowseButton()->click();       // the new row is current
        EXPECT_EQ(Text(page, 2, 1), "/media/e");
    }));
    EXPECT_EQ(dialogs.folderAsked, 1);
    const DriveEntries expected = {
        {"C:", "/mnt/windows"}, {"\\\\srv\\share", "/srv/share"}, {"E:", "/media/e"}};
    EXPECT_EQ(app->Core().GetSettings().drives, expected);
    EXPECT_EQ(Saved(), expected);

    Stop();
    Start();
    EXPECT_EQ(app->Core().GetSettings().drives, expected);  // D: did not come back
}

TEST_F(DrivesPageTest, CancelWritesNothing) {
    const std::string ini = "[QUILLBOX]\nWelcome=2\n[Drives]\nC:=/mnt/c\n";
    WriteSettings(ini);
    Start();
    EXPECT_FALSE(RunPreferences(
        [&](PreferencesSheet&, DrivesPage& page) {
            page.Table()->selectRow(0);
            page.RemoveButton()->click();
            page.AddButton()->click();
            Type(page, 0, 0, "F:");
            Type(page, 0, 1, "/media/f");
        },
        QDialog::Rejected));
    EXPECT_EQ(app->Core().GetSettings().drives, (DriveEntries{{"C:", "/mnt/c"}}));
    EXPECT_EQ(ReadFile(SettingsPath()), ini);
}

TEST_F(DrivesPageTest, ABadRowKeepsTheSheetOpenWithEverythingTyped) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n[Drives]\nC:=/mnt/c\n");
    Start();
    ASSERT_TRUE(RunPreferences([&](PreferencesSheet& sheet, DrivesPage& page) {
        sheet.showTime->setChecked(true);
        sheet.Pages()->setCurrentIndex(0);
        page.AddButton()->click();
        Type(page, 1, 0, "D");
        Type(page, 1, 1, "/mnt/d");
        sheet.accept();
        EXPECT_NE(sheet.result(), QDialog::Accepted);
        ASSERT_EQ(ui.Count(), 1u);
        EXPECT_EQ(ui.Last().icon, MessageIcon::Exclamation);
        EXPECT_EQ(ui.LastText().rfind("\"D\" is not a Windows drive or share.", 0), 0u);
        // The page and the cell to fix are current; nothing typed is gone.
        EXPECT_EQ(sheet.Pages()->currentWidget(), &page);
        EXPECT_EQ(page.Table()->currentRow(), 1);
        EXPECT_EQ(page.Table()->currentColumn(), int(DrivesPage::kKeyColumn));
        EXPECT_EQ(Text(page, 1, 1), "/mnt/d");
        EXPECT_TRUE(sheet.showTime->isChecked());

        Type(page, 1, 0, "d:");
        Type(page, 1, 1, "mnt/d");
        sheet.accept();
        EXPECT_NE(sheet.result(), QDialog::Accepted);
        EXPECT_EQ(page.Table()->currentColumn(), int(DrivesPage::kFolderColumn));
        EXPECT_EQ(ui.LastText(), "The Linux folder for D: must be a full path, beginning with /.");

        Type(page, 1, 1, "/mnt/d");
        sheet.accept();
        EXPECT_EQ(sheet.result(), QDialog::Accepted);
    }));
    EXPECT_EQ(Saved(), (DriveEntries{{"C:", "/mnt/c"}, {"D:", "/mnt/d"}}));
    EXPECT_EQ(Stored().GetInt("Index Display", "ShowTime", 0), 1);
}

TEST_F(DrivesPageTest, AnAnswerThatSkippedTheChecksSavesNothing) {
    const std::string ini = "[QUILLBOX]\nWelcome=2\n[Drives]\nC:=/mnt/c\n";
    WriteSettings(ini);
    Start();
    EXPECT_FALSE(RunPreferences([&](PreferencesSheet& sheet, DrivesPage& page) {
        sheet.showTime->setChecked(true);
        page.AddButton()->click();
        Type(page, 1, 0, "c:");  // C: twice
        Type(page, 1, 1, "/elsewhere");
    }));
    EXPECT_EQ(ui.LastText(), "C: is listed twice in the Drives settings.\nRemove one of them.");
    EXPECT_EQ(ReadFile(SettingsPath()), ini);
    EXPECT_EQ(app->Core().GetSettings().drives, (DriveEntries{{"C:", "/mnt/c"}}));
    EXPECT_EQ(app->Core().GetSettings().showTime, 0);
}

TEST_F(DrivesPageTest, BrowseStartsAtTheRowsFolderAndCancelChangesNothing) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n[Drives]\nC:=/mnt/c\n");
    Start();
    RunPreferences([&](PreferencesSheet&, DrivesPage& page) {
        EXPECT_FALSE(page.RemoveButton()->isEnabled());  // nothing current yet
        page.Table()->setCurrentCell(0, 1);
        EXPECT_TRUE(page.RemoveButton()->isEnabled());
        dialogs.folderName = std::nullopt;
        page.BrowseButton()->click();
        EXPECT_EQ(dialogs.folderStart, "/mnt/c");
        EXPECT_EQ(Text(page, 0, 1), "/mnt/c");

        // Without a current row the chosen folder starts a new one.
        page.Table()->setCurrentCell(-1, -1);
        dialogs.folderName = "/media/g";
        page.BrowseButton()->click();
        ASSERT_EQ(page.Table()->rowCount(), 2);
        EXPECT_EQ(Text(page, 1, 0), "");
        EXPECT_EQ(Text(page, 1, 1), "/media/g");
        // A row added and left empty is simply dropped.
        page.AddButton()->click();
        Type(page, 1, 0, "G:");
    });
    EXPECT_EQ(Saved(), (DriveEntries{{"C:", "/mnt/c"}, {"G:", "/media/g"}}));
}

TEST_F(DrivesPageTest, ANewMappingReachesTheOpenDocumentWithoutARestart) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    std::string file = dir / "notes.qbx";
    WriteDataFile(file);
    Start({file});
    ASSERT_NE(app->Document(), nullptr);
    WriteFile(dir / "d-drive/Reports/june.txt", "x");
    const std::string stored = "D:\\reports\\June.txt";
    auto resolve = [&] {
        TargetContext c = MakeTargetContext(*app->Document(), app->Document()->AppSettings());
        return ResolveStoredTarget(stored, c.linkBase, c.drive, c.drives);
    };
    EXPECT_EQ(resolve().missingKey, "D:");

    RunPreferences([&](PreferencesSheet&, DrivesPage& page) {
        page.AddButton()->click();
        Type(page, 0, 0, "d:");
        Type(page, 0, 1, QString::fromStdString(dir / "d-drive"));
    });
    ResolvedTarget r = resolve();
    ASSERT_TRUE(r.linux);
    EXPECT_EQ(*r.linux, dir / "d-drive/Reports/june.txt");

    // And removing it takes the mapping away again.
    RunPreferences([&](PreferencesSheet&, DrivesPage& page) {
        page.Table()->selectRow(0);
        page.RemoveButton()->click();
    });
    EXPECT_EQ(resolve().missingKey, "D:");
    EXPECT_TRUE(Saved().empty());
}

}  // namespace
}  // namespace qb::testing

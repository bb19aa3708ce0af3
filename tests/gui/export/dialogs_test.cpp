// The Export dialogs driven by code: the setup dialog's rules as the person
// clicks, the folder dialog with the Markdown options, the save dialog's
// types, suffix and Options button, and the port answering through them.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

#include "../app/gui_test_support.h"
#include "gui/export/export_dialogs.h"
#include "index/index_model.h"

namespace qb::testing {
namespace {

ExportContext QueryList(int64_t titles, int64_t highlighted = 0) {
    ExportContext c;
    c.titleMode = title_mode::kQuery;
    c.titleCount = titles;
    c.highlightedCount = highlighted;
    return c;
}

class ExportDialogsTest : public ::testing::Test {
protected:
    ExportDialogsTest() { EnsureQApplication(); }
};

TEST_F(ExportDialogsTest, SetupDialogFollowsTheRangeAndContentRules) {
    ExportSetup setup(ExportOptions{}, QueryList(3));
    ExportSetupDialog d(setup);
    // Only the ranges the windows offer can be chosen; the list's own is on.
    EXPECT_TRUE(d.RangeButton(ExportRange::kAll)->isEnabled());
    EXPECT_FALSE(d.RangeButton(ExportRange::kBookmarked)->isEnabled());
    EXPECT_FALSE(d.RangeButton(ExportRange::kCurrent)->isEnabled());
    EXPECT_FALSE(d.RangeButton(ExportRange::kHighlighted)->isEnabled());
    EXPECT_TRUE(d.RangeButton(ExportRange::kSelected)->isChecked());
    d.RangeButton(ExportRange::kAll)->click();
    EXPECT_EQ(setup.Range(), ExportRange::kAll);

    // Number Titles List only with titles alone.
    QCheckBox* numbers = d.FlagBox(export_flags::kNumbers);
    EXPECT_FALSE(numbers->isEnabled());
    for (uint16_t f : {export_flags::kDates, export_flags::kAttachments, export_flags::kKeywords,
                       export_flags::kContent})
        d.FlagBox(f)->click();
    ASSERT_TRUE(numbers->isEnabled());
    numbers->click();
    EXPECT_TRUE(setup.Has(export_flags::kNumbers));
    d.FlagBox(export_flags::kDates)->click();  // no longer titles only
    EXPECT_FALSE(numbers->isEnabled());
    EXPECT_FALSE(numbers->isChecked());
    EXPECT_FALSE(setup.Has(export_flags::kNumbers));

    // OK needs something besides the header.
    d.FlagBox(export_flags::kDates)->click();
    d.FlagBox(export_flags::kTitles)->click();
    EXPECT_FALSE(d.OkButton()->isEnabled());
    d.FlagBox(export_flags::kKeywords)->click();
    EXPECT_TRUE(d.OkButton()->isEnabled());

    d.SortButton(true)->click();
    d.OrderButton(true)->click();
    EXPECT_EQ(setup.Sort(), ExportSort::kDatesDescending);
    EXPECT_FALSE(setup.separateFiles);
    d.SeparateFiles()->click();
    EXPECT_TRUE(setup.separateFiles);
}

TEST_F(ExportDialogsTest, PortKeepsTheSetupOnlyOnOk) {
    ScriptedDialogs shell;
    QtExportDialogs port(shell, nullptr, {});
    ExportSetup setup(ExportOptions{}, QueryList(0));
    shell.onExec = [](QDialog& d) {
        auto& s = dynamic_cast<ExportSetupDialog&>(d);
        s.FlagBox(export_flags::kContent)->click();
        s.SeparateFiles()->click();
    };
    shell.execResult = QDialog::Rejected;
    EXPECT_FALSE(port.Setup(setup));
    EXPECT_TRUE(setup.Has(export_flags::kContent));
    EXPECT_FALSE(setup.separateFiles);

    shell.execResult = QDialog::Accepted;
    EXPECT_TRUE(port.Setup(setup));
    EXPECT_EQ(shell.execs.back(), "ExportSetup");
    EXPECT_FALSE(setup.Has(export_flags::kContent));
    EXPECT_TRUE(setup.separateFiles);
}

TEST_F(ExportDialogsTest, FolderDialogOffersMarkdownWithItsOptions) {
    ScriptedDialogs shell;
    int optionsOpened = 0;
    std::vector<ExportFileType> types = ExportFolderTypes();
    MarkdownOptions markdown;
    markdown.wikiLinks = true;
    ExportFolderDialog d(types, 0, "/start", markdown, shell, [&] { ++optionsOpened; });
    EXPECT_EQ(d.TypeList()->count(), 4);
    EXPECT_EQ(d.TypeList()->itemText(3), "Markdown notes folder");
    EXPECT_FALSE(d.wikiLinks->isEnabled());
    EXPECT_TRUE(d.wikiLinks->isChecked());
    d.TypeList()->setCurrentIndex(3);
    EXPECT_TRUE(d.wikiLinks->isEnabled());
    EXPECT_TRUE(d.includePrivate->isEnabled());
    EXPECT_TRUE(d.underline->isEnabled());

    shell.folderName = "/chosen";
    d.BrowseButton()->click();
    EXPECT_EQ(shell.folderStart, "/start");
    EXPECT_EQ(d.Folder(), "/chosen");
    d.OptionsButton()->click();
    EXPECT_EQ(optionsOpened, 1);
    d.FolderEdit()->clear();
    EXPECT_FALSE(d.OkButton()->isEnabled());
}

TEST_F(ExportDialogsTest, PortAnswersTheFolderDialog) {
    ScriptedDialogs shell;
    QtExportDialogs port(shell, nullptr, {});
    std::vector<ExportFileType> types = ExportFolderTypes();
    MarkdownOptions markdown;
    shell.onExec = [](QDialog& d) {
        auto& f = dynamic_cast<ExportFolderDialog&>(d);
        EXPECT_EQ(f.TypeList()->currentIndex(), 2);
        f.TypeList()->setCurrentIndex(3);
        f.headings->click();
        f.underline->click();
        f.FolderEdit()->setText("/notes");
    };
    EXPECT_FALSE(port.AskFolder(types, 2, "/x", markdown));
    EXPECT_FALSE(markdown.headings);  // cancelled: nothing kept

    shell.execResult = QDialog::Accepted;
    std::optional<ExportTarget> t = port.AskFolder(types, 2, "/x", markdown);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->path, "/notes");
    EXPECT_EQ(t->type, 3u);
    EXPECT_TRUE(markdown.headings);
    EXPECT_TRUE(markdown.underline);
    EXPECT_FALSE(markdown.wikiLinks);
}

TEST_F(ExportDialogsTest, SaveDialogHasTheTypesTheirSuffixesAndOptions) {
    std::vector<ExportFileType> types = ExportFileTypes();
    QStringList filters = ExportNameFilters(types);
    ASSERT_EQ(filters.size(), 5);
    // Qt reads patterns separated by spaces.
    EXPECT_EQ(filters[2], "HTML Files (*.htm *.html)");
    EXPECT_EQ(filters[4], "CSV (Comma-Separated Values) (*.csv)");

    TempDir dir;
    int optionsOpened = 0;
    std::unique_ptr<QFileDialog> d = MakeExportSaveDialog(
        types, 1, dir.Path(), "notes", [&] { ++optionsOpened; }, nullptr);
    EXPECT_EQ(d->windowTitle(), "Export Articles");
    EXPECT_EQ(d->selectedNameFilter(), filters[1]);
    EXPECT_EQ(d->defaultSuffix(), "rtf");
    d->selectNameFilter(filters[4]);
    emit d->filterSelected(filters[4]);
    EXPECT_EQ(d->defaultSuffix(), "csv");
    auto* options = d->findChild<QPushButton*>("ExportOptionsButton");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->text(), "O&ptions...");
    options->click();
    EXPECT_EQ(optionsOpened, 1);
}

TEST_F(ExportDialogsTest, PortAnswersTheSaveDialogWithTheChosenType) {
    TempDir dir;
    ScriptedDialogs shell;
    QtExportDialogs port(shell, nullptr, {});
    std::vector<ExportFileType> types = ExportFileTypes();
    std::string target = dir / "out.htm";
    shell.execResult = QDialog::Accepted;
    shell.onExec = [&](QDialog& d) {
        auto& f = dynamic_cast<QFileDialog&>(d);
        EXPECT_EQ(f.objectName(), "ExportSave");
        f.selectNameFilter(ExportNameFilters(types)[2]);
        f.selectFile(QString::fromStdString(target));
    };
    std::optional<ExportTarget> t = port.AskFile(types, 0, dir.Path(), "notes");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->path, target);
    EXPECT_EQ(t->type, 2u);
}

}  // namespace
}  // namespace qb::testing

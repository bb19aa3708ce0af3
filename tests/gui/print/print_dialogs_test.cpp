// The reader's print windows: the Page Setup sheet, the print dialog's
// article choices, and File > Print and Page Setup on the running frame.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include <filesystem>

#include "app/profile_store.h"
#include "gui/app/gui_test_support.h"
#include "gui/print/page_setup_sheet.h"
#include "gui/print/print_choices.h"
#include "gui/print/reader_print.h"
#include "resources/command_ids.h"
#include "richtext/rich_text.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"
#include "support/run_program.h"

namespace qb::testing {
namespace {

class PageSetupSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        locale.measurement = MeasurementSystem::Metric;
        locale.decimal = ",";
    }
    std::unique_ptr<PageSetupSheet> Sheet(const PageSetup& setup) {
        return std::make_unique<PageSetupSheet>(setup, locale, CodePage(), store, ui);
    }
    FixedLocale locale;
    TempDir dir;
    ProfileStore store{dir / "settings.ini"};
    RecordingUi ui;
};

TEST_F(PageSetupSheetTest, MarginsShowInTheLocalesUnitAndAreStoredInIt) {
    PageSetup setup;  // inches: left 0.75
    auto sheet = Sheet(setup);
    EXPECT_EQ(sheet->MarginField(MarginSide::kLeft)->text(), "1,91");  // 75 x 2.54 rounded
    EXPECT_EQ(sheet->MarginField(MarginSide::kTop)->text(), "1,27");
    sheet->MarginField(MarginSide::kTop)->setText("1,25");
    sheet->MarginField(MarginSide::kBottom)->setText("0.5");
    sheet->MarginField(MarginSide::kRight)->setText("");
    ASSERT_TRUE(sheet->Apply());
    const PageSetup& r = sheet->Result();
    EXPECT_EQ(r.units, kUnitsCentimetres);
    EXPECT_EQ(r.top, 125);
    EXPECT_EQ(r.bottom, 50);
    EXPECT_EQ(r.left, 191);
    EXPECT_EQ(r.right, 0);  // an empty field reads as 0
    EXPECT_TRUE(r.modified);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PageSetupSheetTest, ABadMarginKeepsTheSheetOpenWithItsMessage) {
    PageSetup setup;
    auto sheet = Sheet(setup);
    sheet->MarginField(MarginSide::kRight)->setText("-1");
    sheet->show();
    sheet->accept();
    EXPECT_TRUE(sheet->isVisible());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Enter a positive number in each of the Margins fields.");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(sheet->Result().right, 75);  // nothing taken
}

TEST_F(PageSetupSheetTest, CodeButtonsInsertIntoTheTextFieldThatLastHadTheFocus) {
    PageSetup setup;
    setup.header = "Notes";
    setup.footer = "Page ";
    auto sheet = Sheet(setup);
    // The header field at first, the selection replaced.
    sheet->HeaderField()->setSelection(0, 5);
    sheet->CodeButton('D')->click();
    EXPECT_EQ(sheet->HeaderField()->text(), "&D");
    EXPECT_EQ(sheet->CodeButton('P')->focusPolicy(), Qt::NoFocus);

    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(sheet->FooterField(), &in);
    sheet->FooterField()->setCursorPosition(5);
    sheet->FooterField()->deselect();
    sheet->CodeButton('P')->click();
    EXPECT_EQ(sheet->FooterField()->text(), "Page &P");
    sheet->CodeButton('T')->click();
    EXPECT_EQ(sheet->FooterField()->text(), "Page &P&T");
    ASSERT_TRUE(sheet->Apply());
    EXPECT_EQ(sheet->Result().header, "&D");
    EXPECT_EQ(sheet->Result().footer, "Page &P&T");
}

TEST_F(PageSetupSheetTest, SetAsDefaultAsksThenWritesTheSettings) {
    PageSetup setup;
    auto sheet = Sheet(setup);
    sheet->BoldTitles()->setChecked(true);
    sheet->Separation()->button(2)->setChecked(true);

    ui.results = {MessageResult::No};
    sheet->SetAsDefaultButton()->click();
    EXPECT_FALSE(store.HasSection("PageSetup"));

    ui.results = {MessageResult::Yes};
    sheet->SetAsDefaultButton()->click();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].buttons, MessageButtons::YesNo);
    ProfileStore stored(dir / "settings.ini");
    ASSERT_TRUE(stored.Load());
    EXPECT_EQ(stored.GetInt("PageSetup", "BoldTitles", -1), 1);
    EXPECT_EQ(stored.GetInt("PageSetup", "Separator", -1), 2);
    EXPECT_EQ(stored.GetInt("PageSetup", "Units", -1), kUnitsCentimetres);
    EXPECT_EQ(stored.GetInt("PageSetup", "LeftMargin", -1), 191);
}

TEST_F(PageSetupSheetTest, DatesAndKeywordsChangesAreReported) {
    PageSetup setup;
    auto sheet = Sheet(setup);
    ASSERT_TRUE(sheet->Apply());
    EXPECT_FALSE(sheet->DatesOrKeywordsChanged());
    sheet->PrintKeywords()->setChecked(false);
    ASSERT_TRUE(sheet->Apply());
    EXPECT_TRUE(sheet->DatesOrKeywordsChanged());
    EXPECT_FALSE(sheet->Result().printKeywords);
}

TEST(PrintChoicesTest, RangesFollowTheWindowsAndNumbersOnlyTitlesOnly) {
    EnsureQApplication();
    ExportContext context;  // no bookmarks, no article window, an empty title list
    PrintOptions options;
    PrintChoices choices(options, context, {});
    EXPECT_TRUE(choices.RangeButton(ExportRange::kAll)->isChecked());
    EXPECT_FALSE(choices.RangeButton(ExportRange::kBookmarked)->isEnabled());
    EXPECT_FALSE(choices.RangeButton(ExportRange::kCurrent)->isEnabled());
    EXPECT_FALSE(choices.FlagBox(export_flags::kNumbers)->isEnabled());

    for (uint16_t f : {export_flags::kDates, export_flags::kAttachments, export_flags::kKeywords,
                       export_flags::kContent})
        choices.FlagBox(f)->setChecked(false);
    ASSERT_TRUE(choices.FlagBox(export_flags::kNumbers)->isEnabled());
    choices.FlagBox(export_flags::kNumbers)->setChecked(true);
    EXPECT_TRUE(choices.Options().Numbered());
    // Leaving titles-only mode clears Number Titles List.
    choices.FlagBox(export_flags::kDates)->setChecked(true);
    EXPECT_FALSE(choices.FlagBox(export_flags::kNumbers)->isChecked());
    EXPECT_FALSE(choices.FlagBox(export_flags::kNumbers)->isEnabled());
    EXPECT_FALSE(choices.Options().Has(export_flags::kNumbers));

    choices.ByDate()->setChecked(true);
    choices.Descending()->setChecked(true);
    EXPECT_EQ(choices.Options().sort, ExportSort::kDatesDescending);

    bool okEnabled = true;
    QObject::connect(&choices, &PrintChoices::okEnabledChanged, [&](bool on) { okEnabled = on; });
    choices.FlagBox(export_flags::kTitles)->setChecked(false);
    choices.FlagBox(export_flags::kDates)->setChecked(false);
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(choices.OkEnabled());
}

TEST(PrintChoicesTest, TheCurrentArticleIsPreselectedAndPageSetupMovesDatesAndKeywords) {
    EnsureQApplication();
    ExportContext context;
    context.articleWindowActive = true;
    context.visibleBookmarks = 2;
    PrintOptions options;
    int asked = 0;
    PrintChoices choices(options, context, [&] {
        ++asked;
        PrintChoices::PageSetupAnswer a;
        a.changed = true;
        a.printDates = false;
        a.printKeywords = true;
        return a;
    });
    EXPECT_TRUE(choices.RangeButton(ExportRange::kCurrent)->isChecked());
    EXPECT_TRUE(choices.RangeButton(ExportRange::kBookmarked)->isEnabled());
    choices.FlagBox(export_flags::kKeywords)->setChecked(false);
    choices.PageSetupButton()->click();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(choices.FlagBox(export_flags::kDates)->isChecked());
    EXPECT_TRUE(choices.FlagBox(export_flags::kKeywords)->isChecked());
    EXPECT_EQ(choices.Options().range, ExportRange::kCurrent);
}

class ReaderPrintTest : public ::testing::Test, public ReaderFixture {
protected:
    std::string Demo() { return std::string(QB_BINARY_DIR) + "/samples/demo.qbx"; }
    void StartWithPrint(const std::string& file) {
        WriteSettings("[QUILLBOX]\nWelcome=2\n");
        app = std::make_unique<ReaderApp>(env, ui, dialogs);
        InstallIndexPlaceholder(*app);
        print = &InstallPrint(*app);
        app->Start({file});
        ProcessEvents();
    }
    ReaderPrint* print = nullptr;
};

TEST_F(ReaderPrintTest, PageSetupChangesLiveInMemoryForTheOpenFileOnly) {
    ASSERT_TRUE(std::filesystem::exists(Demo()));
    std::string copy = dir / "demo.qbx";
    std::filesystem::copy_file(Demo(), copy);
    std::string before = ReadFile(copy);
    StartWithPrint(copy);
    ASSERT_NE(app->Document(), nullptr);
    Frame().UpdateCommandStates();
    EXPECT_TRUE(Frame().Action(cmd::kFilePageSetup)->isEnabled());
    EXPECT_TRUE(Frame().Action(cmd::kFilePrint)->isEnabled());

    dialogs.execResult = QDialog::Accepted;
    dialogs.onExec = [](QDialog& d) {
        auto* sheet = dynamic_cast<PageSetupSheet*>(&d);
        ASSERT_NE(sheet, nullptr);
        sheet->BoldTitles()->setChecked(true);
        sheet->HeaderField()->setText("Mine &P");
        ASSERT_TRUE(sheet->Apply());
    };
    Frame().RunCommand(cmd::kFilePageSetup);
    ASSERT_EQ(dialogs.execs, std::vector<std::string>{"PageSetupSheet"});
    ASSERT_NE(print->CurrentPageSetup(), nullptr);
    EXPECT_TRUE(print->CurrentPageSetup()->boldTitles);
    EXPECT_EQ(print->CurrentPageSetup()->header, "Mine &P");
    EXPECT_EQ(ReadFile(copy), before);  // the data file is never written
    EXPECT_FALSE(Stored().HasSection("PageSetup"));

    // Opening the file again starts from what the file holds.
    app->CloseDocument();
    ProcessEvents();
    EXPECT_EQ(print->CurrentPageSetup(), nullptr);
    app->OpenDocument(copy, false);
    ProcessEvents();
    ASSERT_NE(print->CurrentPageSetup(), nullptr);
    EXPECT_NE(print->CurrentPageSetup()->header, "Mine &P");
}

TEST_F(ReaderPrintTest, PrintRunsTheDialogAndPrintsTheChosenArticles) {
    ASSERT_TRUE(std::filesystem::exists(Demo()));
    StartWithPrint(Demo());
    ASSERT_NE(app->Document(), nullptr);

    // Cancel prints nothing.
    Frame().RunCommand(cmd::kFilePrint);
    ASSERT_EQ(dialogs.execs, std::vector<std::string>{"PrintDialog"});

    std::string pdf = dir / "printed.pdf";
    dialogs.execResult = QDialog::Accepted;
    dialogs.onExec = [&](QDialog& d) {
        auto* dialog = dynamic_cast<QPrintDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(QString::fromStdString(pdf));
        auto* choices = dialog->findChild<PrintChoices*>();
        ASSERT_NE(choices, nullptr);
        choices->FlagBox(export_flags::kContent)->setChecked(false);
    };
    Frame().RunCommand(cmd::kFilePrint);
    ProcessEvents();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_FALSE(print->Options().Has(export_flags::kContent));
    std::string text = RunProgram("/usr/bin/pdftotext", {pdf, "-"}).out;
    EXPECT_NE(text.find("Autumn Fungi in the Beech Wood"), std::string::npos) << text;
    EXPECT_NE(text.find("Keywords: "), std::string::npos);
    EXPECT_EQ(text.find("Beefsteak fungus"), std::string::npos);  // no content
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress.back()->caption, "Quillbox Reader");
    EXPECT_FALSE(ui.progress.back()->open);
}

// A report prints through its own dialog, as one text with its tab stop.
TEST_F(ReaderPrintTest, AReportPrintsItsTextThroughTheReportDialog) {
    ASSERT_TRUE(std::filesystem::exists(Demo()));
    StartWithPrint(Demo());
    ASSERT_NE(app->Document(), nullptr);
    RichTextControl report;
    ASSERT_TRUE(report.StreamInRtf(
        "{\\rtf1\\ansi Keyword Usage\\par Birds\\tab 3\\par Fungi\\tab 12\\par}"));

    std::string pdf = dir / "report.pdf";
    std::string title;
    bool hasPageSetup = false;
    dialogs.execResult = QDialog::Accepted;
    dialogs.onExec = [&](QDialog& d) {
        auto* dialog = dynamic_cast<QPrintDialog*>(&d);
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle().toStdString();
        hasPageSetup = dialog->findChild<QPushButton*>("PageSetupButton") != nullptr;
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(QString::fromStdString(pdf));
    };
    print->PrintReport(report, 1440);
    ProcessEvents();
    EXPECT_EQ(title, "Print Index Report");
    EXPECT_TRUE(hasPageSetup);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    std::string text = RunProgram("/usr/bin/pdftotext", {"-layout", pdf, "-"}).out;
    EXPECT_NE(text.find("Keyword Usage"), std::string::npos) << text;
    EXPECT_NE(text.find("Fungi"), std::string::npos) << text;
    EXPECT_NE(text.find("12"), std::string::npos) << text;
}

}  // namespace
}  // namespace qb::testing

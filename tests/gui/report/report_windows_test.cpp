// The report windows in the running reader: each File > Report command
// opens its window once, the setup dialogs give the report's choices, the
// counts follow the private articles when the file is unlocked (after
// Update), Copy, Export and the Print hook.
#include <QAction>
#include <QFontDatabase>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "article/clipboard_copy.h"
#include "gui/app/gui_test_support.h"
#include "gui/platform/qt_font_families.h"
#include "gui/report/report_setup_dialogs.h"
#include "gui/report/report_view.h"
#include "gui/report/report_windows.h"
#include "platform/font_families.h"
#include "resources/command_ids.h"
#include "resources/strings.h"
#include "support/recording_clipboard.h"

namespace qb::testing {
namespace {

class NoFonts : public FontFamilies {
public:
    bool IsInstalled(std::string_view) const override { return false; }
};

// Wren (bookmarked), Oak and Robin with Birds; Chanterelle with Trees; the
// private "Hidden diary" with Secret; password "pw".
void WriteNotebook(const std::string& path) {
    qbw::Privacy privacy = qbw::MakePrivacy("pw", {}, {7, 7, 7});
    auto article = [](const char* title) {
        qbw::ArticleData a;
        a.title = title;
        a.articleDate = 20230405;
        a.richText = std::string("{\\rtf1 ") + title + "}";
        return a;
    };
    qbw::FileBuilder b;
    b.SetRecord(1, 0, qbw::EncodeArticleNew(article("Wren")));
    b.SetRecord(1, 1, qbw::EncodeArticleNew(article("Oak")));
    b.SetRecord(1, 2, qbw::EncodeArticleNew(article("Robin")));
    b.SetRecord(1, 3, qbw::EncodeArticleNew(article("Chanterelle")));
    qbw::ArticleData diary = article("Hidden diary");
    diary.flags = 0x0003;
    qbw::NewArticleOptions hidden;
    hidden.blobs.mode = qbw::BlobMode::kPrivate;
    hidden.blobs.contentKey = privacy.contentKey;
    b.SetRecord(1, 4, qbw::EncodeArticleNew(diary, hidden));
    b.SetRecord(0, 0, qbw::EncodeKeyword("Birds", {0, 1, 2}));
    b.SetRecord(0, 1, qbw::EncodeKeyword("Trees", {3}));
    b.SetRecord(0, 2, qbw::EncodeKeyword("Secret", {4}));
    b.SetRecord(3, 0, qbw::EncodeGroup("Nature", {0, 1}));
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({0}));
    b.SetStream(qbw::stream::kPrivacy, privacy.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({4}));
    b.WriteFile(path);
}

class ReportWindowsTest : public ::testing::Test, public ReaderFixture {
protected:
    void SetUp() override {
        std::string file = dir / "notes.qbx";
        WriteNotebook(file);
        WriteSettings("[QUILLBOX]\nWelcome=2\n");
        app = std::make_unique<ReaderApp>(env, ui, dialogs);
        InstallIndexPlaceholder(*app);
        app->AddFrameExtension(&InstallDocumentCommands);
        reports = &InstallReportWindows(*app, &writer, &fonts);
        app->Start({file});
        ProcessEvents();
        ASSERT_NE(app->Document(), nullptr);
    }
    void TearDown() override { Stop(); }

    CIndexReportView* Run(int command) {
        Frame().RunCommand(command);
        ProcessEvents();
        CIndexReportFrame* f = reports->Active();
        return f ? f->View() : nullptr;
    }
    static std::string Text(CIndexReportView* v) {
        return v->TextView()->toPlainText().toStdString();
    }
    // The setup dialog's answer: `script` chooses, then OK.
    void AnswerSetup(std::function<void(QDialog&)> script) {
        dialogs.execResult = QDialog::Accepted;
        dialogs.onExec = [script](QDialog& d) {
            script(d);
            d.accept();
        };
    }
    static void IncludeAll(ReportKeywordPicker* p) {
        p->SelectAllButton()->click();
        p->IncludeButton()->click();
    }

    RecordingClipboard clipboard;
    ClipboardWriter writer{clipboard, ui};
    NoFonts fonts;
    ReaderReportWindows* reports = nullptr;
};

TEST_F(ReportWindowsTest, EachReportOpensOnceAndShowsItsText) {
    CIndexReportView* groups = Run(cmd::kKeywordGroupReport);
    ASSERT_NE(groups, nullptr);
    EXPECT_EQ(groups->windowTitle(), "Keyword Group Report");
    EXPECT_EQ(Text(groups), "Nature\n\t[2 keywords]\n\t\tBirds\n\t\tTrees\n\n");
    EXPECT_EQ(Frame().statusBar()->currentMessage().toStdString(),
              ResourceString(msg::kGroupReportPrompt));
    CIndexReportView* cloud = Run(cmd::kKeywordCloudReport);
    ASSERT_NE(cloud, nullptr);
    EXPECT_EQ(Text(cloud).find("Secret"), std::string::npos);  // hidden while locked
    EXPECT_NE(Text(cloud).find("Birds"), std::string::npos);
    // Running a command again brings its window forward; nothing new opens.
    EXPECT_EQ(Run(cmd::kKeywordGroupReport), groups);
    EXPECT_EQ(reports->Frames().size(), 2u);
    EXPECT_TRUE(dialogs.execs.empty());  // neither has a setup dialog

    AnswerSetup([](QDialog& d) {
        auto& dlg = dynamic_cast<CUsageReportSetupDlg&>(d);
        EXPECT_EQ(dlg.NoMoreThan()->value(), 5);  // every article of the file
        IncludeAll(dlg.Picker());
        dlg.AtLeast()->setValue(1);
        dlg.ByCount()->setChecked(true);
        dlg.Descending()->setChecked(true);
    });
    CIndexReportView* usage = Run(cmd::kKeywordUsageReport);
    ASSERT_NE(usage, nullptr);
    EXPECT_EQ(dialogs.execs, (std::vector<std::string>{"CUsageReportSetupDlg"}));
    EXPECT_EQ(Text(usage), "# of Articles\tKeyword\n3\t\tBirds\n1\t\tTrees\n");

    AnswerSetup([](QDialog& d) {
        auto& dlg = dynamic_cast<CIndexReportSetupDlg&>(d);
        EXPECT_FALSE(dlg.OkButton()->isEnabled());  // nothing included yet
        QListWidget* available = dlg.Picker()->Available();
        available->item(0)->setSelected(true);  // Birds, the first by name
        dlg.Picker()->IncludeButton()->click();
        EXPECT_TRUE(dlg.OkButton()->isEnabled());
        EXPECT_TRUE(dlg.RangeButton(ReportRange::kBookmarked)->isEnabled());
        EXPECT_FALSE(dlg.RangeButton(ReportRange::kSelected)->isEnabled());  // no index hooks
        dlg.RangeButton(ReportRange::kBookmarked)->setChecked(true);
    });
    CIndexReportView* index = Run(cmd::kIndexReport);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->windowTitle(), "Index Report");
    EXPECT_EQ(Text(index), "Birds\n\tWren\n\n");
    EXPECT_EQ(reports->Frames().size(), 4u);
}

TEST_F(ReportWindowsTest, CancelledSetupOpensNothing) {
    dialogs.execResult = QDialog::Rejected;
    bool shown = true;
    dialogs.onExec = [&shown](QDialog& d) {
        auto& dlg = dynamic_cast<CIndexReportSetupDlg&>(d);
        shown = dlg.ShowsMore();
        dlg.MoreButton()->click();
    };
    EXPECT_EQ(Run(cmd::kIndexReport), nullptr);
    EXPECT_TRUE(reports->Frames().empty());
    EXPECT_FALSE(shown);  // IndexReportMode 0: Report Range and Dates hidden
    // The Less/More state is kept for the next time, even after Cancel.
    EXPECT_EQ(Stored().GetInt("Quillbox", "IndexReportMode", -1), 1);
}

TEST_F(ReportWindowsTest, UnlockingMakesReportsOutdatedUntilUpdate) {
    AnswerSetup([](QDialog& d) { IncludeAll(dynamic_cast<CUsageReportSetupDlg&>(d).Picker()); });
    CIndexReportView* usage = Run(cmd::kKeywordUsageReport);
    ASSERT_NE(usage, nullptr);
    EXPECT_EQ(Text(usage), "# of Articles\tKeyword\n3\t\tBirds\n0\t\tSecret\n1\t\tTrees\n");
    EXPECT_TRUE(usage->ExportButton()->isEnabled());
    EXPECT_FALSE(usage->UpdateButton()->isEnabled());

    ASSERT_TRUE(app->Document()->CheckPassword("pw"));
    app->RefreshDocumentViews();
    EXPECT_FALSE(usage->ExportButton()->isEnabled());
    EXPECT_TRUE(usage->UpdateButton()->isEnabled());
    QTextCursor c(usage->TextView()->document());
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().foreground().color(),
              usage->palette().color(QPalette::Disabled, QPalette::Text));

    usage->UpdateButton()->click();
    EXPECT_EQ(Text(usage), "# of Articles\tKeyword\n3\t\tBirds\n1\t\tSecret\n1\t\tTrees\n");
    EXPECT_TRUE(usage->ExportButton()->isEnabled());
    EXPECT_FALSE(usage->UpdateButton()->isEnabled());
}

TEST_F(ReportWindowsTest, CopyExportPrintAndClose) {
    CIndexReportView* groups = Run(cmd::kKeywordGroupReport);
    ASSERT_NE(groups, nullptr);
    QAction* copy = Frame().Action(cmd::kEditCopy);
    Frame().UpdateCommandStates();
    EXPECT_FALSE(copy->isEnabled());  // nothing selected
    Frame().RunCommand(cmd::kEditSelectAll);
    Frame().UpdateCommandStates();
    EXPECT_TRUE(copy->isEnabled());
    Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.placed, 1);

    std::string target = dir / "groups.htm";
    dialogs.saveName = target;
    groups->ExportButton()->click();
    EXPECT_EQ(dialogs.saveTitle, "Export Keyword Group Report");
    EXPECT_EQ(dialogs.saveProposed, "notes");
    EXPECT_NE(ReadFile(target).find("<a name=\"Group1\"><h3>Nature</h3></a>"), std::string::npos);

    EXPECT_FALSE(groups->PrintButton()->isEnabled());  // until printing is wired
    int printed = 0;
    reports->SetPrintAction([&printed](CIndexReportView&) { ++printed; });
    EXPECT_TRUE(groups->PrintButton()->isEnabled());
    groups->PrintButton()->click();
    EXPECT_EQ(printed, 1);
    Frame().RunCommand(cmd::kFilePrint);  // File > Print of the active report
    EXPECT_EQ(printed, 2);

    groups->CloseButton()->click();
    ProcessEvents();
    EXPECT_TRUE(reports->Frames().empty());
}

TEST_F(ReportWindowsTest, NewTextColourRecoloursTheCloudAtUpdate) {
    CIndexReportView* cloud = Run(cmd::kKeywordCloudReport);
    ASSERT_NE(cloud, nullptr);
    ASSERT_FALSE(cloud->Model().Current().cloudLines.empty());
    EXPECT_EQ(cloud->Model().Current().cloudLines[0].rfind("<FONT COLOR=\"#000000\"", 0), 0u);
    app->Core().GetSettings().customTextColor = 0x0000FF;  // red, 0x00BBGGRR
    reports->DisplaySettingsChanged();
    EXPECT_TRUE(cloud->Model().IsOutdated());
    cloud->UpdateButton()->click();
    EXPECT_FALSE(cloud->Model().IsOutdated());
    EXPECT_EQ(cloud->Model().Current().cloudLines[0].rfind("<FONT COLOR=\"#ff0000\"", 0), 0u);
}

TEST(QtFontFamiliesTest, KnowsInstalledFamiliesWhateverTheirCase) {
    EnsureQApplication();
    QtFontFamilies fonts;
    QStringList families = QFontDatabase::families();
    if (!families.isEmpty()) {
        EXPECT_TRUE(fonts.IsInstalled(families.front().toUpper().toStdString()));
    }
    EXPECT_FALSE(fonts.IsInstalled("No Such Family 8472"));
    EXPECT_FALSE(fonts.IsInstalled(""));
}

}  // namespace
}  // namespace qb::testing

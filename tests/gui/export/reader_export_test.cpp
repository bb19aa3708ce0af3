// File > Export... in the running reader over a file written by the test
// writer: the real dialogs answered by code from the index window and from
// an article window, the ranges read from the windows, Preferences opened
// at the Export page, the progress window serving events, and the main
// window and document kept while an export runs.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "../app/gui_test_support.h"
#include "gui/app/preferences_sheet.h"
#include "gui/article/article_frame.h"
#include "gui/article/article_windows.h"
#include "gui/export/export_dialogs.h"
#include "gui/export/pumped_progress.h"
#include "gui/export/reader_export.h"
#include "gui/index/index_window.h"
#include "gui/platform/qt_progress.h"
#include "resources/command_ids.h"

namespace qb::testing {
namespace {

// A Ui whose progress windows run `onText` at their first text: what the
// person may do while an export runs.
class ActingUi : public RecordingUi {
public:
    std::function<void()> onText;
    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
        class Window : public ProgressWindow {
        public:
            Window(std::unique_ptr<ProgressWindow> inner, ActingUi& ui)
                : inner_(std::move(inner)), ui_(ui) {}
            void SetText(const std::string& t) override {
                inner_->SetText(t);
                if (auto act = std::exchange(ui_.onText, nullptr)) act();
            }
            void SetRange(int64_t r) override { inner_->SetRange(r); }
            void SetPosition(int64_t p) override { inner_->SetPosition(p); }
            bool Cancelled() const override { return inner_->Cancelled(); }

        private:
            std::unique_ptr<ProgressWindow> inner_;
            ActingUi& ui_;
        };
        return std::make_unique<Window>(RecordingUi::OpenProgress(caption), *this);
    }
};

class ReaderExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        path = r.dir / "notes.qbx";
        qbw::FileBuilder b;
        const char* titles[] = {"Wren", "Avocet", "Kestrel"};
        for (int32_t id = 0; id < 3; ++id) {
            qbw::ArticleData a;
            a.title = titles[id];
            a.articleDate = a.createdDate = a.modifiedDate = 20240101 + id;
            a.keywordIds = {0};
            a.richText = std::string("{\\rtf1\\ansi About the ") + titles[id] + "\\par}";
            b.SetRecord(1, id, qbw::EncodeArticleNew(a));
        }
        b.SetRecord(0, 0, qbw::EncodeKeyword("Birds", {0, 1, 2}));
        b.WriteFile(path);
        r.app = std::make_unique<ReaderApp>(r.env, ui, r.dialogs);
        ReaderIndexWindows& index = InstallIndexWindow(*r.app);
        exporter = &InstallExport(*r.app);
        articles = &InstallArticleWindows(*r.app);
        index.SetArticleWindowHooks(articles->Hooks());
        exporter->Connect(*articles, index.FindHooks());
        r.app->AddFrameExtension(&InstallDocumentCommands);
        r.app->Start({path});
        ProcessEvents();
        ASSERT_NE(r.app->Document(), nullptr);
    }
    void TearDown() override { r.Stop(); }
    // Answers the setup dialog with `setup` and the save dialog with
    // `target` of the type `filter`.
    void Answer(std::function<void(ExportSetupDialog&)> setup, const std::string& target,
                int filter) {
        r.dialogs.execResult = QDialog::Accepted;
        r.dialogs.onExec = [=, this](QDialog& d) {
            if (auto* s = dynamic_cast<ExportSetupDialog*>(&d)) {
                if (setup) setup(*s);
            } else if (auto* f = dynamic_cast<QFileDialog*>(&d)) {
                proposed = f->selectedFiles().value(0).toStdString();
                f->selectNameFilter(ExportNameFilters(ExportFileTypes())[filter]);
                f->selectFile(QString::fromStdString(target));
            }
        };
    }
    void RunExport() {
        r.dialogs.execs.clear();
        r.Frame().UpdateCommandStates();
        ASSERT_TRUE(r.Frame().Action(cmd::kFileExport)->isEnabled());
        r.Frame().RunCommand(cmd::kFileExport);
        ProcessEvents();
    }

    ReaderFixture r;
    ActingUi ui;
    std::string path;
    std::string proposed;
    ReaderExport* exporter = nullptr;
    ReaderArticleWindows* articles = nullptr;
};

TEST_F(ReaderExportTest, ExportsAllTitlesInOrderFromTheIndexWindow) {
    std::string target = r.dir / "birds.txt";
    bool allChosen = false;
    Answer(
        [&](ExportSetupDialog& s) {
            allChosen = s.RangeButton(ExportRange::kAll)->isChecked();
            EXPECT_FALSE(s.RangeButton(ExportRange::kCurrent)->isEnabled());
        },
        target, 0);
    RunExport();
    EXPECT_TRUE(allChosen);
    EXPECT_EQ(r.dialogs.execs, (std::vector<std::string>{"ExportSetup", "ExportSave"}));
    EXPECT_NE(proposed.find("notes"), std::string::npos) << proposed;
    ASSERT_TRUE(exporter->LastResult().Succeeded()) << ui.LastText();
    std::string text = ReadFile(target);
    size_t avocet = text.find("Avocet"), kestrel = text.find("Kestrel"), wren = text.find("Wren");
    ASSERT_NE(avocet, std::string::npos) << text;
    EXPECT_LT(avocet, kestrel);
    EXPECT_LT(kestrel, wren);
    EXPECT_NE(text.find("About the Kestrel"), std::string::npos);
    // The progress window was up and is gone; the folder is remembered.
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_FALSE(ui.progress.back()->open);
    EXPECT_EQ(r.app->Core().Dirs().Folder(FolderType::ImportExport), r.dir.Path());
    EXPECT_EQ(exporter->Options().fileType, 1);
}

TEST_F(ReaderExportTest, ArticleWindowExportsItsArticleAsHtml) {
    ASSERT_NE(articles->Open(2), nullptr);
    ProcessEvents();
    ExportWindows w = exporter->Windows();
    EXPECT_TRUE(w.context.articleWindowActive);
    EXPECT_EQ(w.ranges.current, 2);
    EXPECT_EQ(w.currentTitle, "Kestrel");

    std::string target = r.dir / "kestrel.htm";
    bool currentChosen = false;
    Answer(
        [&](ExportSetupDialog& s) {
            currentChosen = s.RangeButton(ExportRange::kCurrent)->isChecked();
        },
        target, 2);
    RunExport();
    EXPECT_TRUE(currentChosen);
    EXPECT_NE(proposed.find("Kestrel"), std::string::npos) << proposed;
    ASSERT_TRUE(exporter->LastResult().Succeeded()) << ui.LastText();
    std::string html = ReadFile(target);
    EXPECT_NE(html.find("Kestrel"), std::string::npos);
    EXPECT_EQ(html.find("Avocet"), std::string::npos);
    EXPECT_EQ(exporter->Options().fileType, 3);
}

TEST_F(ReaderExportTest, OptionsOpensPreferencesAtTheExportPageAndUtf8IsKept) {
    std::string target = r.dir / "birds.txt";
    int sheets = 0;
    r.dialogs.execResult = QDialog::Accepted;
    r.dialogs.onExec = [&](QDialog& d) {
        if (auto* f = dynamic_cast<QFileDialog*>(&d)) {
            f->findChild<QAbstractButton*>("ExportOptionsButton")->click();
            f->selectFile(QString::fromStdString(target));
        } else if (auto* p = dynamic_cast<PreferencesSheet*>(&d)) {
            ++sheets;
            EXPECT_EQ(p->Pages()->currentWidget()->objectName(), "CPrefExport");
            p->exportTextEncoding->setCurrentIndex(p->exportTextEncoding->findData(1));
        }
    };
    RunExport();
    EXPECT_EQ(sheets, 1);
    EXPECT_EQ(r.app->Core().GetSettings().exportTextEncoding, 1);
    EXPECT_TRUE(exporter->LastResult().Succeeded()) << ui.LastText();
}

TEST_F(ReaderExportTest, MainWindowAndDocumentStayWhileTheExportRuns) {
    std::string target = r.dir / "birds.txt";
    Answer(nullptr, target, 0);
    bool stillOpen = false, exportDisabled = false;
    ui.onText = [&] {
        r.Frame().close();
        r.app->CloseDocument();
        ProcessEvents();
        stillOpen = r.app->Document() != nullptr && r.Frame().isVisible();
        r.Frame().UpdateCommandStates();
        exportDisabled = !r.Frame().Action(cmd::kFileExport)->isEnabled();
        EXPECT_FALSE(exporter->Run());  // no second export inside the first
    };
    RunExport();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(exportDisabled);
    EXPECT_TRUE(exporter->LastResult().Succeeded()) << ui.LastText();
    EXPECT_NE(ReadFile(target).find("Wren"), std::string::npos);
    // Afterwards the file closes as usual.
    r.app->CloseDocument();
    EXPECT_EQ(r.app->Document(), nullptr);
}

// The reader's own progress window: a click on its Cancel, which only the
// events served during the run deliver, stops the export.
class QtProgressUi : public RecordingUi {
public:
    QWidget* owner = nullptr;
    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
        return std::make_unique<QtProgressWindow>(owner, caption);
    }
};

TEST_F(ReaderExportTest, CancelInTheProgressWindowStopsTheExport) {
    QtProgressUi progressUi;
    progressUi.owner = &r.Frame();
    std::string target = r.dir / "birds.txt";
    Answer(nullptr, target, 0);
    bool clicked = false, frameDisabled = false;
    std::function<void()> clickCancel = [&] {
        auto* cancel = r.Frame().findChild<QPushButton*>("ProgressCancel");
        if (!cancel) {
            QTimer::singleShot(0, clickCancel);
            return;
        }
        frameDisabled = !r.Frame().isEnabled();
        cancel->click();
        clicked = true;
    };
    QTimer::singleShot(0, clickCancel);
    exporter->SetProgress(&progressUi);
    RunExport();
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(frameDisabled);
    EXPECT_FALSE(exporter->LastResult().Succeeded());
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(r.Frame().isEnabled());
    EXPECT_EQ(r.Frame().findChild<QPushButton*>("ProgressCancel"), nullptr);
}

TEST(PumpedProgressTest, ServesEventsAtMostOncePerInterval) {
    EnsureQApplication();
    RecordingUi ui;
    PumpedProgress pump(ui, 10000);
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    std::unique_ptr<ProgressWindow> w = pump.OpenProgress("Export");
    EXPECT_TRUE(fired);  // served when the window opened
    int after = pump.Pumps();
    for (int i = 0; i < 100; ++i) {
        w->SetText("x");
        w->SetPosition(i);
        (void)w->Cancelled();
    }
    EXPECT_EQ(pump.Pumps(), after);  // the interval has not passed
    EXPECT_EQ(ui.progress.back()->texts.size(), 100u);

    PumpedProgress eager(ui, 0);
    std::unique_ptr<ProgressWindow> e = eager.OpenProgress("Export");
    bool later = false;
    QTimer::singleShot(0, [&] { later = true; });
    (void)e->Cancelled();
    EXPECT_TRUE(later);
}

}  // namespace
}  // namespace qb::testing

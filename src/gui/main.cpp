// quillbox-reader: the Qt reader. `--screenshot OUT.png [FILE]` starts as
// usual without asking anything, opens FILE, renders the main window at
// 1024 x 768 into OUT.png once start-up has finished, and exits.
// `--print-pdf OUT.pdf FILE` prints FILE's articles into a PDF without a
// window (pdf_print.h).
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/program_version.h"
#include "app/reader_options.h"
#include "app/system_env.h"
#include "article/clipboard_copy.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/article/article_windows.h"
#include "gui/article/reader_find.h"
#include "gui/document/document_commands.h"
#include "gui/export/reader_export.h"
#include "gui/index/index_view.h"
#include "gui/index/index_window.h"
#include "gui/platform/qt_clipboard.h"
#include "gui/platform/qt_ui.h"
#include "gui/print/pdf_print.h"
#include "gui/print/reader_print.h"
#include "gui/report/report_view.h"
#include "gui/report/report_windows.h"
#include "gui/update/reader_update.h"
#include "resources/command_ids.h"

namespace {

// For unattended runs: every message goes to stderr and is answered with
// its safe choice; passwords are cancelled.
class UnattendedUi : public qb::Ui {
public:
    qb::MessageResult MessageBox(const std::string& text, qb::MessageIcon,
                                 qb::MessageButtons buttons) override {
        std::fprintf(stderr, "quillbox-reader: %s\n", text.c_str());
        switch (buttons) {
            case qb::MessageButtons::Ok:
                return qb::MessageResult::Ok;
            case qb::MessageButtons::YesNo:
                return qb::MessageResult::No;
            default:
                return qb::MessageResult::Cancel;
        }
    }
    bool AskPassword(const std::string&, const std::function<bool(const std::string&)>&) override {
        return false;
    }
};

class UnattendedDialogs : public qb::ShellDialogs {
public:
    int Exec(QDialog&) override { return QDialog::Rejected; }
    qb::NewerFormatChoice AskNewerFormat(const std::string&, QWidget*) override {
        return qb::NewerFormatChoice::OpenReadOnly;  // reading is all the reader does
    }
    qb::WelcomeResult ShowWelcome(const std::vector<std::string>&, bool showAtStartup,
                                  QWidget*) override {
        qb::WelcomeResult r;
        r.showAtStartup = showAtStartup;
        return r;
    }
    std::optional<std::string> AskOpenFileName(const std::string&, const std::string&,
                                               QWidget*) override {
        return std::nullopt;
    }
    std::optional<std::string> AskSaveFileName(const std::string&, const std::string&,
                                               const std::string&, const std::string&,
                                               const std::string&, QWidget*) override {
        return std::nullopt;
    }
};

void Configure(qb::ReaderApp& app, qb::ClipboardWriter& clipboard) {
    // The index window first: the article windows pass the commands they
    // share with it on to it.
    qb::ReaderIndexWindows& index = qb::InstallIndexWindow(app, &clipboard);
    // Find before the article windows, which pass it on while none is active.
    qb::ReaderFind& find = qb::InstallFind(app);
    // Export and Print too: the article windows pass them on.
    qb::ReaderExport& exporter = qb::InstallExport(app);
    qb::ReaderPrint& print = qb::InstallPrint(app);
    qb::ReaderArticleWindows& articles =
        qb::InstallArticleWindows(app, nullptr, nullptr, &clipboard);
    index.SetArticleWindowHooks(articles.Hooks());
    find.Connect(articles, index.FindHooks());
    exporter.Connect(articles, index.FindHooks());
    index.SetTitleListListener(find.TitleListNotices());
    qb::FindIndexHooks lists = index.FindHooks();
    qb::ArticleWindowHooks windows = articles.Hooks();
    qb::PrintWindowHooks printHooks;
    printHooks.context = [&app, lists, windows] {
        qb::ExportContext c;
        c.articleWindowActive = windows.active && windows.active().has_value();
        if (qb::CIndexView* view = qb::ActiveIndexView(app)) c.titleMode = view->TitleMode();
        if (lists.titleCount) c.titleCount = lists.titleCount();
        if (lists.highlightedCount) c.highlightedCount = lists.highlightedCount();
        return c;
    };
    printHooks.ranges = [lists, windows] {
        qb::ExportRanges r;
        if (lists.titleList) r.selected = lists.titleList();
        if (lists.highlighted) r.highlighted = lists.highlighted();
        if (windows.active) r.current = windows.active();
        return r;
    };
    print.SetWindowHooks(std::move(printHooks));
    articles.SetArticleCommand(qb::cmd::kFilePrint, [&print](qb::CArticleView&) { print.Print(); });
    // After the article windows: Copy and Select All reach them and the
    // index window while no report window is active. Print is wired by
    // ReaderReportWindows::SetPrintAction.
    qb::ReaderReportWindows& reports = qb::InstallReportWindows(app, &clipboard);
    reports.SetIndexHooks(index.FindHooks());
    reports.SetPrintAction([&print](qb::CIndexReportView& view) {
        // The usage report's columns keep their tab stop on paper.
        const qb::RichTextControl& text = view.Model().Control();
        std::optional<int32_t> tab;
        if (text.ParagraphCount() > 0 && !text.ParagraphFormat(0).tabs.empty())
            tab = text.ParagraphFormat(0).tabs.front().position;
        print.PrintReport(text, tab);
    });
    app.AddFrameExtension(&qb::InstallDocumentCommands);
    // Help > Check for Quillbox Reader Update...: the only way a check starts.
    qb::InstallUpdateCheck(app);
}

}  // namespace

int main(int argc, char** argv) {
    qb::ReaderOptions options =
        qb::ParseReaderOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::fprintf(stderr, "quillbox-reader: %s\n%s", options.error.c_str(), qb::ReaderUsage());
        return 2;
    }
    if (options.showHelp) {
        std::fputs(qb::ReaderUsage(), stdout);
        return 0;
    }
    if (options.showVersion) {
        std::printf("%s\n", qb::VersionLine("quillbox-reader").c_str());
        return 0;
    }
    const std::vector<std::string>& args = options.files;
    const std::string& screenshot = options.screenshot;

    if (!options.printPdf.empty()) {
        // No window is shown: without a display the PDF is made offscreen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication qapp(argc, argv);
        QApplication::setApplicationName("Quillbox Reader");
        qb::LinuxSystemEnv env;
        UnattendedUi ui;
        return qb::PrintFileToPdf(options, env, ui);
    }

    QApplication qapp(argc, argv);
    QApplication::setApplicationName("Quillbox Reader");
    QApplication::setApplicationVersion(QString::fromStdString(qb::OwnProgramVersion().text));
    QApplication::setOrganizationName("Tarnwick Software");
    QApplication::setDesktopFileName("quillbox-reader");
    QApplication::setWindowIcon(QIcon::fromTheme("quillbox-reader"));

    qb::LinuxSystemEnv env;
    // One clipboard and one writer for every window: a desktop without a
    // clipboard is said once.
    qb::QtClipboard clipboard;
    if (screenshot.empty()) {
        qb::QtUi ui;
        qb::ShellDialogs dialogs;
        qb::ReaderApp app(env, ui, dialogs);
        qb::ClipboardWriter clipboardWriter(clipboard, ui);
        Configure(app, clipboardWriter);
        app.Start(args);
        return qapp.exec();
    }

    UnattendedUi ui;
    UnattendedDialogs dialogs;
    qb::ReaderApp app(env, ui, dialogs);
    qb::ClipboardWriter clipboardWriter(clipboard, ui);
    Configure(app, clipboardWriter);
    app.Start(args);
    int status = 1;
    // Posted start-up commands run first; the picture is taken after them.
    std::function<void()> shoot;
    shoot = [&] {
        if (app.PendingCommands() > 0) {
            QTimer::singleShot(0, shoot);
            return;
        }
        qb::CMainFrame* frame = app.Frame();
        frame->showNormal();
        frame->resize(1024, 768);
        QApplication::processEvents();
        QPixmap picture = frame->grab();
        if (picture.save(QString::fromStdString(screenshot), "PNG")) {
            status = 0;
        } else {
            std::fprintf(stderr, "quillbox-reader: cannot write %s\n", screenshot.c_str());
        }
        frame->close();
        qapp.quit();
    };
    QTimer::singleShot(50, shoot);
    qapp.exec();
    return status;
}

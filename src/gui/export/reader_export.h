// File > Export... in the reader: one command on the index window and on
// every article window. It reads the windows (the title list, its
// highlighted titles, the active article window), runs RunExportCommand over
// the Qt dialogs, and keeps the options for the program's run. The export
// runs to its end inside the command; its progress window serves events
// (PumpedProgress) and the document and main window are kept open until it
// has ended.
#pragma once

#include <memory>

#include "export/export_command.h"
#include "gui/app/article_window_hooks.h"
#include "gui/app/find_index_hooks.h"

namespace qb {

class CMainFrame;
class ReaderApp;
class ReaderArticleWindows;

class ReaderExport : public std::enable_shared_from_this<ReaderExport> {
public:
    explicit ReaderExport(ReaderApp& app);
    ~ReaderExport();

    // The windows the command reads; also puts the command on the article
    // windows.
    void Connect(ReaderArticleWindows& articles, FindIndexHooks index);
    void RegisterCommands(CMainFrame& frame);

    // What the command reads of the windows now.
    ExportWindows Windows() const;
    // The command: false when it did not start (no document, or an export
    // already running).
    bool Run();
    bool Running() const { return running_; }
    ExportResult LastResult() const { return last_; }

    // Tests answer the dialogs; null gives back the Qt ones. Progress
    // windows open through the Ui's port unless one is set here.
    void SetDialogs(ExportDialogs* dialogs) { dialogs_ = dialogs; }
    void SetProgress(ProgressPort* progress) { progress_ = progress; }
    ExportOptions& Options() { return options_; }

private:
    ReaderApp& app_;
    ArticleWindowHooks articles_;
    FindIndexHooks index_;
    ExportDialogs* dialogs_ = nullptr;
    ProgressPort* progress_ = nullptr;
    ExportOptions options_;
    ExportResult last_;
    bool running_ = false;
};

// Creates the command and registers it on the frame (a frame extension).
// Install it before the article windows, which pass the command on to the
// frame's while none of them is active; then Connect it.
ReaderExport& InstallExport(ReaderApp& app);

}  // namespace qb

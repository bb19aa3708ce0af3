#include "gui/export/reader_export.h"

#include "app/startup.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "gui/app/main_frame.h"
#include "gui/app/preferences_sheet.h"
#include "gui/app/reader_app.h"
#include "gui/article/article_view.h"
#include "gui/article/article_windows.h"
#include "gui/export/export_dialogs.h"
#include "gui/export/pumped_progress.h"
#include "platform/ui.h"
#include "resources/command_ids.h"

namespace qb {

ReaderExport::ReaderExport(ReaderApp& app) : app_(app) {}

ReaderExport::~ReaderExport() = default;

void ReaderExport::Connect(ReaderArticleWindows& articles, FindIndexHooks index) {
    articles_ = articles.Hooks();
    index_ = std::move(index);
    std::weak_ptr<ReaderExport> weak = weak_from_this();
    articles.SetArticleCommand(cmd::kFileExport, [weak](CArticleView&) {
        if (auto self = weak.lock()) self->Run();
    });
}

void ReaderExport::RegisterCommands(CMainFrame& frame) {
    std::weak_ptr<ReaderExport> weak = weak_from_this();
    ReaderApp& app = app_;
    frame.RegisterCommand(
        cmd::kFileExport,
        [weak] {
            if (auto self = weak.lock()) self->Run();
        },
        [weak, &app] {
            auto self = weak.lock();
            return CommandState{self && !self->Running() && app.Document() != nullptr, false};
        });
}

ExportWindows ReaderExport::Windows() const {
    ExportWindows w;
    CQuillboxDoc* doc = app_.Document();
    if (!doc) return w;
    w.context.visibleBookmarks = doc->VisibleBookmarkCount();
    w.context.titleMode = doc->Index().TitleMode();
    if (index_.titleCount) w.context.titleCount = index_.titleCount();
    if (index_.highlightedCount) w.context.highlightedCount = index_.highlightedCount();
    if (index_.titleList) w.ranges.selected = index_.titleList();
    if (index_.highlighted) w.ranges.highlighted = index_.highlighted();
    if (articles_.active) {
        if (std::optional<int32_t> id = articles_.active()) {
            w.context.articleWindowActive = true;
            w.ranges.current = *id;
            w.currentTitle = doc->SummaryTitle(*id).value_or("");
        }
    }
    return w;
}

bool ReaderExport::Run() {
    CQuillboxDoc* doc = app_.Document();
    if (!doc || running_) return false;
    struct Running {
        bool& flag;
        explicit Running(bool& f) : flag(f) { flag = true; }
        ~Running() { flag = false; }
    } running(running_);
    ReaderApp::BusyScope busy(app_);
    ReaderApp& app = app_;
    QtExportDialogs qtDialogs(app_.Dialogs(), app_.Frame(),
                              [&app] { app.RunPreferences(PreferencesPage::kExport); });
    PumpedProgress progress(progress_ ? *progress_ : app_.GetUi());
    ExportServices s;
    s.doc = doc;
    s.locale = &app_.GetLocale();
    s.ui = &app_.GetUi();
    s.progress = &progress;
    s.settings = &app_.Core().GetSettings();
    s.dirs = &app_.Core().Dirs();
    s.dialogs = dialogs_ ? dialogs_ : &qtDialogs;
    last_ = ExportResult{};
    try {
        last_ = RunExportCommand(s, options_, Windows());
    } catch (const CQuillError& e) {
        // The run reports its own failures; this is what the dialogs or
        // the windows raised before it.
        e.ReportError(*s.ui);
        last_.outcome = ExportOutcome::kNothing;
        last_.error = e.Code();
    }
    if (app_.Frame()) app_.Frame()->UpdateCommandStates();
    return true;
}

ReaderExport& InstallExport(ReaderApp& app) {
    auto exporter = std::make_shared<ReaderExport>(app);
    app.AddFrameExtension([exporter](ReaderApp& app) {
        if (CMainFrame* frame = app.Frame()) exporter->RegisterCommands(*frame);
    });
    return *exporter;
}

}  // namespace qb

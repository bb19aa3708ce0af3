#include "gui/report/report_windows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <filesystem>

#include "app/directories.h"
#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "export/report_export.h"
#include "export/report_setup.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/platform/qt_font_families.h"
#include "gui/report/report_setup_dialogs.h"
#include "gui/report/report_view.h"
#include "resources/command_ids.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

ReaderReportWindows::ReaderReportWindows(ReaderApp& app, ClipboardWriter* clipboard,
                                         const FontFamilies* fonts)
    : app_(app), clipboard_(clipboard), fonts_(fonts) {
    if (!fonts_) {
        ownFonts_ = std::make_unique<QtFontFamilies>();
        fonts_ = ownFonts_.get();
    }
}

ReaderReportWindows::~ReaderReportWindows() = default;

std::vector<CIndexReportFrame*> ReaderReportWindows::Frames() const {
    std::vector<CIndexReportFrame*> out;
    CMainFrame* frame = app_.Frame();
    if (!frame) return out;
    for (QMdiSubWindow* w : frame->Mdi()->subWindowList())
        if (auto* r = qobject_cast<CIndexReportFrame*>(w)) out.push_back(r);
    return out;
}

CIndexReportFrame* ReaderReportWindows::Find(ReportKind kind) const {
    for (CIndexReportFrame* f : Frames())
        if (f->View()->Kind() == kind) return f;
    return nullptr;
}

CIndexReportFrame* ReaderReportWindows::Active() const {
    CMainFrame* frame = app_.Frame();
    if (!frame) return nullptr;
    return qobject_cast<CIndexReportFrame*>(frame->Mdi()->activeSubWindow());
}

std::optional<ReportParameters> ReaderReportWindows::Setup(ReportKind kind) {
    CQuillboxDoc& doc = *app_.Document();
    ReportKeywordLists lists(ReportKeywordChoices(doc, app_.GetLocale()));
    ReportParameters params;
    if (kind == ReportKind::kIndex) {
        ReportRangeChoices ranges;
        ranges.bookmarked = doc.VisibleBookmarkCount() > 0;
        std::vector<int32_t> titles =
            index_.titleList ? index_.titleList() : std::vector<int32_t>();
        std::vector<int32_t> highlighted =
            index_.highlighted ? index_.highlighted() : std::vector<int32_t>();
        ranges.selected = !titles.empty();
        ranges.highlighted = !highlighted.empty();
        Settings& settings = app_.Core().GetSettings();
        CIndexReportSetupDlg dlg(std::move(lists), doc.TextCodePage(), ranges,
                                 settings.indexReportMode != 0, app_.GetLocale(), app_.GetUi(),
                                 app_.Frame());
        int result = app_.Dialogs().Exec(dlg);
        settings.SetIndexReportMode(app_.Core().Store(), dlg.ShowsMore() ? 1 : 0);
        if (result != QDialog::Accepted) return std::nullopt;
        params = dlg.Parameters();
        if (params.range == ReportRange::kSelected) params.rangeArticles = titles;
        if (params.range == ReportRange::kHighlighted) params.rangeArticles = highlighted;
    } else if (kind == ReportKind::kUsage) {
        CUsageReportSetupDlg dlg(std::move(lists), doc.TextCodePage(), UsageCounts(doc),
                                 app_.Frame());
        if (app_.Dialogs().Exec(dlg) != QDialog::Accepted) return std::nullopt;
        params = dlg.Parameters();
    } else {
        // The cloud and the group report take every keyword.
        lists.IncludeAll();
        params.keywords = lists.IncludedIds();
        params.baseColour = CloudBaseColour(app_.Core().GetSettings().customTextColor);
    }
    return params;
}

CIndexReportFrame* ReaderReportWindows::Run(ReportKind kind) {
    CMainFrame* frame = app_.Frame();
    CQuillboxDoc* doc = app_.Document();
    if (!frame || !doc || !doc->IsOpen()) return nullptr;
    if (CIndexReportFrame* open = Find(kind)) {
        if (open->isMinimized()) open->showNormal();
        frame->Mdi()->setActiveSubWindow(open);
        return open;
    }
    std::optional<ReportParameters> params = Setup(kind);
    if (!params) return nullptr;
    return Open(kind, std::move(*params));
}

CIndexReportFrame* ReaderReportWindows::Open(ReportKind kind, ReportParameters params) {
    CMainFrame* frame = app_.Frame();
    if (!frame || !app_.Document()) return nullptr;
    std::weak_ptr<ReaderReportWindows> weak = weak_from_this();
    CIndexReportView::Actions actions;
    actions.print = print_;
    actions.exportFile = [weak](CIndexReportView& v) {
        if (auto self = weak.lock()) self->Export(v);
    };
    auto* view =
        new CIndexReportView(app_, kind, std::move(params), std::move(actions), clipboard_, fonts_);
    if (!view->Build()) {
        delete view;
        return nullptr;
    }
    auto* sub = new CIndexReportFrame(view);
    frame->Mdi()->addSubWindow(sub);
    sub->resize(frame->Mdi()->size() * 2 / 3);
    sub->show();
    frame->Mdi()->setActiveSubWindow(sub);
    frame->UpdateCommandStates();
    return sub;
}

void ReaderReportWindows::MarkAllOutdated() {
    for (CIndexReportFrame* f : Frames())
        f->View()->MarkOutdated();
}

void ReaderReportWindows::DisplaySettingsChanged() {
    uint32_t colour = CloudBaseColour(app_.Core().GetSettings().customTextColor);
    for (CIndexReportFrame* f : Frames())
        f->View()->DisplaySettingsChanged(colour);
}

void ReaderReportWindows::SetPrintAction(PrintAction print) {
    print_ = std::move(print);
    for (CIndexReportFrame* f : Frames())
        f->View()->SetPrintAction(print_);
}

void ReaderReportWindows::Export(CIndexReportView& view) {
    CQuillboxDoc* doc = app_.Document();
    if (!doc || !view.Model().ExportState().enabled) return;
    Directories& dirs = app_.Core().Dirs();
    std::optional<std::string> target = app_.Dialogs().AskSaveFileName(
        ReportExportTitle(view.Kind()), dirs.Folder(FolderType::ImportExport),
        ReportExportName(*doc), ResourceString(msg::kReportExportFilter),
        ReportFileSuffix(reportFileType_), app_.Frame());
    if (!target) return;
    dirs.SetFolder(FolderType::ImportExport, std::filesystem::path(*target).parent_path().string());
    ReportFileFormat format = ReportFormatOfPath(*target).value_or(ReportFileFormat::kText);
    reportFileType_ = int32_t(format);
    ReportExportContext context = MakeReportExportContext(app_.Core().GetSettings(), *doc);
    ExportReport(view.Model().Current(), view.Model().Control(), format, *target, context,
                 app_.GetUi());
}

void ReaderReportWindows::RegisterCommands(CMainFrame& mainFrame) {
    CMainFrame* frame = &mainFrame;
    std::shared_ptr<ReaderReportWindows> self = shared_from_this();
    ReaderApp& app = app_;
    auto whenOpen = [&app]() -> CommandState {
        CQuillboxDoc* doc = app.Document();
        return {doc && doc->IsOpen(), false};
    };
    const std::pair<int, ReportKind> commands[] = {{cmd::kIndexReport, ReportKind::kIndex},
                                                   {cmd::kKeywordUsageReport, ReportKind::kUsage},
                                                   {cmd::kKeywordCloudReport, ReportKind::kCloud},
                                                   {cmd::kKeywordGroupReport, ReportKind::kGroups}};
    for (const auto& [id, kind] : commands)
        frame->RegisterCommand(
            id, [self, kind = kind] { self->Run(kind); }, whenOpen);

    // Copy and Select All of the active report window; the handlers before
    // (the article and index windows') take them otherwise.
    auto passOn = [frame, self](int id, std::function<void(CIndexReportView&)> run,
                                std::function<CommandState(CIndexReportView&)> state) {
        std::pair<CMainFrame::Run, CMainFrame::State> before = frame->RegisteredCommand(id);
        frame->RegisterCommand(
            id,
            [self, run, before] {
                if (CIndexReportFrame* f = self->Active())
                    run(*f->View());
                else if (before.first)
                    before.first();
            },
            [self, state, before]() -> CommandState {
                if (CIndexReportFrame* f = self->Active()) return state(*f->View());
                if (before.second) return before.second();
                return CommandState{bool(before.first), false};
            });
    };
    passOn(
        cmd::kEditCopy, [](CIndexReportView& v) { v.Copy(); },
        [](CIndexReportView& v) {
            return CommandState{v.CanCopy(), false};
        });
    passOn(
        cmd::kFilePrint,
        [self](CIndexReportView& v) {
            if (self->print_ && v.Model().PrintState().enabled) self->print_(v);
        },
        [self](CIndexReportView& v) {
            return CommandState{bool(self->print_) && v.Model().PrintState().enabled, false};
        });
    passOn(
        cmd::kEditSelectAll, [](CIndexReportView& v) { v.SelectAll(); },
        [](CIndexReportView&) {
            return CommandState{true, false};
        });

    QObject::connect(frame->Mdi(), &QMdiArea::subWindowActivated, frame, [frame](QMdiSubWindow* w) {
        if (auto* r = qobject_cast<CIndexReportFrame*>(w)) {
            QString prompt = r->View()->Prompt();
            if (!prompt.isEmpty()) frame->statusBar()->showMessage(prompt);
        }
    });
}

ReaderReportWindows& InstallReportWindows(ReaderApp& app, ClipboardWriter* clipboard,
                                          const FontFamilies* fonts) {
    auto windows = std::make_shared<ReaderReportWindows>(app, clipboard, fonts);
    std::weak_ptr<ReaderReportWindows> weak = windows;
    // The text colour or the display font may have changed: the reports
    // show the old ones until Update.
    app.AddPreferencesListener([weak] {
        if (auto self = weak.lock()) self->DisplaySettingsChanged();
    });
    // Locking or unlocking the private articles changes every count.
    app.AddDocumentViewsListener([weak] {
        if (auto self = weak.lock()) self->MarkAllOutdated();
    });
    app.AddFrameExtension([windows](ReaderApp& app) {
        if (CMainFrame* frame = app.Frame()) windows->RegisterCommands(*frame);
    });
    return *windows;
}

}  // namespace qb

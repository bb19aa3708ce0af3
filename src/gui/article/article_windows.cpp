#include "gui/article/article_windows.h"

#include <QAction>
#include <QMdiArea>

#include "app/settings.h"
#include "article/clipboard_copy.h"
#include "datafile/id_set.h"
#include "document/quillbox_doc.h"
#include "gui/app/commands.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/article/article_frame.h"
#include "gui/article/article_properties.h"
#include "gui/platform/qt_clipboard.h"
#include "gui/platform/qt_launcher.h"
#include "resources/command_ids.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

ReaderArticleWindows::ReaderArticleWindows(ReaderApp& app, Launcher* launcher,
                                           const SteadyClock* clock, ClipboardWriter* clipboard)
    : app_(app), launcher_(launcher), clock_(clock ? clock : &systemClock_), clipboard_(clipboard) {
    if (!launcher_) {
        ownLauncher_ = std::make_unique<QtLauncher>();
        launcher_ = ownLauncher_.get();
    }
    if (!clipboard_) {
        ownClipboard_ = std::make_unique<QtClipboard>();
        ownClipboardWriter_ = std::make_unique<ClipboardWriter>(*ownClipboard_, app.GetUi());
        clipboard_ = ownClipboardWriter_.get();
    }
}

ReaderArticleWindows::~ReaderArticleWindows() = default;

std::vector<CArticleFrame*> ReaderArticleWindows::Frames() const {
    std::vector<CArticleFrame*> out;
    if (!app_.Frame()) return out;
    for (QMdiSubWindow* w : app_.Frame()->Mdi()->subWindowList())
        if (auto* f = qobject_cast<CArticleFrame*>(w)) out.push_back(f);
    return out;
}

CArticleFrame* ReaderArticleWindows::Find(int32_t id) const {
    for (CArticleFrame* f : Frames())
        if (f->ArticleId() == id) return f;
    return nullptr;
}

CArticleFrame* ReaderArticleWindows::Active() const {
    if (!app_.Frame()) return nullptr;
    return qobject_cast<CArticleFrame*>(app_.Frame()->Mdi()->activeSubWindow());
}

CArticleFrame* ReaderArticleWindows::Open(int32_t id) {
    CMainFrame* frame = app_.Frame();
    if (!frame || !app_.Document()) return nullptr;
    if (CArticleFrame* open = Find(id)) {
        if (open->isMinimized()) open->showNormal();
        frame->Mdi()->setActiveSubWindow(open);
        return open;
    }
    return Create(id);
}

CArticleFrame* ReaderArticleWindows::Create(int32_t id) {
    CMainFrame* frame = app_.Frame();
    Settings& settings = app_.Core().GetSettings();
    std::weak_ptr<ReaderArticleWindows> weak = weak_from_this();
    ArticleServices s;
    s.doc = app_.Document();
    s.settings = &settings;
    s.locale = &app_.GetLocale();
    s.ui = &app_.GetUi();
    s.launcher = launcher_;
    s.clock = clock_;
    s.clipboard = clipboard_;
    s.mainWindow = frame;
    s.keywordPaneWidth = [frame] { return frame->KeywordPaneWidth(); };
    s.setKeywordPaneWidth = [frame, weak](int32_t width) {
        frame->SetKeywordPaneWidth(width);
        if (auto self = weak.lock()) self->RelayoutAll();
    };
    s.openArticle = [weak](int32_t target) {
        if (auto self = weak.lock()) self->Open(target);
    };
    s.updateCommands = [frame] { frame->UpdateCommandStates(); };
    s.action = [frame](int command) { return frame->Action(command); };

    auto* article = new CArticleFrame(std::move(s), id,
                                      [frame](int w, int h) { frame->RememberArticleSize(w, h); });
    frame->Mdi()->addSubWindow(article);
    // The cascade moves on for every new window, placed there or not.
    Rect r = frame->NextArticleRect();
    if (settings.artSize == 1) article->setGeometry(r.left, r.top, r.width, r.height);
    article->show();
    frame->Mdi()->setActiveSubWindow(article);
    article->View()->SetActiveLinksMode(settings.activeLinks);
    article->View()->StartAutoOpen();
    frame->UpdateCommandStates();
    return article;
}

void ReaderArticleWindows::Close(int32_t id) {
    if (CArticleFrame* f = Find(id)) f->close();
}

bool ReaderArticleWindows::CloseSet(const IdSet& ids) {
    bool all = true;
    for (CArticleFrame* f : Frames())
        if (ids.Contains(f->ArticleId()) && !f->close()) all = false;
    return all;
}

void ReaderArticleWindows::RelayoutAll() {
    for (CArticleFrame* f : Frames())
        f->View()->Relayout();
}

void ReaderArticleWindows::SetActiveLinksMode(int32_t mode) {
    for (CArticleFrame* f : Frames())
        f->View()->SetActiveLinksMode(mode);
}

void ReaderArticleWindows::UpdateToolTips() {
    CMainFrame* frame = app_.Frame();
    if (!frame) return;
    CArticleFrame* active = Active();
    struct Tip {
        int command;
        int text;
    };
    const Tip tips[] = {{cmd::kFilePrint, msg::kPrintArticle},
                        {cmd::kEditCopy, msg::kCopyText},
                        {cmd::kEditCut, msg::kCutText},
                        {cmd::kEditPaste, msg::kPasteText},
                        {cmd::kBookmarkButton, msg::kUnbookmarkArticle}};
    for (const Tip& t : tips) {
        QAction* a = frame->Action(t.command);
        if (!a) continue;
        bool articleTip =
            active && (t.command != cmd::kBookmarkButton || active->View()->Model().bookmarked);
        CommandPrompt p = PromptOf(t.command);
        std::string tip =
            articleTip ? ResourceString(t.text) : (p.tooltip.empty() ? p.status : p.tooltip);
        a->setToolTip(QString::fromStdString(tip));
    }
}

ArticleWindowHooks ReaderArticleWindows::Hooks() {
    std::weak_ptr<ReaderArticleWindows> weak = weak_from_this();
    ArticleWindowHooks h;
    h.open = [weak](int32_t id) {
        if (auto self = weak.lock()) self->Open(id);
    };
    h.close = [weak](int32_t id) {
        if (auto self = weak.lock()) self->Close(id);
    };
    h.active = [weak]() -> std::optional<int32_t> {
        auto self = weak.lock();
        CArticleFrame* f = self ? self->Active() : nullptr;
        if (!f) return std::nullopt;
        return f->ArticleId();
    };
    return h;
}

void ReaderArticleWindows::SetArticleCommand(int id, ArticleCommand run) {
    laterCommands_[id] = std::move(run);
    if (app_.Frame()) app_.Frame()->UpdateCommandStates();
}

void ReaderArticleWindows::RegisterCommands(CMainFrame& mainFrame) {
    CMainFrame* frame = &mainFrame;
    ReaderApp& app = app_;
    std::shared_ptr<ReaderArticleWindows> self = shared_from_this();
    using Run = std::function<void(CArticleView&)>;
    using State = std::function<CommandState(CArticleView&)>;
    // A command of the active article window; with `passOn`, the handler
    // registered before this one takes it while no article window is active.
    auto reg = [frame, self](int id, Run run, State state, bool passOn) {
        std::pair<CMainFrame::Run, CMainFrame::State> before;
        if (passOn) before = frame->RegisteredCommand(id);
        frame->RegisterCommand(
            id,
            [self, run, before] {
                if (CArticleFrame* f = self->Active())
                    run(*f->View());
                else if (before.first)
                    before.first();
            },
            [self, state, before]() -> CommandState {
                if (CArticleFrame* f = self->Active()) return state(*f->View());
                if (before.second) return before.second();
                return CommandState{bool(before.first), false};
            });
    };
    auto on = [](CArticleView&) { return CommandState{true, false}; };
    QObject::connect(frame->Mdi(), &QMdiArea::subWindowActivated, frame,
                     [weak = std::weak_ptr<ReaderArticleWindows>(self)] {
                         if (auto windows = weak.lock()) windows->UpdateToolTips();
                     });

    reg(
        cmd::kCloseArticle,
        [self](CArticleView& v) {
            if (CArticleFrame* f = self->Find(v.ArticleId())) f->close();
        },
        on, false);
    reg(
        cmd::kOpenAttachments, [](CArticleView& v) { v.OpenAttachments(); },
        [](CArticleView& v) {
            return CommandState{!v.Model().attachments.empty(), false};
        },
        false);
    reg(
        cmd::kArticleProperties,
        [&app](CArticleView& v) {
            if (!app.Document()) return;
            CArticleProperties sheet(v.Model(), *app.Document(), app.GetLocale(), app.Frame());
            app.Dialogs().Exec(sheet);
        },
        on, false);
    reg(
        cmd::kImageGallery, [](CArticleView& v) { v.ToggleGallery(); },
        [](CArticleView& v) {
            return CommandState{true, v.GalleryShown()};
        },
        false);
    reg(
        cmd::kOpenGalleryAttachment, [](CArticleView& v) { v.OpenHighlightedGalleryItem(); },
        [](CArticleView& v) {
            return CommandState{v.HighlightedGalleryAttachment() >= 0, false};
        },
        false);
    for (bool next : {false, true}) {
        reg(
            next ? cmd::kNextArticle : cmd::kPreviousArticle,
            [&app, next](CArticleView& v) {
                if (CQuillboxDoc* doc = app.Document())
                    doc->Index().StepArticle(v.ArticleId(), next);
            },
            [&app](CArticleView& v) {
                CQuillboxDoc* doc = app.Document();
                bool holds = doc && doc->GetIndexWindow() &&
                             doc->GetIndexWindow()->TitleListHolds(v.ArticleId());
                return CommandState{holds, false};
            },
            true);
    }
    reg(
        cmd::kEditSelectAll, [](CArticleView& v) { v.SelectAll(); }, on, true);
    reg(
        cmd::kEditCopy, [](CArticleView& v) { v.Copy(); },
        [](CArticleView& v) {
            return CommandState{v.CanCopy(), false};
        },
        true);
    for (int id : {cmd::kEditFind, cmd::kFileExport, cmd::kFilePrint}) {
        reg(
            id,
            [self, id](CArticleView& v) {
                auto it = self->laterCommands_.find(id);
                if (it != self->laterCommands_.end() && it->second) it->second(v);
            },
            [self, id](CArticleView&) {
                auto it = self->laterCommands_.find(id);
                return CommandState{it != self->laterCommands_.end() && bool(it->second), false};
            },
            true);
    }
}

ReaderArticleWindows& InstallArticleWindows(ReaderApp& app, Launcher* launcher,
                                            const SteadyClock* clock, ClipboardWriter* clipboard) {
    auto windows = std::make_shared<ReaderArticleWindows>(app, launcher, clock, clipboard);
    std::weak_ptr<ReaderArticleWindows> weak = windows;
    app.SetArticleWindowCloser([weak](const IdSet& ids) {
        auto self = weak.lock();
        return self ? self->CloseSet(ids) : true;
    });
    // A new Active Links preference reaches every open article window.
    app.AddPreferencesListener([weak, &app] {
        if (auto self = weak.lock()) self->SetActiveLinksMode(app.Core().GetSettings().activeLinks);
    });
    app.AddFrameExtension([windows](ReaderApp& app) {
        if (CMainFrame* frame = app.Frame()) windows->RegisterCommands(*frame);
    });
    return *windows;
}

}  // namespace qb

#include "gui/index/index_window.h"

#include <QAction>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>

#include "article/clipboard_copy.h"
#include "gui/app/commands.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/index/index_lists.h"
#include "gui/platform/qt_clipboard.h"

namespace qb {

ReaderIndexWindows::ReaderIndexWindows(ReaderApp& app, ClipboardWriter* clipboard)
    : app_(app), clipboard_(clipboard) {
    if (!clipboard_) {
        ownClipboard_ = std::make_unique<QtClipboard>();
        ownClipboardWriter_ = std::make_unique<ClipboardWriter>(*ownClipboard_, app.GetUi());
        clipboard_ = ownClipboardWriter_.get();
    }
}

ReaderIndexWindows::~ReaderIndexWindows() = default;

void ReaderIndexWindows::RebuildQueryMenu(const std::vector<QueryMenuItem>& items) {
    CMainFrame* frame = app_.Frame();
    if (!frame) return;
    shownQueryItems_.clear();
    std::vector<std::string> names;
    bool more = false, anyRecent = false;
    for (const QueryMenuItem& item : items) {
        if (item.kind == QueryMenuItem::Query) {
            shownQueryItems_.push_back(item);
            const CQuillboxDoc* doc = app_.Document();
            names.push_back(doc ? doc->TextCodePage().ToUtf8(item.text) : item.text);
            anyRecent = true;
        }
        if (item.kind == QueryMenuItem::MoreQueries) more = true;
    }
    frame->RebuildSavedQueryMenu(names);
    QMenu* menu = frame->SavedQueryMenu();
    if (!menu || !more) return;
    // The frame's rebuild drops every item it did not make; these follow.
    menu->addSeparator();
    auto* a = new QAction(QString::fromUtf8(FindCommand(cmd::kMoreQueries)->text), menu);
    a->setObjectName(QString("cmd_%1").arg(cmd::kMoreQueries));
    a->setData(cmd::kMoreQueries);
    a->setEnabled(anyRecent);
    ReaderApp& app = app_;
    QObject::connect(a, &QAction::triggered, menu, [&app] {
        if (CIndexView* v = ActiveIndexView(app)) v->MoreQueries();
    });
    menu->addAction(a);
}

CIndexView* ActiveIndexView(ReaderApp& app) {
    auto* frame = qobject_cast<CIndexFrame*>(app.IndexFrame());
    return frame ? frame->View() : nullptr;
}

IndexServices ReaderIndexWindows::Services(CQuillboxDoc& doc) {
    ReaderApp& app = app_;
    std::shared_ptr<ReaderIndexWindows> self = shared_from_this();
    IndexServices s;
    s.doc = &doc;
    s.query = &query_;
    s.settings = &app.Core().GetSettings();
    s.store = &app.Core().Store();
    s.ui = &app.GetUi();
    s.locale = &app.GetLocale();
    s.exec = [&app](QDialog& d) { return app.Dialogs().Exec(d); };
    s.action = [&app](int id) { return app.Frame() ? app.Frame()->Action(id) : nullptr; };
    s.keywordPaneWidth = [&app] { return app.Frame() ? app.Frame()->KeywordPaneWidth() : 100; };
    s.updateCommands = [&app] {
        if (app.Frame()) app.Frame()->UpdateCommandStates();
    };
    s.rebuildSavedQueryMenu = [self](const std::vector<QueryMenuItem>& items) {
        self->RebuildQueryMenu(items);
    };
    s.mainWindow = app.Frame();
    s.clipboard = clipboard_;
    s.articles.open = [self](int32_t id) {
        if (self->hooks_.open) self->hooks_.open(id);
    };
    s.articles.close = [self](int32_t id) {
        if (self->hooks_.close) self->hooks_.close(id);
    };
    s.articles.active = [self]() -> std::optional<int32_t> {
        return self->hooks_.active ? self->hooks_.active() : std::nullopt;
    };
    s.titleListChanged = [self](bool listChanged) {
        if (self->titleListener_) self->titleListener_(listChanged);
    };
    return s;
}

FindIndexHooks ReaderIndexWindows::FindHooks() {
    ReaderApp& app = app_;
    FindIndexHooks h;
    h.titleList = [&app]() -> std::vector<int32_t> {
        CIndexView* v = ActiveIndexView(app);
        return v ? v->Model().Titles().Members().Ids() : std::vector<int32_t>();
    };
    h.highlighted = [&app]() -> std::vector<int32_t> {
        CIndexView* v = ActiveIndexView(app);
        if (!v) return {};
        return IdSet::FromUnsorted(v->Model().Titles().HighlightedIds()).Ids();
    };
    h.titleCount = [&app]() -> int32_t {
        CIndexView* v = ActiveIndexView(app);
        return v ? v->Model().TitleMemberCount() : 0;
    };
    h.highlightedCount = [&app]() -> int32_t {
        CIndexView* v = ActiveIndexView(app);
        return v ? v->Model().HighlightedCount() : 0;
    };
    h.showFound = [&app](const std::vector<int32_t>& ids, bool stopped) {
        if (CIndexView* v = ActiveIndexView(app)) v->ShowFoundTitles(ids, stopped);
    };
    h.bringForward = [&app] {
        if (CIndexView* v = ActiveIndexView(app)) v->BringToFront();
    };
    return h;
}

void ReaderIndexWindows::RegisterCommands(CMainFrame& mainFrame) {
    ReaderApp& app = app_;
    CMainFrame* frame = &mainFrame;
    std::shared_ptr<ReaderIndexWindows> self = shared_from_this();
    using Run = std::function<void(CIndexView&)>;
    using State = std::function<CommandState(CIndexView&)>;
    auto reg = [&app, frame](int id, Run run, State state) {
        frame->RegisterCommand(
            id,
            [&app, run] {
                if (CIndexView* v = ActiveIndexView(app)) run(*v);
            },
            [&app, state]() -> CommandState {
                CIndexView* v = ActiveIndexView(app);
                return v ? state(*v) : CommandState{};
            });
    };
    auto on = [](CIndexView&) { return CommandState{true, false}; };

    reg(
        cmd::kKeywordsLists, [](CIndexView& v) { v.SetView(v.Display().view == 0 ? 1 : 0); },
        [](CIndexView& v) {
            return CommandState{true, v.Display().view == 0};
        });
    reg(
        cmd::kKeywordGroups, [](CIndexView& v) { v.ShowGroupList(!v.GroupListShown(), true); },
        [](CIndexView& v) {
            return CommandState{v.Display().view == 0, v.GroupListShown()};
        });
    reg(
        cmd::kPreviewContent,
        [](CIndexView& v) {
            v.SetPreviewFlags(TogglePreviewFlag(v.PreviewFlags(), preview_flag::kContent));
        },
        [](CIndexView& v) {
            return CommandState{true, (v.PreviewFlags() & preview_flag::kContent) != 0};
        });
    reg(
        cmd::kPreviewKeywords,
        [](CIndexView& v) {
            v.SetPreviewFlags(TogglePreviewFlag(v.PreviewFlags(), preview_flag::kKeywords));
        },
        [](CIndexView& v) {
            return CommandState{true, (v.PreviewFlags() & preview_flag::kKeywords) != 0};
        });
    reg(
        cmd::kModeAnd, [](CIndexView& v) { v.ChooseAndOr(kAndMode); },
        [](CIndexView& v) { return v.Model().AndItem(); });
    reg(
        cmd::kModeOr, [](CIndexView& v) { v.ChooseAndOr(kOrMode); },
        [](CIndexView& v) { return v.Model().OrItem(); });
    reg(
        cmd::kIndexModeAll, [](CIndexView& v) { v.ChooseIndexMode(0); },
        [](CIndexView& v) { return v.Model().ShowAllNonSelectedItem(); });
    reg(
        cmd::kIndexModeRelated, [](CIndexView& v) { v.ChooseIndexMode(1); },
        [](CIndexView& v) { return v.Model().ShowRelatedItem(); });
    const int sorts[] = {cmd::kSortTitlesAsc, cmd::kSortTitlesDesc, cmd::kSortDatesAsc,
                         cmd::kSortDatesDesc};
    for (int order = 0; order < 4; ++order) {
        reg(
            sorts[order], [order](CIndexView& v) { v.SortBy(order); },
            [order](CIndexView& v) {
                return CommandState{true, v.Model().Titles().SortCommandChecked(order)};
            });
    }
    reg(
        cmd::kShowAllTitles, [](CIndexView& v) { v.ShowTitles(title_mode::kAllTitles); }, on);
    reg(
        cmd::kShowBookmarked, [](CIndexView& v) { v.ShowTitles(title_mode::kBookmarked); }, on);
    reg(
        cmd::kShowWithAttachments, [](CIndexView& v) { v.ShowTitles(title_mode::kAttachments); },
        on);
    reg(
        cmd::kOpenArticle, [](CIndexView& v) { v.OpenHighlighted(); },
        [](CIndexView& v) {
            return CommandState{v.Model().Titles().HighlightCount() > 0, false};
        });
    reg(
        cmd::kPreviousArticle, [](CIndexView& v) { v.PreviousNext(false); },
        [](CIndexView& v) {
            return CommandState{v.Model().Titles().PreviousEnabled(), false};
        });
    reg(
        cmd::kNextArticle, [](CIndexView& v) { v.PreviousNext(true); },
        [](CIndexView& v) {
            return CommandState{v.Model().Titles().NextEnabled(), false};
        });
    reg(
        cmd::kEditSelectAll, [](CIndexView& v) { v.SelectAll(); }, on);
    reg(
        cmd::kEditCopy, [](CIndexView& v) { v.Copy(); },
        [](CIndexView& v) {
            return CommandState{v.CanCopy(), false};
        });
    reg(
        cmd::kQuery, [](CIndexView& v) { v.BuildQuery(); }, on);
    if (QAction* q = frame->Action(cmd::kQuery)) q->setShortcut(QKeySequence("Ctrl+Q"));
    for (int i = 0; i < int(SavedQueryList::kMaxRecent); ++i) {
        reg(
            cmd::kSavedQueryFirst + i,
            [self, i](CIndexView& v) {
                const std::vector<QueryMenuItem>& shown = self->shownQueryItems_;
                if (size_t(i) < shown.size()) v.RunSavedQuery(shown[size_t(i)].queryIndex);
            },
            [self, i](CIndexView&) {
                return CommandState{size_t(i) < self->shownQueryItems_.size(), false};
            });
    }
    reg(
        cmd::kNoSavedQueries, [](CIndexView&) {},
        [](CIndexView&) {
            return CommandState{false, false};
        });
}

ReaderIndexWindows& InstallIndexWindow(ReaderApp& app, ClipboardWriter* clipboard) {
    auto windows = std::make_shared<ReaderIndexWindows>(app, clipboard);
    app.SetIndexFrameFactory([windows](CQuillboxDoc& doc, QMdiArea& mdi) -> QMdiSubWindow* {
        return CreateIndexFrame(windows->Services(doc), mdi);
    });
    app.AddFrameExtension([windows](ReaderApp& app) {
        if (CMainFrame* frame = app.Frame()) windows->RegisterCommands(*frame);
    });
    return *windows;
}

}  // namespace qb

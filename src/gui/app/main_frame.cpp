#include "gui/app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/help_guide.h"
#include "app/startup.h"
#include "gui/app/commands.h"
#include "gui/app/help_window.h"
#include "gui/app/reader_app.h"
#include "gui/platform/colors.h"
#include "gui/platform/qt_ui.h"
#include "platform/ui.h"
#include "quillbox_version.h"

namespace qb {

namespace {
Rect ToRect(const QRect& r) {
    return Rect{r.x(), r.y(), r.width(), r.height()};
}

// A few buttons get the style's own pictures; the rest show their text.
QIcon StandardIcon(QStyle* style, int id) {
    switch (id) {
        case cmd::kFileOpen:
            return style->standardIcon(QStyle::SP_DialogOpenButton);
        case cmd::kFileProperties:
            return style->standardIcon(QStyle::SP_FileDialogInfoView);
        case cmd::kPreviousArticle:
            return style->standardIcon(QStyle::SP_ArrowBack);
        case cmd::kNextArticle:
            return style->standardIcon(QStyle::SP_ArrowForward);
        case cmd::kAppAbout:
            return style->standardIcon(QStyle::SP_MessageBoxQuestion);
        case cmd::kShowAllTitles:
            return style->standardIcon(QStyle::SP_FileDialogListView);
        case cmd::kShowBookmarked:
            return style->standardIcon(QStyle::SP_DialogApplyButton);
        case cmd::kOpenAttachments:
            return style->standardIcon(QStyle::SP_DirOpenIcon);
        case cmd::kFileExport:
            return style->standardIcon(QStyle::SP_DialogSaveButton);
    }
    return QIcon();
}

// Shortcut text for a pane so that its width holds the text when lit.
constexpr const char* kPaneNames[kPaneCount] = {"Message", "LINK", "READ", "OVR", "CAP", "NUM"};
}  // namespace

CMainFrame::CMainFrame(ReaderApp& app) : app_(app) {
    setObjectName("CMainFrame");
    setWindowTitle(kProgramCaption);
    setAcceptDrops(true);
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("MdiClient");
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { UpdateCommandStates(); });
}

CMainFrame::~CMainFrame() = default;

// ---- construction

QAction* CMainFrame::MakeAction(int id) {
    auto it = actions_.find(id);
    if (it != actions_.end()) return it->second;
    const CommandInfo* info = FindCommand(id);
    auto* a = new QAction(info ? info->text : "", this);
    a->setData(id);
    a->setObjectName(QString("cmd_%1").arg(id));
    if (info) {
        // F1 is not Help Contents' own key: it opens the page of the
        // window with the focus (ShowContextHelp); the menu still shows it.
        if (id == cmd::kHelpContents)
            a->setText(QString(info->text) + '\t' + info->shortcut);
        else if (*info->shortcut)
            a->setShortcut(QKeySequence(info->shortcut));
        a->setCheckable(info->checkable);
        CommandPrompt p = PromptOf(id);
        a->setStatusTip(QString::fromStdString(p.status));
        a->setToolTip(QString::fromStdString(p.tooltip.empty() ? p.status : p.tooltip));
        if (info->editing && !EditingAllowed()) a->setEnabled(false);
    }
    QIcon icon = StandardIcon(style(), id);
    if (!icon.isNull()) a->setIcon(icon);
    connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
    actions_[id] = a;
    return a;
}

void CMainFrame::AddItems(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.submenu) {
            QMenu* sub = menu->addMenu(item.submenu);
            connect(sub, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
            AddItems(sub, item.children);
            if (item.children.size() == 1 && item.children[0].id == cmd::kNoSavedQueries)
                savedQueries_ = sub;
        } else if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == cmd::kRecentFileFirst) {
            // Filled from the recent-file list; this separator ends it.
            recentAnchor_ = menu->addSeparator();
            recentAnchor_->setVisible(false);
        } else {
            menu->addAction(MakeAction(item.id));
        }
    }
}

void CMainFrame::BuildMenus() {
    for (const MenuDef& def : MainMenus()) {
        QMenu* menu = menuBar()->addMenu(def.title);
        if (!fileMenu_) fileMenu_ = menu;
        connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
        AddItems(menu, def.items);
    }
}

void CMainFrame::BuildToolbars() {
    for (int b = 0; b < kBarCount; ++b) {
        const BarInfo& info = BarDescription(static_cast<Bar>(b));
        auto* bar = new QToolBar(info.title, this);
        bar->setObjectName(QString("Toolbar%1").arg(info.resourceId));
        bar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
        bar->setFloatable(true);
        bar->setMovable(true);
        for (int id : ToolbarButtons(b)) {
            if (id == 0) {
                bar->addSeparator();
                continue;
            }
            QAction* a = MakeAction(id);
            bar->addAction(a);
            if (id == cmd::kTextColorButton || id == cmd::kHighlightButton) {
                if (auto* tb = qobject_cast<QToolButton*>(bar->widgetForAction(a)))
                    tb->setPopupMode(QToolButton::MenuButtonPopup);
            }
        }
        bars_[b] = bar;
        // The browse and tools bars sit to the right of the standard bar
        // unless a saved layout says otherwise.
        addToolBar(Qt::TopToolBarArea, bar);
        connect(bar, &QToolBar::visibilityChanged, this, [this] { UpdateCommandStates(); });
    }
    // The highlight button shows the chosen highlight colour.
    int32_t colour = app_.Core().GetSettings().ReadHighlightColor(app_.Core().Store());
    if (QAction* a = Action(cmd::kHighlightButton); a && colour != -1) {
        QPixmap swatch(16, 16);
        swatch.fill(ColorFromBgr(colour));
        a->setIcon(QIcon(swatch));
    }
    ApplyButtonSize();
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar");
    for (int p = 1; p < kPaneCount; ++p) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("Pane%1").arg(kPaneNames[p]));
        label->setAlignment(Qt::AlignCenter);
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(PaneText(Pane(p))) + 10);
        panes_[p] = label;
        bar->addPermanentWidget(label);
    }
    UpdateStatusPanes();
}

void CMainFrame::RestoreBarLayout() {
    FrameValues& v = app_.Core().Frame();
    if (auto saved = LoadDockLayout(app_.Core().Store(), kDockLayoutName)) {
        QByteArray state = QByteArray::fromHex(QByteArray::fromStdString(*saved));
        if (!state.isEmpty()) restoreState(state);
    }
    for (int b = 0; b < kBarCount; ++b)
        bars_[b]->setVisible(BarShown(v, static_cast<Bar>(b)));
    statusBar()->setVisible(v.statusBarVisible);
}

void CMainFrame::Build() {
    BuildMenus();
    BuildToolbars();
    BuildStatusBar();
    RestoreBarLayout();
    RebuildRecentMenu();
    RebuildSavedQueryMenu({});
    UpdateCommandStates();
    // Application-wide, so that F1 also works in the modeless dialogs.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this, [this] { ShowContextHelp(); });
}

void CMainFrame::ShowOnStart() {
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    Rect desktop = s ? ToRect(s->availableGeometry()) : Rect{0, 0, 1024, 768};
    MainPlacement p = PlaceMainWindow(app_.Core().Frame(), desktop);
    setGeometry(p.rect.left, p.rect.top, p.rect.width, p.rect.height);
    normalRect_ = p.rect;
    if (p.maximized)
        showMaximized();
    else
        show();
}

// ---- commands

QAction* CMainFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::RegisterCommand(int id, Run run, State state) {
    MakeAction(id);
    handlers_[id] = Handler{std::move(run), std::move(state)};
    UpdateCommandStates();
}

std::pair<CMainFrame::Run, CMainFrame::State> CMainFrame::RegisteredCommand(int id) const {
    auto h = handlers_.find(id);
    if (h == handlers_.end()) return {};
    return {h->second.run, h->second.state};
}

CommandState CMainFrame::BuiltInState(int id) const {
    const FrameValues& v = app_.Core().Frame();
    bool hasWindows = !mdi_->subWindowList().isEmpty();
    switch (id) {
        case cmd::kFileOpen:
        case cmd::kPreferences:
        case cmd::kAppExit:
        case cmd::kAppAbout:
        case cmd::kHelpContents:
        case cmd::kHelpTutorial:
            return {true, false};
        case cmd::kFileClose:
            return {app_.Document() != nullptr, false};
        case cmd::kViewStandardToolbar:
            return {true, v.barVisible[0] && !bars_[0]->isHidden()};
        case cmd::kViewBrowseToolbar:
            return {true, v.barVisible[2] && !bars_[2]->isHidden()};
        case cmd::kToggleToolsBar:
            return {true, v.barVisible[3] && !bars_[3]->isHidden()};
        case cmd::kViewStatusBar:
            return {true, !statusBar()->isHidden()};
        case cmd::kWindowCascade:
        case cmd::kWindowTile:
        case cmd::kWindowArrange:
        case cmd::kWindowNext:
            return {hasWindows, false};
        case cmd::kIndexToFront:
            return {app_.IndexFrame() != nullptr, false};
    }
    if (id >= cmd::kRecentFileFirst && id <= cmd::kRecentFileLast) return {true, false};
    return {false, false};  // commands of windows that are not there yet
}

void CMainFrame::UpdateCommandStates() {
    for (auto& [id, action] : actions_) {
        const CommandInfo* info = FindCommand(id);
        CommandState s;
        if (info && info->editing && !EditingAllowed()) {
            s = {false, false};
        } else if (auto h = handlers_.find(id); h != handlers_.end()) {
            s = h->second.state ? h->second.state() : CommandState{true, false};
        } else {
            s = BuiltInState(id);
        }
        action->setEnabled(s.enabled);
        if (action->isCheckable()) action->setChecked(s.checked);
    }
}

void CMainFrame::SetBarShown(Bar bar, bool on) {
    int b = static_cast<int>(bar);
    app_.Core().Frame().barVisible[b] = on;
    bars_[b]->setVisible(BarShown(app_.Core().Frame(), bar));
}

bool CMainFrame::RunBuiltIn(int id) {
    FrameValues& v = app_.Core().Frame();
    switch (id) {
        case cmd::kViewStandardToolbar:
            SetBarShown(Bar::Standard, bars_[0]->isHidden());
            return true;
        case cmd::kViewBrowseToolbar:
            SetBarShown(Bar::Browse, bars_[2]->isHidden());
            return true;
        case cmd::kToggleToolsBar:
            SetBarShown(Bar::Tools, bars_[3]->isHidden());
            return true;
        case cmd::kViewStatusBar:
            v.statusBarVisible = statusBar()->isHidden();
            statusBar()->setVisible(v.statusBarVisible);
            return true;
        case cmd::kWindowCascade:
            mdi_->cascadeSubWindows();
            return true;
        case cmd::kWindowTile:
            mdi_->tileSubWindows();
            return true;
        case cmd::kWindowArrange:
            // Minimized windows return to the client's bottom edge.
            for (QMdiSubWindow* w : mdi_->subWindowList()) {
                if (!w->isMinimized()) continue;
                int dy = MinimizedFrameShift(w->geometry().bottom(), mdi_->viewport()->height());
                if (dy) w->move(w->x(), w->y() + dy);
            }
            return true;
        case cmd::kWindowNext:
            mdi_->activateNextSubWindow();
            return true;
        case cmd::kIndexToFront:
            if (QMdiSubWindow* w = app_.IndexFrame()) {
                if (w->isMinimized()) w->showNormal();
                mdi_->setActiveSubWindow(w);
            }
            return true;
        case cmd::kPreferences:
            app_.RunPreferences();
            return true;
        case cmd::kFileClose:
            app_.CloseDocument();
            return true;
        case cmd::kAppExit:
            close();
            return true;
        case cmd::kAppAbout:
            app_.GetUi().MessageBox(
                std::string("Quillbox Reader\nVersion ") + OwnProgramVersion().text + " (" +
                    OwnProgramVersion().Numbers() + ")" + "\n\nA reader for Quillbox data files.",
                MessageIcon::Information);
            return true;
        case cmd::kHelpContents:
            ShowHelp(help::kContents);
            return true;
        case cmd::kHelpTutorial:
            ShowHelp(help::kTutorial);
            return true;
    }
    return false;
}

void CMainFrame::ShowHelp(const std::string& page) {
    if (!help_) {
        // A reader run from its build folder reads the source tree's pages
        // and the pictures the build took.
        std::optional<std::string> folder =
            FindGuideFolder(app_.Env(), {QB_BUILD_BIN_DIR, QB_GUIDE_SOURCE_DIR});
        if (!folder) {
            app_.GetUi().MessageBox(
                "The help for Quillbox Reader is not installed. The README file that comes "
                "with the program describes its windows and commands.",
                MessageIcon::Information);
            return;
        }
        QStringList pictures;
        if (*folder == QB_GUIDE_SOURCE_DIR) pictures << QB_GUIDE_PICTURES_DIR;
        help_ = new HelpWindow(QString::fromStdString(*folder), pictures, this);
        help_->setAttribute(Qt::WA_DeleteOnClose);
    }
    help_->ShowPage(QString::fromStdString(page));
}

HelpWindow* CMainFrame::Help() const {
    return help_;
}

void CMainFrame::ShowContextHelp() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() == this) {
        // In the frame: the active MDI window's page, unless the focus
        // is inside a window that names its own.
        QString page = HelpPageFor(focus);
        if (page == help::kContents)
            if (QMdiSubWindow* sub = mdi_->activeSubWindow()) page = HelpPageFor(sub->widget());
        ShowHelp(page.toStdString());
        return;
    }
    ShowHelp(HelpPageFor(focus).toStdString());
}

void CMainFrame::RunCommand(int id) {
    const CommandInfo* info = FindCommand(id);
    if (info && info->editing && !EditingAllowed()) return;
    if (auto h = handlers_.find(id); h != handlers_.end()) {
        if (!h->second.state || h->second.state().enabled) h->second.run();
    } else if (!RunBuiltIn(id)) {
        app_.Core().OnCommand(id);  // Open, the recent files and New
        RebuildRecentMenu();
    }
    UpdateCommandStates();
}

// ---- what the document changes

void CMainFrame::SetFileTitle(const std::string& title) {
    setWindowTitle(title.empty()
                       ? QString(kProgramCaption)
                       : QString("%1 - %2").arg(kProgramCaption, QString::fromStdString(title)));
}

void CMainFrame::RebuildRecentMenu() {
    if (!fileMenu_ || !recentAnchor_) return;
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        actions_.erase(a->data().toInt());
        a->deleteLater();
    }
    recentActions_.clear();
    const auto& entries = app_.Core().Recent().Entries();
    for (size_t i = 0; i < entries.size() && i < size_t(RecentFiles::kMax); ++i) {
        int id = cmd::kRecentFileFirst + int(i);
        QString name = QString::fromStdString(entries[i]);
        auto* a = new QAction(QString("&%1 %2").arg(i + 1).arg(name), this);
        a->setData(id);
        a->setObjectName(QString("cmd_%1").arg(id));
        a->setStatusTip("Open this data file");
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        fileMenu_->insertAction(recentAnchor_, a);
        recentActions_.push_back(a);
        actions_[id] = a;
    }
    recentAnchor_->setVisible(!recentActions_.empty());
}

void CMainFrame::RebuildSavedQueryMenu(const std::vector<std::string>& names) {
    if (!savedQueries_) return;
    for (QAction* a : savedQueries_->actions()) {
        int id = a->data().toInt();
        if (id != cmd::kNoSavedQueries) {
            actions_.erase(id);
            savedQueries_->removeAction(a);
            a->deleteLater();
        }
    }
    QAction* none = Action(cmd::kNoSavedQueries);
    none->setVisible(names.empty());
    // Running them is the query window's; until it registers, they show.
    for (size_t i = 0; i < names.size() && i < 20; ++i) {
        int id = cmd::kSavedQueryFirst + int(i);
        auto* a = new QAction(QString::fromStdString(names[i]), this);
        a->setData(id);
        a->setObjectName(QString("cmd_%1").arg(id));
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        savedQueries_->addAction(a);
        actions_[id] = a;
    }
    UpdateCommandStates();
}

bool CMainFrame::PaneLit(Pane pane) const {
    return lit_[static_cast<int>(pane)];
}

void CMainFrame::SetPaneLit(Pane pane, bool lit) {
    int p = static_cast<int>(pane);
    lit_[p] = lit;
    if (panes_[p]) panes_[p]->setText(lit ? PaneText(pane) : "");
}

void CMainFrame::UpdateStatusPanes() {
    CQuillboxDoc* doc = app_.Document();
    PaneState s = StatusPanes(doc && doc->IsOpen(), app_.Core().GetSettings().activeLinks);
    SetPaneLit(Pane::Read, s.readLit);
    SetPaneLit(Pane::Link, s.linkLit);
    SetPaneLit(Pane::Overtype, false);  // nothing is ever typed into an article
    // Qt has no portable query of the lock keys; the panes stay dark.
    SetPaneLit(Pane::CapsLock, false);
    SetPaneLit(Pane::NumLock, false);
}

void CMainFrame::ApplyAlwaysOnTop(bool on) {
    if (bool(windowFlags() & Qt::WindowStaysOnTopHint) == on) return;
    bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) show();  // changing the flags hides the window
}

void CMainFrame::ApplyButtonSize() {
    int size = app_.Core().GetSettings().toolbarButtonSize == 1 ? 32 : 16;
    for (QToolBar* bar : bars_)
        if (bar) bar->setIconSize(QSize(size, size));
}

// ---- shared with article windows

Rect CMainFrame::NextArticleRect() {
    QWidget* client = mdi_->viewport();
    int caption = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return cascade_.Next(app_.Core().Frame(), client->width(), client->height(), caption);
}

void CMainFrame::RememberArticleSize(int width, int height) {
    qb::RememberArticleSize(app_.Core().Frame(), width, height);
}

int32_t CMainFrame::KeywordPaneWidth() const {
    return app_.Core().Frame().divider;
}

void CMainFrame::SetKeywordPaneWidth(int32_t width) {
    SetDivider(app_.Core().Frame(), width);
}

// ---- placement and closing

void CMainFrame::TrackNormalRect() {
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    if (!isVisible()) return;
    normalRect_ = ToRect(geometry());
}

void CMainFrame::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    TrackNormalRect();
}

void CMainFrame::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    TrackNormalRect();
}

void CMainFrame::SaveOnClose() {
    if (saved_) return;
    saved_ = true;
    FrameValues& v = app_.Core().Frame();
    for (int b = 0; b < kBarCount; ++b)
        if (static_cast<Bar>(b) != Bar::Format) v.barVisible[b] = !bars_[b]->isHidden();
    v.statusBarVisible = !statusBar()->isHidden();
    RecordMainWindowOnClose(v, normalRect_, isMaximized());
    ProfileStore& store = app_.Core().Store();
    // One report at most: the layout is saved only after the values were.
    if (SaveFrameValues(store, v)) SaveDockLayout(store, saveState().toHex().toStdString());
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    // A running export reads the document and pumps events from inside
    // this window's handlers: the window stays until it has ended (its
    // progress window's Cancel ends it early).
    if (app_.Busy()) {
        e->ignore();
        QApplication::beep();
        return;
    }
    SaveOnClose();
    app_.CloseAllDocuments();
    e->accept();
}

// ---- files dropped on the window

void CMainFrame::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls()) {
        for (const QUrl& u : e->mimeData()->urls()) {
            if (u.isLocalFile()) {
                e->acceptProposedAction();
                return;
            }
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* e) {
    if (OpenDropped(*e->mimeData())) e->acceptProposedAction();
}

bool CMainFrame::OpenDropped(const QMimeData& mime) {
    // One file is open at a time: the first local file dropped is opened.
    for (const QUrl& u : mime.urls()) {
        if (!u.isLocalFile()) continue;
        std::string path = u.toLocalFile().toStdString();
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                app_.Core().OpenDocumentFile(path);
                RebuildRecentMenu();
                UpdateCommandStates();
            },
            Qt::QueuedConnection);
        return true;
    }
    return false;
}

}  // namespace qb

#include "gui/index/index_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRubberBand>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>

#include "app/profile_store.h"
#include "app/settings.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "gui/app/copy_key.h"
#include "gui/index/index_context_menus.h"
#include "gui/index/index_lists.h"
#include "gui/index/query_dialogs.h"
#include "gui/richtext/rich_text_document.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "richtext/article_content.h"
#include "richtext/rich_text.h"

namespace qb {

namespace {

IndexSettings ModelSettings(const Settings& s, const IndexDisplayValues& d) {
    IndexSettings m;
    m.initList = s.initList;
    m.selectListMode = s.selectListMode;
    m.indexMode = d.indexMode;
    m.autoUpdateQuery = s.autoUpdateQuery;
    return m;
}

QPushButton* CaptionButton(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setFlat(true);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setStyleSheet(
        "QPushButton { text-align: left; padding: 0 3px; border: 1px solid palette(mid); }");
    return b;
}

QIcon MarkIcon(StatusMark mark, int size, const QColor& colour) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    DrawStatusMark(p, QRect(0, 0, size, size), mark, colour);
    return QIcon(pm);
}

constexpr StatusMark kMarks[4] = {StatusMark::Bookmark, StatusMark::Attachment,
                                  StatusMark::Hypertext, StatusMark::Private};
constexpr TitleColumn kMarkColumns[4] = {TitleColumn::Bookmark, TitleColumn::Attachment,
                                         TitleColumn::Hypertext, TitleColumn::Private};

}  // namespace

QString CIndexView::Prompt(IndexPane pane) {
    int id = 0;
    switch (pane) {
        case IndexPane::Index:
            id = msg::kPromptIndexList;
            break;
        case IndexPane::Selected:
            id = msg::kPromptSelectedList;
            break;
        case IndexPane::Titles:
            id = msg::kPromptTitleList;
            break;
        case IndexPane::Content:
            id = msg::kPromptContentPreview;
            break;
        case IndexPane::KeywordPreview:
            id = msg::kPromptKeywordPreview;
            break;
        case IndexPane::Groups:
            id = msg::kPromptGroupList;
            break;
        default:
            return QString();
    }
    return QString::fromUtf8(ResourceString(id));
}

CIndexView::CIndexView(IndexServices services, QWidget* parent)
    : QWidget(parent),
      svc_(std::move(services)),
      source_(*svc_.doc),
      model_(source_, *svc_.locale, *svc_.ui, *this, *svc_.query,
             ModelSettings(*svc_.settings, LoadIndexDisplay(*svc_.store))),
      previewKeywords_([this](int32_t id) { return source_.KeywordName(id); }, *svc_.locale,
                       &source_.TextCodePage()),
      disp_(LoadIndexDisplay(*svc_.store)) {
    setObjectName("CIndexView");
    groupShown_ = disp_.groupVisible != 0;
    Build();
    ApplyDisplaySettings();
    svc_.doc->SetIndexWindow(this);
}

CIndexView::~CIndexView() {
    while (waitDepth_ > 0)
        EndWaitCursor();
    if (svc_.doc && svc_.doc->GetIndexWindow() == this) svc_.doc->SetIndexWindow(nullptr);
    // The panes go after this part of the view: what they signal then must
    // not reach it.
    disconnect(qApp, nullptr, this, nullptr);
    content_->disconnect(this);
}

void CIndexView::Build() {
    groupCaption_ = new QLabel("Keyword Groups", this);
    groupCaption_->setObjectName("Caption1016");
    groupCaption_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    groups_ =
        new CKeywordListBox(model_.GroupList(), DragSource::GroupList, drop_kind::kGroupList, this);
    groups_->setObjectName("GroupList");
    indexCaption_ = CaptionButton("Index (All)", this);
    indexCaption_->setObjectName("Caption1012");
    index_ =
        new CKeywordListBox(model_.IndexList(), DragSource::IndexList, drop_kind::kIndexList, this);
    index_->setObjectName("IndexList");
    toSelected_ = new QPushButton(">>", this);
    toSelected_->setObjectName("Button1004");
    toIndex_ = new QPushButton("<<", this);
    toIndex_->setObjectName("Button1005");
    selectedCaption_ = CaptionButton("Selected (AND)", this);
    selectedCaption_->setObjectName("Caption1011");
    selected_ = new CKeywordListBox(model_.SelectedList(), DragSource::SelectedList,
                                    drop_kind::kSelectedList, this);
    selected_->setObjectName("SelectedList");
    for (int i = 0; i < 4; ++i) {
        statusCaptions_[i] = CaptionButton(QString(), this);
        statusCaptions_[i]->setObjectName(QString("StatusCaption%1").arg(i));
        statusCaptions_[i]->setStyleSheet(
            "QPushButton { padding: 0; border: 1px solid palette(mid); }");
    }
    dateCaption_ = CaptionButton("Date", this);
    dateCaption_->setObjectName("Caption1009");
    titleCaption_ = CaptionButton(QString(), this);
    titleCaption_->setObjectName("Caption1010");
    titles_ = new CIndexTitleList(model_.Titles(), source_, *svc_.locale, this);
    titles_->setObjectName("TitleList");
    content_ = new QTextEdit(this);
    content_->setObjectName("ContentPreview");
    content_->setReadOnly(true);
    content_->setContextMenuPolicy(Qt::NoContextMenu);
    keywordPreview_ = new CKeywordListBox(previewKeywords_, DragSource::KeywordPreview,
                                          drop_kind::kKeywordPreview, this);
    keywordPreview_->setObjectName("KeywordPreview");

    // Dialog-fashion Tab order through the panes.
    QWidget* order[] = {groups_,
                        indexCaption_,
                        index_,
                        toSelected_,
                        toIndex_,
                        selectedCaption_,
                        selected_,
                        statusCaptions_[0],
                        statusCaptions_[1],
                        statusCaptions_[2],
                        statusCaptions_[3],
                        dateCaption_,
                        titleCaption_,
                        titles_,
                        content_,
                        keywordPreview_};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    for (QWidget* w : {static_cast<QWidget*>(groups_), static_cast<QWidget*>(index_),
                       static_cast<QWidget*>(selected_), static_cast<QWidget*>(titles_),
                       static_cast<QWidget*>(content_), static_cast<QWidget*>(keywordPreview_)}) {
        w->installEventFilter(this);
        if (auto* a = qobject_cast<QAbstractScrollArea*>(w))
            a->viewport()->installEventFilter(this);
    }
    for (QPushButton* b :
         {indexCaption_, selectedCaption_, dateCaption_, titleCaption_, statusCaptions_[0],
          statusCaptions_[1], statusCaptions_[2], statusCaptions_[3]})
        b->installEventFilter(this);

    connect(toSelected_, &QPushButton::clicked, this, [this] { MoveToSelected(); });
    connect(toIndex_, &QPushButton::clicked, this, [this] { MoveToIndex(); });
    connect(indexCaption_, &QPushButton::clicked, this, [this] {
        model_.IndexList().ToggleReverse();
        Sync();
    });
    connect(selectedCaption_, &QPushButton::clicked, this,
            [this] { ChooseAndOr(model_.SelectedKeywordMode() == kAndMode ? kOrMode : kAndMode); });
    for (int i = 0; i < 4; ++i) {
        connect(statusCaptions_[i], &QPushButton::clicked, this, [this, i] {
            model_.Titles().ClickCaption(kMarkColumns[i]);
            Sync();
        });
    }
    connect(dateCaption_, &QPushButton::clicked, this, [this] {
        model_.Titles().ClickCaption(TitleColumn::Date);
        Sync();
    });
    connect(titleCaption_, &QPushButton::clicked, this, [this] {
        model_.Titles().ClickCaption(TitleColumn::Title);
        Sync();
    });

    for (CDragList* list : {static_cast<CDragList*>(groups_), static_cast<CDragList*>(index_),
                            static_cast<CDragList*>(selected_), static_cast<CDragList*>(titles_),
                            static_cast<CDragList*>(keywordPreview_)}) {
        connect(list, &CDragList::SelectionChangedByUser, this,
                [this, list] { ListSelectionChanged(list); });
        connect(list, &CDragList::Dropped, this,
                [this, list](QWidget* target) { HandleDrop(list, target); });
    }
    connect(index_, &CDragList::Activated, this, [this] { MoveToSelected(); });
    connect(selected_, &CDragList::Activated, this, [this] { MoveToIndex(); });
    connect(titles_, &CDragList::Activated, this, [this] { OpenHighlighted(); });

    auto* f8 = new QShortcut(QKeySequence(Qt::Key_F8), this);
    f8->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f8, &QShortcut::activated, this, [this] { CyclePreview(); });
    auto* f9 = new QShortcut(QKeySequence(Qt::Key_F9), this);
    f9->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f9, &QShortcut::activated, this, [this] { ToggleIndexMode(); });

    bar_ = new QRubberBand(QRubberBand::Line, this);
    setMouseTracking(true);

    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || !isAncestorOf(now)) return;
        lastFocus_ = now;
        // Copy follows the focused pane.
        if (svc_.updateCommands) svc_.updateCommands();
    });
    connect(content_, &QTextEdit::selectionChanged, this, [this] {
        if (svc_.updateCommands) svc_.updateCommands();
    });
}

// ---- measuring and layout ----------------------------------------------------------------

void CIndexView::ApplyDisplaySettings() {
    const Settings& s = *svc_.settings;
    TitleRowStyle& st = titles_->Style();
    st.showTag = s.showTag != 0;
    st.showAttachment = s.showAttachment != 0;
    st.showHypertext = s.showHypertextStatus != 0;
    st.showPrivate = s.showPrivateStatus != 0;
    st.showDate = s.showDate != 0;
    st.showTime = s.showTime != 0;
    st.dateColor = s.dateColor;
    st.titleColor = s.titleColor;
    titles_->Measure();
    ApplyPreviewColour();
    UpdateCaptions();
    Relayout();
}

void CIndexView::FitKeywordLists() {
    if (disp_.listWidthStored && disp_.dividerStored) return;
    // Every keyword can be in either list, and the captions switch between
    // their two texts.
    int rows = 0;
    QFontMetrics fm(index_->font());
    for (size_t row = 0; row < model_.IndexList().RowCount(); ++row)
        rows = std::max(rows, fm.horizontalAdvance(index_->RowText(int(row))));
    for (size_t row = 0; row < model_.SelectedList().RowCount(); ++row)
        rows = std::max(rows, fm.horizontalAdvance(selected_->RowText(int(row))));
    // The rows' padding as drawn, both frames and a scroll bar.
    rows += 4 + 2 * index_->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    auto caption = [](QPushButton* b, std::initializer_list<const char*> texts) {
        QString shown = b->text();
        int w = 0;
        for (const char* t : texts) {
            b->setText(t);
            w = std::max(w, b->sizeHint().width());
        }
        b->setText(shown);
        return w;
    };
    if (!disp_.listWidthStored) {
        disp_.listWidth = FittedKeywordListWidth(
            std::max(rows, caption(indexCaption_, {"Index (All)", "Index (Related)"})));
        disp_.listWidthStored = true;
    }
    if (!disp_.dividerStored) {
        disp_.divider = FittedKeywordListWidth(
            std::max(rows, caption(selectedCaption_, {"Selected (AND)", "Selected (OR)"})));
        disp_.dividerStored = true;
    }
    Relayout();
}

void CIndexView::ApplyPreviewColour() {
    QPalette pal = content_->palette();
    QColor c = ColourOf(svc_.settings->previewColor, palette().color(QPalette::Button));
    pal.setColor(QPalette::Base, c);
    content_->setPalette(pal);
    QPalette kp = keywordPreview_->palette();
    kp.setColor(QPalette::Base, c);
    keywordPreview_->setPalette(kp);
}

void CIndexView::Place(QWidget* w, const PaneRect& r) {
    if (!r.visible) {
        w->hide();
        return;
    }
    w->setGeometry(r.x, r.y, r.w, r.h);
    w->show();
}

void CIndexView::Relayout() {
    LayoutInput in;
    in.clientWidth = width();
    in.clientHeight = height();
    in.captionHeight = QFontMetrics(indexCaption_->font()).height() + 9;
    in.rowHeight = titles_->Style().rowHeight;
    in.listBorder = 2 * titles_->frameWidth();
    in.keywordListsShown = disp_.view == 0;
    in.groupListShown = groupShown_;
    in.groupWidth = disp_.groupWidth;
    in.listWidth = disp_.listWidth;
    in.divider = disp_.divider;
    in.previewFlags = disp_.previewOn;
    in.previewHeight = disp_.previewHeight;
    const TitleRowStyle& st = titles_->Style();
    bool shown[4] = {st.showTag, st.showAttachment, st.showHypertext, st.showPrivate};
    bool first = true;
    for (bool on : shown) {
        if (!on) continue;
        // Each caption over its column and the gap after it; the first
        // also over the row's one-pixel start and the list's border.
        in.statusWidths.push_back(st.markWidth + 4 + (first ? 1 + titles_->frameWidth() : 0));
        first = false;
    }
    in.dateCaptionWidth =
        st.DateTimeWidth() + (in.statusWidths.empty() ? 1 + titles_->frameWidth() : 0);
    if (!st.showDate) in.dateCaptionWidth = 0;
    in.keywordPreviewWidth = svc_.keywordPaneWidth ? svc_.keywordPaneWidth() : 100;
    layout_ = ComputeIndexLayout(in);
    if (disp_.previewHeight < 0 && (disp_.previewOn & 3) && height() > 0)
        disp_.previewHeight = layout_.previewHeight;

    Place(groupCaption_, layout_.groupCaption);
    Place(groups_, layout_.group);
    Place(indexCaption_, layout_.indexCaption);
    Place(index_, layout_.index);
    Place(toSelected_, layout_.toSelected);
    Place(toIndex_, layout_.toIndex);
    Place(selectedCaption_, layout_.selectedCaption);
    Place(selected_, layout_.selected);
    size_t k = 0;
    for (int i = 0; i < 4; ++i) {
        if (shown[i] && k < layout_.statusCaptions.size())
            Place(statusCaptions_[i], layout_.statusCaptions[k++]);
        else
            statusCaptions_[i]->hide();
    }
    Place(dateCaption_, layout_.dateCaption);
    Place(titleCaption_, layout_.titleCaption);
    Place(titles_, layout_.titles);
    Place(content_, layout_.contentPreview);
    Place(keywordPreview_, layout_.keywordPreview);
}

void CIndexView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Relayout();
}

// ---- splitters --------------------------------------------------------------------------

void CIndexView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    QPoint p = e->position().toPoint();
    dragging_ = HitSplitter(layout_, p.x(), p.y());
    if (dragging_ == Splitter::None) return;
    bool vertical = dragging_ == Splitter::Preview;
    bar_->setGeometry(vertical ? QRect(layout_.titles.x, p.y(), layout_.titles.w, 2)
                               : QRect(p.x(), layout_.titles.y, 2, layout_.titles.h));
    bar_->show();
}

void CIndexView::mouseMoveEvent(QMouseEvent* e) {
    QPoint p = e->position().toPoint();
    if (dragging_ != Splitter::None) {
        if (dragging_ == Splitter::Preview)
            bar_->move(bar_->x(), p.y());
        else
            bar_->move(p.x(), bar_->y());
        return;
    }
    // The hot state of a handle: the pointer shows it can be dragged.
    Splitter over = HitSplitter(layout_, p.x(), p.y());
    if (over == Splitter::None)
        unsetCursor();
    else
        setCursor(over == Splitter::Preview ? Qt::SplitVCursor : Qt::SplitHCursor);
}

void CIndexView::mouseReleaseEvent(QMouseEvent* e) {
    if (dragging_ == Splitter::None) return;
    QPoint p = e->position().toPoint();
    int32_t v = SplitterValue(layout_, dragging_, p.x(), p.y());
    switch (dragging_) {
        case Splitter::Group:
            disp_.groupWidth = v;
            break;
        case Splitter::Index:
            disp_.listWidth = v;
            break;
        case Splitter::Selected:
            disp_.divider = v;
            break;
        case Splitter::Preview:
            disp_.previewHeight = v;
            break;
        case Splitter::None:
            break;
    }
    dragging_ = Splitter::None;
    bar_->hide();
    Relayout();
}

// ---- panes and prompts ----------------------------------------------------------------------

IndexPane CIndexView::PaneOf(const QWidget* w) const {
    for (; w && w != this; w = w->parentWidget()) {
        if (w == groups_) return IndexPane::Groups;
        if (w == index_) return IndexPane::Index;
        if (w == selected_) return IndexPane::Selected;
        if (w == titles_) return IndexPane::Titles;
        if (w == content_) return IndexPane::Content;
        if (w == keywordPreview_) return IndexPane::KeywordPreview;
        if (qobject_cast<const QPushButton*>(w)) return IndexPane::Caption;
    }
    return IndexPane::None;
}

IndexPane CIndexView::FocusedPane() const {
    QWidget* f = QApplication::focusWidget();
    if (f && isAncestorOf(f)) return PaneOf(f);
    return lastFocus_ ? PaneOf(lastFocus_) : IndexPane::None;
}

bool CIndexView::eventFilter(QObject* o, QEvent* e) {
    if (TakeCopyKey(e, svc_.updateCommands)) return true;
    if (e->type() == QEvent::Enter) {
        QString prompt = Prompt(PaneOf(qobject_cast<QWidget*>(o)));
        if (!prompt.isEmpty() && svc_.mainWindow && svc_.mainWindow->statusBar())
            svc_.mainWindow->statusBar()->showMessage(prompt);
    } else if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (auto* b = qobject_cast<QPushButton*>(o);
            b && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter)) {
            b->click();
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

void CIndexView::RestoreFocus() {
    if (lastFocus_ && lastFocus_->isVisible())
        lastFocus_->setFocus(Qt::OtherFocusReason);
    else if (titles_->isVisible())
        titles_->setFocus(Qt::OtherFocusReason);
}

// ---- syncing the panes with the model --------------------------------------------------------

void CIndexView::UpdateCaptions() {
    indexCaption_->setText(QString::fromStdString(model_.IndexCaption()));
    indexCaption_->setIcon(style()->standardIcon(
        model_.IndexList().Reversed() ? QStyle::SP_ArrowDown : QStyle::SP_ArrowUp));
    selectedCaption_->setText(QString::fromStdString(model_.SelectedCaption()));
    const TitleRowStyle& st = titles_->Style();
    dateCaption_->setText(st.showTime ? "Date / Time" : "Date");
    titleCaption_->setText(QString::fromStdString(model_.TitleCaption()));
    auto markIcon = [this](SortMark m) {
        if (m == SortMark::Ascending) return style()->standardIcon(QStyle::SP_ArrowUp);
        if (m == SortMark::Descending) return style()->standardIcon(QStyle::SP_ArrowDown);
        return QIcon();
    };
    dateCaption_->setIcon(markIcon(model_.Titles().DateMark()));
    titleCaption_->setIcon(markIcon(model_.Titles().TitleMark()));
    titleCaption_->setLayoutDirection(Qt::LeftToRight);
    QColor text = palette().color(QPalette::ButtonText);
    for (int i = 0; i < 4; ++i) {
        statusCaptions_[i]->setIcon(MarkIcon(kMarks[i], st.markWidth, text));
        statusCaptions_[i]->setIconSize(QSize(st.markWidth, st.markWidth));
    }
}

void CIndexView::Sync() {
    for (CDragList* list : {static_cast<CDragList*>(groups_), static_cast<CDragList*>(index_),
                            static_cast<CDragList*>(selected_), static_cast<CDragList*>(titles_),
                            static_cast<CDragList*>(keywordPreview_)})
        list->ResetRows();
    if (auto row = model_.SelectedList().ScrollTarget()) selected_->ScrollToRow(*row);
    if (auto row = model_.Titles().ScrollTarget()) titles_->ScrollToRow(*row);
    UpdateCaptions();
    if (svc_.updateCommands) svc_.updateCommands();
    TellTitleList();
}

void CIndexView::TellTitleList() {
    if (!svc_.titleListChanged) return;
    bool changed =
        model_.TitleMode() != toldTitleMode_ || !(model_.Titles().Members() == toldTitles_);
    if (changed) {
        toldTitleMode_ = model_.TitleMode();
        toldTitles_.Copy(model_.Titles().Members());
    }
    svc_.titleListChanged(changed);
}

void CIndexView::ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped) {
    model_.ShowFoundTitles(ids, stopped);
    Sync();
}

void CIndexView::ListSelectionChanged(CDragList* list) {
    if (list == groups_) {
        model_.GroupHighlightChanged();
        index_->ResetRows();
    } else if (list == titles_) {
        UpdatePreview();
    }
    if (svc_.updateCommands) svc_.updateCommands();
    if (list == titles_) TellTitleList();
}

// ---- preview ---------------------------------------------------------------------------------

void CIndexView::UpdatePreview() {
    if (disp_.previewOn & preview_flag::kContent) {
        std::optional<int32_t> id = model_.PreviewArticle();
        if (!id) {
            if (shownArticle_ != NIL_BLOCK) ClearContentPreview();
            shownArticle_ = NIL_BLOCK;
        } else if (*id != shownArticle_) {
            LoadContent(*id);
        }
    }
    if (disp_.previewOn & preview_flag::kKeywords) {
        IdSet common = model_.PreviewKeywords();
        if (!(common == previewKeywords_.Members())) {
            previewKeywords_.SetMembers(common);
            keywordPreview_->ResetRows();
        }
    }
}

void CIndexView::ClearContentPreview() {
    content_->clear();
    shownContent_ = RichTextControl();
}

void CIndexView::LoadContent(int32_t id) {
    shownArticle_ = id;  // a failure is reported once, not on every repaint
    ++contentLoads_;
    try {
        CArticle article;
        svc_.doc->ReadArticle(id, article);
        LoadArticleContent(shownContent_, article.IsRichText(), article.Content(),
                           source_.TextCodePage());
        gui::FillDocument(*content_->document(), shownContent_);
    } catch (const CQuillError& e) {
        ClearContentPreview();
        Report(e);
    }
}

void CIndexView::SetPreviewFlags(int32_t flags) {
    flags &= 3;
    if (flags == disp_.previewOn) return;
    disp_.previewOn = flags;
    // A pane switched on shows the current highlight; switched off, it
    // forgets what it showed.
    if (!(flags & preview_flag::kContent)) {
        ClearContentPreview();
        shownArticle_ = NIL_BLOCK;
    }
    if (!(flags & preview_flag::kKeywords)) {
        previewKeywords_.SetMembers(IdSet());
        keywordPreview_->ResetRows();
    }
    Relayout();
    UpdatePreview();
    if (svc_.updateCommands) svc_.updateCommands();
}

// ---- commands ----------------------------------------------------------------------------------

void CIndexView::Report(const CQuillError& e) {
    e.ReportError(*svc_.ui);
}

void CIndexView::SetView(int32_t view) {
    view = view == 1 ? 1 : 0;
    if (view == disp_.view) return;
    disp_.view = view;
    Relayout();
    if (view == 1 && lastFocus_ && !lastFocus_->isVisible()) titles_->setFocus();
    emit KeywordListsWidthChanged(view == 1 ? -KeywordListsWidth(disp_) : KeywordListsWidth(disp_));
    if (svc_.updateCommands) svc_.updateCommands();
}

void CIndexView::ShowGroupList(bool on, bool byUser) {
    if (byUser) groupToggled_ = true;
    groupShown_ = on;
    disp_.groupVisible = on ? 1 : 0;
    model_.SetGroupPaneVisible(on);
    Relayout();
    index_->ResetRows();
    if (svc_.updateCommands) svc_.updateCommands();
}

bool CIndexView::OnScreen() const {
    return isVisible() && !window()->isMinimized();
}

void CIndexView::MoveToSelected() {
    if (!OnScreen()) return;
    model_.MoveToSelected();
    Sync();
}

void CIndexView::MoveToIndex() {
    model_.MoveToIndex();
    Sync();
}

void CIndexView::ChooseAndOr(int32_t mode) {
    model_.ChooseAndOrMode(mode);
    Sync();
}

void CIndexView::ChooseIndexMode(int32_t mode) {
    model_.SetIndexMode(mode);
    disp_.indexMode = model_.RequestedIndexMode();
    Sync();
}

void CIndexView::SortBy(int32_t order) {
    if (model_.Titles().SetOrder(order)) Sync();
}

void CIndexView::ShowTitles(int32_t mode) {
    if (mode == title_mode::kBookmarked)
        model_.ShowBookmarkedTitles();
    else if (mode == title_mode::kAttachments)
        model_.ShowArticlesWithAttachments();
    else
        model_.ShowAllTitles();
    Sync();
    BringToFront();
}

void CIndexView::OpenHighlighted() {
    for (int32_t id : model_.Titles().ArticlesToOpen())
        OpenArticle(id);
}

void CIndexView::PreviousNext(bool next) {
    model_.Titles().PreviousNext(next);
}

void CIndexView::SelectAll() {
    switch (FocusedPane()) {
        case IndexPane::Groups:
            model_.GroupList().SelectAll();
            model_.GroupHighlightChanged();
            break;
        case IndexPane::Index:
            model_.IndexList().SelectAll();
            break;
        case IndexPane::Selected:
            model_.SelectedList().SelectAll();
            break;
        case IndexPane::KeywordPreview:
            previewKeywords_.SelectAll();
            break;
        case IndexPane::Content:
            content_->selectAll();
            return;
        default:
            model_.Titles().SelectAll();
            break;
    }
    UpdatePreview();
    for (CDragList* list : {static_cast<CDragList*>(groups_), static_cast<CDragList*>(index_),
                            static_cast<CDragList*>(selected_), static_cast<CDragList*>(titles_),
                            static_cast<CDragList*>(keywordPreview_)})
        list->viewport()->update();
    if (svc_.updateCommands) svc_.updateCommands();
}

void CIndexView::TurnOffGroupFilter() {
    model_.TurnOffGroupFilter();
    Sync();
}

void CIndexView::HandleDrop(CDragList* source, QWidget* target) {
    auto* list = qobject_cast<CDragList*>(target);
    if (!list || list->parentWidget() != this) {
        // Another window's lists and article windows take no keywords here.
        if (list && list->TargetKind() == drop_kind::kSelectedList) {
            if (auto* other = qobject_cast<CIndexView*>(list->parentWidget()); other) {
                if (auto* from = qobject_cast<CKeywordListBox*>(source)) {
                    IdSet ids;
                    ids.Copy(from->List().Highlighted());
                    other->model_.AddToSelection(ids);
                    other->Sync();
                }
            }
        }
        return;
    }
    if (list == index_ && source == selected_) {
        MoveToIndex();
    } else if (list == selected_ && source == index_) {
        MoveToSelected();
    } else if (list == selected_) {
        if (auto* from = qobject_cast<CKeywordListBox*>(source)) {
            IdSet ids;
            ids.Copy(from->List().Highlighted());
            model_.AddToSelection(ids);
            Sync();
        }
    }
    // The title list and the group list take drops without effect.
}

// ---- queries --------------------------------------------------------------------------------

void CIndexView::BuildQuery() {
    try {
        CBuildQueryDialog dialog(model_, source_, *svc_.locale, *svc_.ui, *svc_.query,
                                 svc_.settings->pivotYear, svc_.exec, this);
        if (svc_.exec(dialog) != QDialog::Accepted) return;
        model_.RunCurrentQuery();
    } catch (const CQuillError& e) {
        Report(e);
    }
    Sync();
}

void CIndexView::RunSavedQuery(int32_t tableIndex) {
    if (model_.RunSavedQuery(tableIndex)) SavedQueryMenuChanged();
    Sync();
}

void CIndexView::MoreQueries() {
    CSelectQueryDialog dialog(model_.Saved(), *svc_.locale, this, source_.TextCodePage());
    if (svc_.exec(dialog) != QDialog::Accepted || dialog.Chosen() < 0) return;
    RunSavedQuery(dialog.Chosen());
}

void CIndexView::SavedQueryMenuChanged() {
    if (svc_.rebuildSavedQueryMenu) svc_.rebuildSavedQueryMenu(model_.Saved().Menu());
}

// ---- context menus ------------------------------------------------------------------------------

std::unique_ptr<QMenu> CIndexView::ContextMenu(IndexPane pane) {
    return IndexContextMenu(*this, pane);
}

void CIndexView::contextMenuEvent(QContextMenuEvent* e) {
    QWidget* at = childAt(e->pos());
    IndexPane pane = PaneOf(at);
    if (at) at->setFocus(Qt::MouseFocusReason);
    if (std::unique_ptr<QMenu> menu = ContextMenu(pane)) menu->exec(e->globalPos());
}

void CIndexView::SaveDisplay(IndexDisplayValues placement, bool placementRecorded) {
    IndexDisplayValues v = disp_;
    v.indexMode = model_.RequestedIndexMode();
    v.top = placement.top;
    v.left = placement.left;
    v.width = placement.width;
    v.height = placement.height;
    v.maximized = placement.maximized;
    SaveIndexDisplay(*svc_.store, v, groupToggled_, placementRecorded);
}

}  // namespace qb

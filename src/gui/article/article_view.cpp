#include "gui/article/article_view.h"

#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTimeEdit>
#include <QToolTip>
#include <algorithm>

#include "app/settings.h"
#include "article/clipboard_copy.h"
#include "article/link_following.h"
#include "datafile/dates.h"
#include "document/quillbox_doc.h"
#include "gui/app/copy_key.h"
#include "gui/article/article_content.h"
#include "gui/article/article_gallery.h"
#include "platform/locale.h"
#include "resources/command_ids.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

namespace {

QString Utf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString Resource(int id) {
    const char* s = ResourceString(id);
    return s ? QString::fromUtf8(s) : QString();
}

// The indicators are drawn, so they look the same under every icon theme.
void PaintBookmark(QPainter& p, const Rect& r) {
    QPainterPath ribbon;
    ribbon.moveTo(r.left + 3, r.top);
    ribbon.lineTo(r.Right() - 3, r.top);
    ribbon.lineTo(r.Right() - 3, r.Bottom());
    ribbon.lineTo(r.left + r.width / 2, r.Bottom() - 5);
    ribbon.lineTo(r.left + 3, r.Bottom());
    ribbon.closeSubpath();
    p.fillPath(ribbon, QColor(200, 30, 30));
}

void PaintPaperClip(QPainter& p, const Rect& r, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(r.left + 4, r.top + 1, 8, 14), 4, 4);
    p.drawRoundedRect(QRectF(r.left + 6, r.top + 4, 4, 8), 2, 2);
    p.restore();
}

}  // namespace

CArticleView::CArticleView(ArticleServices services, int32_t id, QWidget* parent)
    : QWidget(parent),
      svc_(std::move(services)),
      opener_(*svc_.launcher, *svc_.ui, MakeTargetContext(*svc_.doc, svc_.settings)),
      queue_(*svc_.clock) {
    setObjectName("CArticleView");
    setMouseTracking(true);
    model_.id = id;
    queueTimer_.setSingleShot(true);
    connect(&queueTimer_, &QTimer::timeout, this, [this] { OpenDueAttachments(); });
    BuildChildren();
    Load();
}

CArticleView::~CArticleView() {
    Stop();
    // The fields go after this part of the view: what they signal then
    // must not reach it.
    disconnect(qApp, nullptr, this, nullptr);
    for (QObject* field : {static_cast<QObject*>(title_), static_cast<QObject*>(date_),
                           static_cast<QObject*>(content_), static_cast<QObject*>(gallery_)})
        field->disconnect(this);
}

void CArticleView::BuildChildren() {
    title_ = new QLineEdit(this);
    title_->setObjectName("ArticleTitle");
    title_->setReadOnly(true);
    title_->setMaxLength(static_cast<int>(kMaxTitleField));
    title_->setTextMargins(3, 0, 3, 0);

    date_ = new QLineEdit(this);
    date_->setObjectName("ArticleDate");
    date_->setReadOnly(true);
    date_->setAlignment(Qt::AlignRight);

    dateButton_ = new QPushButton(QString::fromUtf8("\u2026"), this);
    dateButton_->setObjectName("ArticleDateButton");
    dateButton_->setEnabled(false);  // the date cannot be changed
    dateButton_->setFocusPolicy(Qt::NoFocus);

    time_ = new QTimeEdit(this);
    time_->setObjectName("ArticleTime");
    time_->setEnabled(false);

    content_ = new ArticleContent(this);
    content_->setObjectName("ArticleContent");
    content_->setReadOnly(true);
    content_->viewport()->installEventFilter(this);
    // Activating the window puts the caret in the content, not the title.
    setFocusProxy(content_);

    keywords_ = new QListWidget(this);
    keywords_->setObjectName("ArticleKeywords");
    keywords_->viewport()->installEventFilter(this);

    gallery_ = new ArticleGallery(this);
    gallery_->setObjectName("ArticleGallery");
    gallery_->hide();

    // The fields' own Copy keys and menus would copy past the command.
    for (QWidget* w : {static_cast<QWidget*>(title_), static_cast<QWidget*>(date_),
                       static_cast<QWidget*>(content_), static_cast<QWidget*>(keywords_),
                       static_cast<QWidget*>(gallery_)})
        w->installEventFilter(this);
    for (QWidget* w : {static_cast<QWidget*>(title_), static_cast<QWidget*>(date_),
                       static_cast<QWidget*>(content_)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& pos) { ShowFieldMenu(w, pos); });
    }
    auto selectionChanged = [this] {
        if (svc_.updateCommands) svc_.updateCommands();
    };
    connect(title_, &QLineEdit::selectionChanged, this, selectionChanged);
    connect(date_, &QLineEdit::selectionChanged, this, selectionChanged);
    connect(content_, &QTextEdit::selectionChanged, this, selectionChanged);
    // Copy follows the focused field.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && isAncestorOf(now) && svc_.updateCommands) svc_.updateCommands();
    });

    connect(content_, &ArticleContent::storedLinkHovered, this, [this](int index) {
        if (index >= 0 && size_t(index) < model_.links.size())
            ShowStatus(Utf8(CutUtf8(model_.links[size_t(index)].description, kMaxLinkDescription)));
        else
            ShowStatus(Resource(msg::kPromptArticleContent));
    });
    connect(content_, &ArticleContent::followStoredLink, this,
            [this](int index) { FollowLink(index); });
    connect(content_, &ArticleContent::openRecognizedTarget, this,
            [this](bool web, const QString& target) { OpenRecognized(web, target); });
    connect(gallery_, &ArticleGallery::openAttachment, this,
            [this](int index) { OpenAttachmentAt(index); });
    connect(gallery_, &QListWidget::currentItemChanged, this, [this] {
        if (svc_.updateCommands) svc_.updateCommands();
    });
}

void CArticleView::Load() {
    model_ = LoadArticleView(*svc_.doc, model_.id, *svc_.locale, opener_.Context());
    title_->setText(Utf8(model_.titleField));
    title_->setCursorPosition(0);
    date_->setText(Utf8(model_.dateText));
    if (IsValidTime(model_.articleTime)) {
        int32_t t = model_.articleTime;
        time_->setTime(QTime(t / 3600, t / 60 % 60, t % 60));
    }

    std::vector<StoredLinkRange> ranges;
    ranges.reserve(model_.links.size());
    for (const StoredLinkView& l : model_.links)
        ranges.push_back(StoredLinkRange{l.start, l.end});
    // Wrapping first: changing it later lays the whole text out once more.
    content_->SetWordWrap(model_.WordWrap());
    // A plain-text article never colours recognised links; a rich one as it was saved.
    content_->Load(model_.content, std::move(ranges),
                   model_.richText && model_.display.linkDisplay != 0);

    keywords_->clear();
    for (const std::string& k : model_.keywords)
        keywords_->addItem(Utf8(k));

    galleryEdge_ = GalleryEdgeFor(svc_.settings ? svc_.settings->galleryImageSize : 1);
    galleryShown_ = svc_.settings && svc_.settings->showImageGallery != 0;
    if (model_.attachments.empty()) galleryShown_ = false;
    RebuildGallery();
    Relayout();
}

// ---- the gallery

void CArticleView::RebuildGallery() {
    if (galleryShown_) {
        gallery_->Rebuild(GalleryItemsFor(model_.attachments), galleryEdge_);
    } else {
        gallery_->Stop();
        gallery_->clear();
    }
    gallery_->setVisible(galleryShown_);
}

void CArticleView::ToggleGallery() {
    galleryShown_ = !galleryShown_;
    galleryEdge_ = GalleryEdgeFor(svc_.settings ? svc_.settings->galleryImageSize : 1);
    RebuildGallery();
    Relayout();
    emit galleryToggled(galleryShown_);
}

int CArticleView::HighlightedGalleryAttachment() const {
    return galleryShown_ ? gallery_->HighlightedAttachment() : -1;
}

void CArticleView::OpenHighlightedGalleryItem() {
    int index = HighlightedGalleryAttachment();
    if (index >= 0) OpenAttachmentAt(index);
}

// ---- opening attachments and links

void CArticleView::OpenAttachmentAt(int index) {
    if (index < 0 || size_t(index) >= model_.storedAttachments.size()) return;
    opener_.Open(model_.storedAttachments[size_t(index)]);
}

void CArticleView::OpenAttachments() {
    StartQueue(ChooseAttachmentsToOpen(model_.storedAttachments, *svc_.ui), kOpenAttachmentsWebGap);
}

void CArticleView::StartAutoOpen() {
    AutoOpenPreferences prefs;
    if (svc_.settings) prefs = AutoOpenPreferencesOf(*svc_.settings);
    StartQueue(ChooseAttachmentsToAutoOpen(model_.storedAttachments, model_.AutoOpenMode(), prefs),
               kAutoOpenWebGap);
}

void CArticleView::StartQueue(std::vector<CAttachment> attachments, std::chrono::milliseconds gap) {
    if (attachments.empty()) return;
    queue_.Start(std::move(attachments), gap);
    OpenDueAttachments();
}

void CArticleView::OpenDueAttachments() {
    // A failure message runs a nested event loop; the timer may fire in it.
    // The outer call sets the timer once it is done, so the nested one
    // neither opens nor re-arms (which would spin while the box is open).
    if (pumping_) return;
    pumping_ = true;
    queue_.OpenDue(opener_);
    pumping_ = false;
    if (std::optional<std::chrono::milliseconds> due = queue_.DueIn())
        queueTimer_.start(static_cast<int>(std::min<int64_t>(due->count(), INT32_MAX)));
    else
        queueTimer_.stop();
}

void CArticleView::FollowLink(int index) {
    if (index < 0 || size_t(index) >= model_.storedLinks.size()) return;
    FollowStoredLink(*svc_.doc, opener_, model_.storedLinks[size_t(index)], [this](int32_t id) {
        if (svc_.openArticle) svc_.openArticle(id);
    });
}

void CArticleView::OpenRecognized(bool web, const QString& target) {
    std::string t = target.toStdString();
    if (web)
        opener_.OpenWebAddress(t);
    else
        opener_.OpenFileOrFolder(t);
}

void CArticleView::Stop() {
    if (gallery_) gallery_->Stop();
    queue_.Cancel();
    queueTimer_.stop();
}

// ---- links, editing fields

void CArticleView::SetActiveLinksMode(int32_t mode) {
    content_->SetActiveLinksMode(mode);
}

void CArticleView::SelectAll() {
    QWidget* f = focusWidget();
    if (f == title_ || f == date_)
        static_cast<QLineEdit*>(f)->selectAll();
    else if (f == keywords_)
        keywords_->selectAll();
    else
        content_->selectAll();
}

QWidget* CArticleView::CopySource() const {
    QWidget* f = focusWidget();
    // A window that never had the focus gives it to the content first.
    if (!f || f == content_ || content_->isAncestorOf(f)) return content_;
    if (f == title_ || f == date_) return f;
    return nullptr;
}

bool CArticleView::CanCopy() const {
    if (!svc_.clipboard || !isVisible()) return false;
    for (const QWidget* w = this; w; w = w->parentWidget())
        if (w->isMinimized()) return false;
    QWidget* source = CopySource();
    if (source == content_) return content_->textCursor().hasSelection();
    auto* field = qobject_cast<QLineEdit*>(source);
    return field && field->hasSelectedText();
}

void CArticleView::ShowFieldMenu(QWidget* field, const QPoint& pos) {
    if (!svc_.action) return;
    field->setFocus(Qt::MouseFocusReason);
    if (svc_.updateCommands) svc_.updateCommands();
    QMenu menu(this);
    for (int id : {cmd::kEditCopy, cmd::kEditSelectAll})
        if (QAction* a = svc_.action(id)) menu.addAction(a);
    if (menu.isEmpty()) return;
    QWidget* at = field == content_ ? content_->viewport() : field;
    menu.exec(at->mapToGlobal(pos));
}

void CArticleView::Copy() {
    if (!CanCopy()) return;
    QWidget* source = CopySource();
    std::vector<ClipboardFormat> formats;
    if (source == content_) {
        QTextCursor c = content_->textCursor();
        formats = SelectionFormats(content_->Control(), c.selectionStart(), c.selectionEnd());
    } else {
        QByteArray text = static_cast<QLineEdit*>(source)->selectedText().toUtf8();
        formats = TextAndRtfFormats(text.toStdString(), {});
    }
    if (!formats.empty()) svc_.clipboard->Place(formats);
}

// ---- layout and painting

ArticleLayoutInput CArticleView::LayoutInput() const {
    QFontMetrics fm = fontMetrics();
    ArticleLayoutInput in;
    in.clientWidth = width();
    in.clientHeight = height();
    in.fieldHeight = title_->sizeHint().height();
    in.labelHeight = fm.height();
    in.dateSampleWidth = fm.horizontalAdvance(" 00/00/0000 ");
    in.dateFormatWidth =
        svc_.locale ? fm.horizontalAdvance(Utf8(svc_.locale->ShortDatePattern())) : 0;
    in.timeSampleWidth = fm.horizontalAdvance(" 24:88 PM ");
    in.timeFormatWidth = fm.horizontalAdvance(time_->displayFormat());
    in.scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    in.displayDate = !svc_.settings || svc_.settings->displayDate != 0;
    in.displayTime = svc_.settings && svc_.settings->displayTime != 0;
    in.keywordPaneWidth = svc_.keywordPaneWidth ? svc_.keywordPaneWidth() : 100;
    in.galleryShown = galleryShown_;
    in.galleryEdge = galleryEdge_;
    return in;
}

void CArticleView::Relayout() {
    layout_ = LayOutArticle(LayoutInput());
    auto place = [](QWidget* w, const Rect& r, bool shown) {
        w->setGeometry(r.left, r.top, r.width, r.height);
        w->setVisible(shown);
    };
    place(title_, layout_.title, true);
    place(date_, layout_.date, layout_.dateShown);
    place(dateButton_, layout_.dateButton, layout_.dateShown);
    place(time_, layout_.time, layout_.timeShown);
    place(content_, layout_.content, true);
    place(keywords_, layout_.keywords, true);
    place(gallery_, layout_.gallery, galleryShown_);
    update();
}

void CArticleView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Relayout();
}

void CArticleView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const Rect& label = layout_.keywordsLabel;
    if (label.width > 0)
        p.drawText(QRect(label.left, label.top, label.width, label.height),
                   Qt::AlignLeft | Qt::AlignVCenter, Resource(msg::kKeywordsLabel));
    if (model_.bookmarked) PaintBookmark(p, layout_.bookmarkImage);
    if (!model_.attachments.empty())
        PaintPaperClip(p, layout_.attachmentImage, palette().color(QPalette::WindowText));
    if (galleryShown_) {
        const Rect& bar = layout_.gallerySplitter;
        p.fillRect(QRect(bar.left, bar.top, bar.width, bar.height), palette().color(QPalette::Mid));
    }
}

QString CArticleView::ToolTipAt(const QPoint& pos) const {
    const Rect& r = layout_.attachmentImage;
    if (!model_.attachmentTip || !QRect(r.left, r.top, r.width, r.height).contains(pos)) return {};
    return Utf8(*model_.attachmentTip);
}

bool CArticleView::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        QString tip = ToolTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}

bool CArticleView::eventFilter(QObject* watched, QEvent* e) {
    if (TakeCopyKey(e, svc_.updateCommands)) return true;
    if (e->type() == QEvent::Enter) {
        if (watched == content_->viewport())
            ShowStatus(Resource(msg::kPromptArticleContent));
        else if (watched == keywords_->viewport())
            ShowStatus(Resource(msg::kPromptArticleKeywords));
    }
    return QWidget::eventFilter(watched, e);
}

void CArticleView::ShowStatus(const QString& text) {
    if (svc_.mainWindow && svc_.mainWindow->statusBar())
        svc_.mainWindow->statusBar()->showMessage(text);
}

// ---- dragging the content/keyword boundary

void CArticleView::mousePressEvent(QMouseEvent* e) {
    const Rect& b = layout_.boundary;
    QPoint pos = e->position().toPoint();
    if (e->button() == Qt::LeftButton && QRect(b.left, b.top, b.width, b.height).contains(pos)) {
        dragging_ = true;
        grabOffset_ = layout_.keywords.left - pos.x();
        return;
    }
    QWidget::mousePressEvent(e);
}

void CArticleView::mouseMoveEvent(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    if (dragging_) {
        int32_t w = KeywordPaneWidthForDrop(width(), pos.x() + grabOffset_);
        if (svc_.setKeywordPaneWidth) svc_.setKeywordPaneWidth(w);
        return;
    }
    const Rect& b = layout_.boundary;
    setCursor(QRect(b.left, b.top, b.width, b.height).contains(pos) ? Qt::SplitHCursor
                                                                    : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(e);
}

void CArticleView::mouseReleaseEvent(QMouseEvent* e) {
    if (dragging_ && e->button() == Qt::LeftButton) {
        dragging_ = false;
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

}  // namespace qb

#include "gui/index/index_lists.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>

#include "datafile/dates.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "gui/platform/colors.h"
#include "index/index_source.h"
#include "index/keyword_list.h"
#include "index/title_list.h"
#include "platform/code_page.h"

namespace qb {

QVariant CountingRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || !text_) return QVariant();
    return text_(index.row());
}

QColor ColourOf(int32_t bgr, const QColor& system) {
    if (bgr == -1) return system;
    return ColorFromBgr(bgr);
}

void DrawStatusMark(QPainter& p, const QRect& r, StatusMark mark, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour, 1.2));
    const int s = std::min(r.width(), r.height()) - 2;
    if (s <= 2) {
        p.restore();
        return;
    }
    QRectF box(r.center().x() - s / 2.0 + 0.5, r.center().y() - s / 2.0 + 0.5, s, s);
    switch (mark) {
        case StatusMark::Bookmark: {
            QPainterPath path;
            path.moveTo(box.left() + s * 0.2, box.top());
            path.lineTo(box.right() - s * 0.2, box.top());
            path.lineTo(box.right() - s * 0.2, box.bottom());
            path.lineTo(box.center().x(), box.bottom() - s * 0.3);
            path.lineTo(box.left() + s * 0.2, box.bottom());
            path.closeSubpath();
            p.fillPath(path, colour);
            break;
        }
        case StatusMark::Attachment:
            // A paper clip.
            p.drawRoundedRect(QRectF(box.left() + s * 0.25, box.top(), s * 0.5, s), s * 0.25,
                              s * 0.25);
            p.drawLine(QPointF(box.center().x(), box.top() + s * 0.25),
                       QPointF(box.center().x(), box.bottom() - s * 0.2));
            break;
        case StatusMark::Hypertext:
            p.drawEllipse(QRectF(box.left(), box.top() + s * 0.3, s * 0.55, s * 0.4));
            p.drawEllipse(QRectF(box.left() + s * 0.45, box.top() + s * 0.3, s * 0.55, s * 0.4));
            break;
        case StatusMark::Private:
            p.drawRect(QRectF(box.left() + s * 0.15, box.top() + s * 0.45, s * 0.7, s * 0.55));
            p.drawArc(QRectF(box.left() + s * 0.3, box.top(), s * 0.4, s * 0.9), 0, 180 * 16);
            break;
    }
    p.restore();
}

namespace {

// Paints every row through its list.
class RowDelegate : public QStyledItemDelegate {
public:
    using Paint = std::function<void(QPainter&, const QRect&, int, bool)>;
    RowDelegate(Paint paint, std::function<int()> height, QObject* parent)
        : QStyledItemDelegate(parent), paint_(std::move(paint)), height_(std::move(height)) {}
    void paint(QPainter* p, const QStyleOptionViewItem& opt,
               const QModelIndex& index) const override {
        paint_(*p, opt.rect, index.row(), (opt.state & QStyle::State_HasFocus) != 0);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return QSize(1, height_());
    }

private:
    Paint paint_;
    std::function<int()> height_;
};

bool HighContrast() {
    // Qt offers no portable query; a palette whose window and text are the
    // extremes stands in for it.
    QPalette pal = QApplication::palette();
    return pal.color(QPalette::Base) == Qt::black && pal.color(QPalette::Text) == Qt::white;
}

char TypedByte(const QString& text, const CodePage& page) {
    if (text.size() != 1 || !text[0].isPrint()) return 0;
    CodePageEncoding enc = page.FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())));
    if (!enc.Complete() || enc.bytes.size() != 1) return 0;
    return enc.bytes[0];
}

}  // namespace

// ---- CDragList ------------------------------------------------------------------------

CDragList::CDragList(DragSource source, int targetKind, QWidget* parent)
    : QListView(parent), source_(source), targetKind_(targetKind) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    setDragEnabled(false);
    setFocusPolicy(Qt::StrongFocus);
}

void CDragList::ResetRows() {
    if (auto* m = qobject_cast<CountingRowsModel*>(model())) m->Reset();
    viewport()->update();
}

void CDragList::ScrollToRow(size_t row) {
    if (!model() || int(row) >= model()->rowCount()) return;
    QModelIndex idx = model()->index(int(row), 0);
    setCurrentIndex(idx);
    scrollTo(idx);
}

void CDragList::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QListView::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    QModelIndex idx = indexAt(e->position().toPoint());
    pressMods_ = e->modifiers();
    deferredClick_ = false;
    pressRow_ = idx.isValid() ? idx.row() : -1;
    if (!idx.isValid()) {
        ClearRows();
        viewport()->update();
        emit SelectionChangedByUser();
        return;
    }
    setCurrentIndex(idx);
    if (IsRowHighlighted(pressRow_) && Drags()) {
        // The highlight may be what the person wants to drag: it changes
        // only if the button comes up without a drag.
        deferredClick_ = true;
    } else {
        ClickRow(pressRow_, pressMods_ & Qt::ShiftModifier, pressMods_ & Qt::ControlModifier);
        viewport()->update();
        emit SelectionChangedByUser();
    }
    if (Drags()) gesture_.Press(int(e->globalPosition().x()), int(e->globalPosition().y()));
}

int CDragList::TargetKindAt(const QPoint& global, QWidget** target) const {
    *target = nullptr;
    for (QWidget* w = QApplication::widgetAt(global); w; w = w->parentWidget()) {
        if (w == this) return 0;
        if (auto* list = qobject_cast<CDragList*>(w)) {
            *target = list;
            return list->TargetKind();
        }
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            // Another MDI child than ours: an article window.
            QWidget* ours = parentWidget();
            while (ours && !qobject_cast<QMdiSubWindow*>(ours))
                ours = ours->parentWidget();
            if (sub != ours) {
                *target = sub;
                return drop_kind::kArticleWindow;
            }
            return 0;
        }
    }
    return 0;
}

void CDragList::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || !gesture_.Armed()) {
        QListView::mouseMoveEvent(e);
        return;
    }
    QPoint g = e->globalPosition().toPoint();
    gesture_.Move(g.x(), g.y());
    if (!gesture_.Dragging()) return;
    QWidget* target = nullptr;
    int kind = TargetKindAt(g, &target);
    Qt::CursorShape shape = Qt::ForbiddenCursor;
    if (kind && AcceptsDrop(source_, kind))
        shape = HighlightCount() > 1 ? Qt::DragCopyCursor : Qt::DragMoveCursor;
    dragCursor_ = shape;
    setCursor(shape);
}

void CDragList::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QListView::mouseReleaseEvent(e);
        return;
    }
    QPoint g = e->globalPosition().toPoint();
    DragGesture::Release r = gesture_.Up();
    unsetCursor();
    dragCursor_ = Qt::ArrowCursor;
    if (r == DragGesture::Release::Drop) {
        QWidget* target = nullptr;
        int kind = TargetKindAt(g, &target);
        if (kind && AcceptsDrop(source_, kind)) emit Dropped(target);
    } else if (deferredClick_ && pressRow_ >= 0 && rect().contains(mapFromGlobal(g))) {
        ClickRow(pressRow_, pressMods_ & Qt::ShiftModifier, pressMods_ & Qt::ControlModifier);
        viewport()->update();
        emit SelectionChangedByUser();
    }
    deferredClick_ = false;
    pressRow_ = -1;
}

void CDragList::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && indexAt(e->position().toPoint()).isValid()) {
        emit Activated();
        return;
    }
    QListView::mouseDoubleClickEvent(e);
}

void CDragList::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit Activated();
        return;
    }
    if (key == Qt::Key_Escape) {
        EscapeTyping();
        return;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End ||
        key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
        int rows = model() ? model()->rowCount() : 0;
        if (rows == 0) return;
        int cur = currentIndex().isValid() ? currentIndex().row() : -1;
        int page = std::max(1, viewport()->height() / std::max(1, sizeHintForRow(0)) - 1);
        int next = cur;
        switch (key) {
            case Qt::Key_Up:
                next = cur - 1;
                break;
            case Qt::Key_Down:
                next = cur + 1;
                break;
            case Qt::Key_Home:
                next = 0;
                break;
            case Qt::Key_End:
                next = rows - 1;
                break;
            case Qt::Key_PageUp:
                next = cur - page;
                break;
            default:
                next = cur + page;
                break;
        }
        next = std::clamp(next, 0, rows - 1);
        ClickRow(next, e->modifiers() & Qt::ShiftModifier, false);
        ScrollToRow(size_t(next));
        viewport()->update();
        emit SelectionChangedByUser();
        return;
    }
    if (char c = TypedByte(e->text(), RowCodePage());
        c && !(e->modifiers() & Qt::ControlModifier)) {
        if (TypeChar(c)) {
            if (auto row = ScrollTarget()) ScrollToRow(*row);
        }
        viewport()->update();
        emit SelectionChangedByUser();
        return;
    }
    QListView::keyPressEvent(e);
}

bool CDragList::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        // The full text of a row the list cuts off, beside the row.
        auto* he = static_cast<QHelpEvent*>(e);
        QModelIndex idx = indexAt(he->pos());
        if (idx.isValid()) {
            QString text = RowText(idx.row());
            QRect r = visualRect(idx);
            if (fontMetrics().horizontalAdvance(text) + 4 > viewport()->width()) {
                QToolTip::showText(viewport()->mapToGlobal(r.topLeft()), text, viewport(), r);
                return true;
            }
        }
        QToolTip::hideText();
        e->ignore();
        return true;
    }
    return QListView::viewportEvent(e);
}

// ---- CKeywordListBox --------------------------------------------------------------------

CKeywordListBox::CKeywordListBox(NamedIdList& list, DragSource source, int targetKind,
                                 QWidget* parent)
    : CDragList(source, targetKind, parent), list_(list) {
    setModel(new CountingRowsModel([this] { return int(list_.RowCount()); },
                                   [this](int row) { return RowText(row); }, this));
    setItemDelegate(new RowDelegate(
        [this](QPainter& p, const QRect& r, int row, bool focus) {
            if (size_t(row) >= list_.RowCount()) return;
            const QPalette& pal = palette();
            bool on = list_.IsHighlighted(list_.Rows()[size_t(row)]);
            p.fillRect(r, on ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
            p.setPen(on ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text));
            p.drawText(r.adjusted(2, 0, -1, 0), Qt::AlignVCenter | Qt::AlignLeft, RowText(row));
            if (focus && hasFocus()) {
                p.setPen(QPen(pal.color(QPalette::Text), 1, Qt::DotLine));
                p.drawRect(r.adjusted(0, 0, -1, -1));
            }
        },
        [this] { return fontMetrics().height(); }, this));
}

size_t CKeywordListBox::HighlightCount() const {
    return list_.Highlighted().Count();
}

QString CKeywordListBox::RowText(int row) const {
    if (row < 0 || size_t(row) >= list_.RowCount()) return QString();
    return QString::fromStdString(list_.TextCodePage().ToUtf8(list_.NameAt(size_t(row))));
}

const CodePage& CKeywordListBox::RowCodePage() const {
    return list_.TextCodePage();
}

bool CKeywordListBox::IsRowHighlighted(int row) const {
    return size_t(row) < list_.RowCount() && list_.IsHighlighted(list_.Rows()[size_t(row)]);
}

void CKeywordListBox::ClickRow(int row, bool shift, bool ctrl) {
    list_.Click(size_t(row), shift, ctrl);
}

void CKeywordListBox::ClearRows() {
    list_.ClearHighlight();
}

bool CKeywordListBox::TypeChar(char c) {
    return list_.TypeKey(c);
}

void CKeywordListBox::EscapeTyping() {
    list_.Escape();
}

std::optional<size_t> CKeywordListBox::ScrollTarget() const {
    return list_.ScrollTarget();
}

// ---- CIndexTitleList ------------------------------------------------------------------------

CIndexTitleList::CIndexTitleList(TitleListModel& model, IndexSource& source, const Locale& locale,
                                 QWidget* parent)
    : CDragList(DragSource::IndexList, drop_kind::kTitleList, parent),
      model_(model),
      source_(source),
      locale_(locale) {
    setModel(new CountingRowsModel([this] { return int(model_.RowCount()); },
                                   [this](int row) { return RowText(row); }, this));
    setItemDelegate(new RowDelegate(
        [this](QPainter& p, const QRect& r, int row, bool focus) { PaintRow(p, r, row, focus); },
        [this] { return style_.rowHeight; }, this));
    Measure();
}

void CIndexTitleList::Measure() {
    QFontMetrics fm(font());
    // The row is as high as the letter "a" in the list font.
    style_.rowHeight = fm.boundingRect(QStringLiteral("a")).height() > 0 ? fm.height() : 16;
    style_.markWidth = std::max(10, fm.height() - 2);
    style_.dateWidth =
        fm.horizontalAdvance(QString::fromStdString(FormatDate(20001230, true, locale_)));
    style_.timeWidth =
        std::max(fm.horizontalAdvance(
                     QString::fromStdString(FormatTime(11 * 3600 + 59 * 60, false, locale_))),
                 fm.horizontalAdvance(
                     QString::fromStdString(FormatTime(23 * 3600 + 59 * 60, false, locale_))));
    style_.gapO = fm.horizontalAdvance(QLatin1Char('O'));
    ResetRows();
}

size_t CIndexTitleList::HighlightCount() const {
    return model_.HighlightCount();
}

QString CIndexTitleList::RowText(int row) const {
    if (row < 0 || size_t(row) >= model_.RowCount()) return QString();
    try {
        return QString::fromStdString(
            source_.TextCodePage().ToUtf8(source_.Summary(model_.Rows()[size_t(row)]).title));
    } catch (const CQuillError&) {
        return QString();
    }
}

const CodePage& CIndexTitleList::RowCodePage() const {
    return source_.TextCodePage();
}

void CIndexTitleList::PaintRow(QPainter& p, const QRect& rect, int row, bool focus) const {
    if (row < 0 || size_t(row) >= model_.RowCount()) return;
    const QPalette& pal = palette();
    const bool on = model_.IsHighlighted(size_t(row));
    p.fillRect(rect, on ? pal.color(QPalette::Highlight) : pal.color(QPalette::Base));
    const int32_t id = model_.Rows()[size_t(row)];

    QColor text = pal.color(on ? QPalette::HighlightedText : QPalette::Text);
    QColor dateColour = text, titleColour = text;
    if (!on && !HighContrast()) {
        dateColour = ColourOf(style_.dateColor, text);
        titleColour = ColourOf(style_.titleColor, text);
    }

    int x = rect.left() + 1;
    const TitleRowStyle& s = style_;
    auto column = [&](bool shown, bool applies, StatusMark mark) {
        if (!shown) return;
        if (applies)
            DrawStatusMark(p, QRect(x, rect.top(), s.markWidth, rect.height()), mark, text);
        x += s.markWidth + 4;
    };
    const ArticleSummary* sum = nullptr;
    try {
        sum = &source_.Summary(id);
    } catch (const CQuillError&) {
        // Drawn with its marks only.
    }
    column(s.showTag, source_.IsBookmarked(id), StatusMark::Bookmark);
    column(s.showAttachment, sum && sum->attachmentCount > 0, StatusMark::Attachment);
    column(s.showHypertext, sum && sum->hasLinks, StatusMark::Hypertext);
    column(s.showPrivate, source_.IsPrivate(id), StatusMark::Private);

    if (s.showDate) {
        if (sum) {
            p.setPen(dateColour);
            p.drawText(QRect(x, rect.top(), s.dateWidth, rect.height()),
                       Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromStdString(FormatDate(sum->articleDate, true, locale_)));
        }
        x += s.dateWidth;
        if (s.showTime) {
            x += 10;
            if (sum) {
                p.drawText(QRect(x, rect.top(), s.timeWidth, rect.height()),
                           Qt::AlignRight | Qt::AlignVCenter,
                           QString::fromStdString(FormatTime(sum->articleTime, false, locale_)));
            }
            x += s.timeWidth;
        }
        x += s.gapO;
    }
    if (sum) {
        p.setPen(titleColour);
        p.drawText(QRect(x, rect.top(), std::max(0, rect.right() - x), rect.height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextExpandTabs | Qt::TextSingleLine,
                   QString::fromStdString(source_.TextCodePage().ToUtf8(sum->title)));
    }
    if (focus && hasFocus() && model_.Caret() && *model_.Caret() == size_t(row)) {
        p.setPen(QPen(text, 1, Qt::DotLine));
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

bool CIndexTitleList::IsRowHighlighted(int row) const {
    return model_.IsHighlighted(size_t(row));
}

void CIndexTitleList::ClickRow(int row, bool shift, bool ctrl) {
    model_.Click(size_t(row), shift, ctrl);
}

void CIndexTitleList::ClearRows() {
    model_.ClearHighlight();
}

bool CIndexTitleList::TypeChar(char c) {
    return model_.TypeKey(c);
}

void CIndexTitleList::EscapeTyping() {
    model_.Escape();
}

std::optional<size_t> CIndexTitleList::ScrollTarget() const {
    return model_.ScrollTarget();
}

}  // namespace qb

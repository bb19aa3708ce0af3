#include "gui/article/article_content.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <climits>

#include "gui/platform/colors.h"
#include "gui/richtext/rich_text_document.h"

namespace qb {

namespace {

// The look both kinds of link get: a colour and a single underline, merged
// over the character's own format so that font and size stay.
QTextCharFormat LinkLook(uint32_t bgr) {
    QTextCharFormat f;
    f.setForeground(ColorFromBgr(int32_t(bgr)));
    f.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    return f;
}

// The properties a link look sets, which taking it away puts back.
constexpr QTextFormat::Property kLinkLookProperties[] = {
    QTextFormat::ForegroundBrush, QTextFormat::TextUnderlineStyle, QTextFormat::FontUnderline};

}  // namespace

ArticleContent::ArticleContent(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    viewport()->setMouseTracking(true);
    markTimer_.setInterval(0);
    connect(&markTimer_, &QTimer::timeout, this, &ArticleContent::RunMarkingSlice);
}

ArticleContent::~ArticleContent() {
    StopMarking();
}

void ArticleContent::Load(const RichTextControl& control, std::vector<StoredLinkRange> storedLinks,
                          bool colouring) {
    // The marker reads the text about to be replaced.
    StopMarking();
    marks_.clear();
    if (&control != &control_) control_ = control;
    storedLinks_ = std::move(storedLinks);
    // An index into the old list means nothing in the new one.
    hoverShape_ = Qt::IBeamCursor;
    SetHoveredStoredLink(-1);
    // Built away from the view, so that nothing is laid out before the
    // stored links have their look; the view then lays the new document
    // out once, lazily from the top.
    auto* doc = new QTextDocument(this);
    doc->setUndoRedoEnabled(false);  // nothing is edited, nothing to undo
    doc->setDefaultFont(font());
    gui::FillDocument(*doc, control_);
    // The document ends in a closing separator of its own; everything before
    // it is the control's text at the control's positions.
    if (doc->characterCount() - 1 != control_.TextLength())
        qWarning("ArticleContent: the document has %d characters, the control %d",
                 doc->characterCount() - 1, int(control_.TextLength()));
    ShowStoredLinks(*doc);
    // The editor frees only the document it made itself (at once); ours
    // are children that the editor leaves to us.
    QTextDocument* old = document();
    bool ours = old->parent() == this;
    setDocument(doc);
    if (ours) delete old;
    moveCursor(QTextCursor::Start);
    flags_.colouring = colouring;
    if (colouring) StartMarking(0, control_.TextLength(), false);
}

const std::u16string& ArticleContent::Text() const {
    return control_.Text();
}

void ArticleContent::SetActiveLinksMode(int32_t mode) {
    LinkFlags flags = FlagsForActiveLinksMode(mode);
    ColouringChange change = ColouringChangeFor(flags_.colouring, flags.colouring);
    flags_ = flags;
    switch (change) {
        case ColouringChange::kMarkWholeText:
            StartMarking(0, control_.TextLength(), true);
            break;
        case ColouringChange::kRemoveMarks:
            StopMarking();
            RemoveMarks();
            break;
        case ColouringChange::kNone:
            break;
    }
}

LinkFlags ArticleContent::Flags() const {
    return flags_;
}

void ArticleContent::SetWordWrap(bool on) {
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

const std::vector<MarkedLink>& ArticleContent::MarkedLinks() const {
    return marks_;
}

bool ArticleContent::Marking() const {
    return marker_ != nullptr;
}

void ArticleContent::FinishMarking() {
    if (!marker_) return;
    size_t first = marks_.size();
    while (markPos_ < marker_->End())
        markPos_ = marker_->MarkFrom(markPos_, INT32_MAX, marks_);
    ApplyMarks(first);
    StopMarking();
    emit markingFinished();
}

// --- Links in the document ---

void ArticleContent::ShowStoredLinks(QTextDocument& doc) {
    const int64_t length = control_.TextLength();
    QTextCharFormat look = LinkLook(kStoredLinkColour);
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (const StoredLinkRange& link : storedLinks_) {
        // Ranges come from the data file: keep them inside the text.
        int64_t start = std::clamp<int64_t>(link.start, 0, length);
        int64_t end = std::clamp<int64_t>(link.end, start, length);
        if (end == start) continue;
        cursor.setPosition(int(start));
        cursor.setPosition(int(end), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(look);
    }
    cursor.endEditBlock();
}

void ArticleContent::StartMarking(int32_t from, int32_t to, bool wholeText) {
    StopMarking();
    marker_ = std::make_unique<LinkMarker>(Text(), storedLinks_, from, to);
    markPos_ = marker_->Begin();
    if (!MarkInSlices(marker_->End() - marker_->Begin(), wholeText)) {
        FinishMarking();
        return;
    }
    ApplyCursor();
    markTimer_.start();
}

void ArticleContent::RunMarkingSlice() {
    if (!marker_) return;
    size_t first = marks_.size();
    markPos_ = marker_->MarkFrom(markPos_, kMarkingSliceBudget, marks_);
    ApplyMarks(first);
    if (markPos_ < marker_->End()) return;
    StopMarking();
    emit markingFinished();
}

void ArticleContent::StopMarking() {
    markTimer_.stop();
    if (!marker_) return;
    marker_.reset();
    ApplyCursor();
}

void ArticleContent::ApplyMarks(size_t first) {
    if (first >= marks_.size()) return;
    // A separate cursor: the caret and the selection stay where they are.
    QTextCharFormat look = LinkLook(kRecognizedLinkColour);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (size_t i = first; i < marks_.size(); ++i) {
        cursor.setPosition(marks_[i].start);
        cursor.setPosition(marks_[i].start + marks_[i].length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(look);
    }
    cursor.endEditBlock();
}

void ArticleContent::RemoveMarks() {
    if (marks_.empty()) return;
    // Collect the document's fragments inside the marks first (changing
    // formats while walking would invalidate the walk); the marks are in
    // text order, so one pass over the fragments finds them all.
    struct Piece {
        int start, end;
        QTextCharFormat format;
    };
    std::vector<Piece> pieces;
    const size_t count = marks_.size();
    size_t m = 0;
    for (QTextBlock block = document()->findBlock(marks_.front().start);
         block.isValid() && m < count; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd() && m < count; ++it) {
            QTextFragment fragment = it.fragment();
            int fragStart = fragment.position(), fragEnd = fragStart + fragment.length();
            while (m < count && marks_[m].start + marks_[m].length <= fragStart)
                ++m;
            for (size_t k = m; k < count && marks_[k].start < fragEnd; ++k) {
                int start = std::max(fragStart, int(marks_[k].start));
                int end = std::min(fragEnd, int(marks_[k].start + marks_[k].length));
                if (start < end) pieces.push_back({start, end, fragment.charFormat()});
            }
        }
    }
    std::vector<QTextCharFormat> loadedLooks(control_.CharFormatCount());
    std::vector<bool> made(control_.CharFormatCount());
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (const Piece& piece : pieces) {
        // The loaded look comes from the control's runs; the rest of the
        // fragment's format (an image's name and size) is kept as it is.
        for (int32_t run = control_.RunFromChar(piece.start);
             run < control_.RunCount() && control_.RunStart(run) < piece.end; ++run) {
            int start = std::max(piece.start, int(control_.RunStart(run)));
            int end = std::min(piece.end, int(control_.RunEnd(run)));
            if (start >= end) continue;
            std::size_t id = std::size_t(control_.RunFormatId(run));
            if (!made[id]) {
                loadedLooks[id] = gui::CharFormatFor(control_.RunFormat(run));
                made[id] = true;
            }
            const QTextCharFormat& loaded = loadedLooks[id];
            QTextCharFormat format = piece.format;
            for (QTextFormat::Property p : kLinkLookProperties) {
                if (loaded.hasProperty(p))
                    format.setProperty(p, loaded.property(p));
                else
                    format.clearProperty(p);
            }
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
    }
    cursor.endEditBlock();
    marks_.clear();
}

// --- The mouse ---

int32_t ArticleContent::CharacterAt(const QPoint& viewportPos) const {
    QTextBlock block = cursorForPosition(viewportPos).block();
    const QTextLayout* layout = block.isValid() ? block.layout() : nullptr;
    if (!layout) return -1;
    QPointF point = QPointF(viewportPos) +
                    QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()) -
                    document()->documentLayout()->blockBoundingRect(block).topLeft();
    for (int i = 0; i < layout->lineCount(); ++i) {
        QTextLine line = layout->lineAt(i);
        if (point.y() < line.y() || point.y() >= line.y() + line.height()) continue;
        if (point.x() < line.x() || point.x() >= line.x() + line.naturalTextWidth()) return -1;
        int at = line.xToCursor(point.x(), QTextLine::CursorOnCharacter);
        if (at < line.textStart() || at >= line.textStart() + line.textLength()) return -1;
        return block.position() + at;
    }
    return -1;
}

void ArticleContent::mouseMoveEvent(QMouseEvent* event) {
    QTextEdit::mouseMoveEvent(event);
    UpdateHover(event->position().toPoint());
}

void ArticleContent::UpdateHover(const QPoint& viewportPos) {
    int32_t at = CharacterAt(viewportPos);
    HoverDecision d;
    if (at >= 0) d = HoverAt(Text(), storedLinks_, at, flags_.activation);
    hoverShape_ = d.over == HoverDecision::Over::kText ? Qt::IBeamCursor : Qt::PointingHandCursor;
    ApplyCursor();
    SetHoveredStoredLink(d.over == HoverDecision::Over::kStoredLink ? d.storedLink : -1);
}

void ArticleContent::SetHoveredStoredLink(int index) {
    if (index == hoveredStoredLink_) return;
    hoveredStoredLink_ = index;
    emit storedLinkHovered(index);
}

void ArticleContent::ApplyCursor() {
    // While marking runs the window stays usable, busy with the marks.
    viewport()->setCursor(marker_ ? Qt::BusyCursor : hoverShape_);
}

void ArticleContent::leaveEvent(QEvent* event) {
    QTextEdit::leaveEvent(event);
    SetHoveredStoredLink(-1);
}

bool ArticleContent::viewportEvent(QEvent* event) {
    // Onto a scroll bar: off the text, though still inside the widget.
    if (event->type() == QEvent::Leave) {
        hoverShape_ = Qt::IBeamCursor;
        SetHoveredStoredLink(-1);
    }
    return QTextEdit::viewportEvent(event);
}

void ArticleContent::Select(int32_t start, int32_t end) {
    const int64_t length = control_.TextLength();
    int64_t from = std::clamp<int64_t>(start, 0, length);
    int64_t to = std::clamp<int64_t>(end, from, length);
    QTextCursor cursor(document());
    cursor.setPosition(int(from));
    cursor.setPosition(int(to), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void ArticleContent::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    QPoint point = event->position().toPoint();
    // Beside the text the nearest character counts.
    int32_t at = CharacterAt(point);
    if (at < 0) at = cursorForPosition(point).position();
    DoubleClickDecision d = DoubleClickAt(Text(), storedLinks_, at, flags_.activation);
    using Action = DoubleClickDecision::Action;
    switch (d.action) {
        case Action::kControlSelectsWord:
            QTextEdit::mouseDoubleClickEvent(event);
            return;
        case Action::kNothing:
            break;
        case Action::kFollowStoredLink:
            Select(d.selectStart, d.selectEnd);
            emit followStoredLink(d.storedLink);
            break;
        case Action::kOpenFile:
        case Action::kOpenWeb:
            Select(d.selectStart, d.selectEnd);
            emit openRecognizedTarget(d.action == Action::kOpenWeb,
                                      QString::fromStdU16String(d.target));
            break;
    }
    event->accept();
}

}  // namespace qb

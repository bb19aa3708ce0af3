// ArticleContent: the article window's read-only content. It shows a
// rich-text control's story with the same character positions, draws stored
// links green and underlined, marks recognised links (in slices from the
// event loop, so a long text never freezes the window) and turns the mouse
// over links into signals; what a link opens is the view's business.
#pragma once

#include <QTextEdit>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "article/link_marker.h"
#include "article/link_words.h"
#include "richtext/rich_text.h"

namespace qb {

// The colour of a stored link, in the control's blue-green-red order.
constexpr uint32_t kStoredLinkColour = 0x007F00;

// Characters walked by one marking slice between events.
constexpr int32_t kMarkingSliceBudget = 20000;

class ArticleContent : public QTextEdit {
    Q_OBJECT
public:
    explicit ArticleContent(QWidget* parent = nullptr);
    ~ArticleContent() override;

    // Shows `control`'s story (copied: the caller's control may be reused)
    // with `storedLinks` green and underlined, and starts marking the
    // recognised links of the whole text when `colouring` is set.
    void Load(const RichTextControl& control, std::vector<StoredLinkRange> storedLinks,
              bool colouring);
    // The plain text shown, in the control's positions (UTF-16).
    const std::u16string& Text() const;
    // The story shown, whose positions are the document's: what a copy of
    // the selection reads its formats from.
    const RichTextControl& Control() const { return control_; }

    // The Active Links mode replaces both link flags; turning colouring on
    // marks the whole text, turning it off removes the marks.
    void SetActiveLinksMode(int32_t mode);
    LinkFlags Flags() const;

    // Non-zero: lines wrap at the window's width and there is no
    // horizontal scroll bar; zero: no wrapping.
    void SetWordWrap(bool on);

    // Recognised links marked so far; marking goes on from the event loop
    // while Marking() holds.
    const std::vector<MarkedLink>& MarkedLinks() const;
    bool Marking() const;
    // Runs the remaining slices now (tests and the export of a window).
    void FinishMarking();

signals:
    // The mouse went over stored link `index` (into the list Load was
    // given), or off every stored link (-1).
    void storedLinkHovered(int index);
    // A double-click on stored link `index`.
    void followStoredLink(int index);
    // A double-click on a recognised link: a file path as written, or a web
    // address.
    void openRecognizedTarget(bool web, const QString& target);
    // Marking of the recognised links has run to the end (not emitted when
    // a Load, a colouring change or destruction stops it).
    void markingFinished();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // The character under `viewportPos` in the control's positions, or -1
    // when the point is beside the text (past a line's end, below the last
    // line, in a margin).
    int32_t CharacterAt(const QPoint& viewportPos) const;
    void UpdateHover(const QPoint& viewportPos);
    void SetHoveredStoredLink(int index);
    void ApplyCursor();
    void Select(int32_t start, int32_t end);

    // Gives the stored links their look in `doc`, which holds the control's text.
    void ShowStoredLinks(QTextDocument& doc);
    // Marks text[from, to): in one pass, or from the event loop in slices.
    void StartMarking(int32_t from, int32_t to, bool wholeText);
    void RunMarkingSlice();
    void StopMarking();
    // Gives marks_[first..] the recognised-link look.
    void ApplyMarks(size_t first);
    // Gives every marked range back the colour and underline it was loaded with.
    void RemoveMarks();

    RichTextControl control_;
    std::vector<StoredLinkRange> storedLinks_;
    LinkFlags flags_;
    std::vector<MarkedLink> marks_;
    std::unique_ptr<LinkMarker> marker_;  // while marking runs
    int32_t markPos_ = 0;
    QTimer markTimer_;
    int hoveredStoredLink_ = -1;
    Qt::CursorShape hoverShape_ = Qt::IBeamCursor;
};

}  // namespace qb

// The lists of the index window as thin Qt views over the index models:
// a row model that only counts, a delegate that draws each row from the
// core model, and list views that turn presses, drags and keys into the
// model's operations. Highlights live in the models, never in Qt's
// selection, so 100,000 titles cost one integer of Qt state.
#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>
#include <functional>

#include "index/index_layout.h"

namespace qb {

class NamedIdList;
class TitleListModel;
class IndexSource;
class Locale;
class CodePage;
struct TitleRowStyle;

// Rows counted by a callback; the delegates draw them.
class CountingRowsModel : public QAbstractListModel {
    Q_OBJECT
public:
    CountingRowsModel(std::function<int()> count, std::function<QString(int)> text,
                      QObject* parent = nullptr)
        : QAbstractListModel(parent), count_(std::move(count)), text_(std::move(text)) {}
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : count_();
    }
    QVariant data(const QModelIndex& index, int role) const override;
    // The core model changed its rows.
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    std::function<int()> count_;
    std::function<QString(int)> text_;
};

// Shared mechanics of every list in the window: rows drawn from the model,
// clicks, type-ahead and Enter forwarded, the drag gesture, pop-ups for
// cut-off rows and the status prompt.
class CDragList : public QListView {
    Q_OBJECT
public:
    CDragList(DragSource source, int targetKind, QWidget* parent);

    DragSource Source() const { return source_; }
    int TargetKind() const { return targetKind_; }
    void ResetRows();
    void ScrollToRow(size_t row);
    // How many rows are highlighted (for the drag cursors).
    virtual size_t HighlightCount() const = 0;
    // The row text, for the cut-off pop-up.
    virtual QString RowText(int row) const = 0;
    // Test hook: the last cursor shape the drag chose.
    Qt::CursorShape DragCursor() const { return dragCursor_; }

signals:
    void SelectionChangedByUser();
    void Activated();  // double-click or Enter
    // A drag released over `target` (a list of some index window, or an
    // article window's widget).
    void Dropped(QWidget* target);

protected:
    virtual bool IsRowHighlighted(int row) const = 0;
    virtual void ClickRow(int row, bool shift, bool ctrl) = 0;
    virtual void ClearRows() = 0;
    // A typed character as one byte of RowCodePage.
    virtual bool TypeChar(char c) = 0;
    virtual void EscapeTyping() = 0;
    // The code page of the rows' stored texts.
    virtual const CodePage& RowCodePage() const = 0;
    virtual std::optional<size_t> ScrollTarget() const = 0;
    // Whether this list can start drags at all.
    virtual bool Drags() const { return true; }

    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    int TargetKindAt(const QPoint& global, QWidget** target) const;

    DragSource source_;
    int targetKind_;
    DragGesture gesture_;
    int pressRow_ = -1;
    bool deferredClick_ = false;
    Qt::KeyboardModifiers pressMods_;
    Qt::CursorShape dragCursor_ = Qt::ArrowCursor;
};

// A keyword list (Index, Selected, keyword preview) or the group list.
class CKeywordListBox : public CDragList {
    Q_OBJECT
public:
    CKeywordListBox(NamedIdList& list, DragSource source, int targetKind, QWidget* parent);
    NamedIdList& List() { return list_; }
    size_t HighlightCount() const override;
    QString RowText(int row) const override;

protected:
    bool IsRowHighlighted(int row) const override;
    void ClickRow(int row, bool shift, bool ctrl) override;
    void ClearRows() override;
    bool TypeChar(char c) override;
    const CodePage& RowCodePage() const override;
    void EscapeTyping() override;
    std::optional<size_t> ScrollTarget() const override;
    bool Drags() const override { return Source() != DragSource::GroupList; }

private:
    NamedIdList& list_;
};

// How the title list rows are drawn: the columns and colours of the
// display settings, measured in the list font.
struct TitleRowStyle {
    int rowHeight = 16;
    int markWidth = 12;  // each status column
    bool showTag = true, showAttachment = true, showHypertext = false, showPrivate = false;
    bool showDate = true, showTime = false;
    int dateWidth = 0, timeWidth = 0, gapO = 0;    // measured
    int32_t dateColor = 0xFF0000, titleColor = 0;  // BGR; -1 system colour
    int32_t displayDate = 0;                       // Settings::displayDate
    int StatusColumns() const {
        return int(showTag) + int(showAttachment) + int(showHypertext) + int(showPrivate);
    }
    // Width of the status columns with their gaps.
    int StatusWidth() const {
        int n = StatusColumns();
        return n ? n * markWidth + n * 4 : 0;
    }
    // Width of the date and time columns with the gap after them.
    int DateTimeWidth() const {
        if (!showDate) return 0;
        return dateWidth + (showTime ? 10 + timeWidth : 0) + gapO;
    }
};

class CIndexTitleList : public CDragList {
    Q_OBJECT
public:
    CIndexTitleList(TitleListModel& model, IndexSource& source, const Locale& locale,
                    QWidget* parent);
    TitleListModel& Model() { return model_; }
    TitleRowStyle& Style() { return style_; }
    // Measures the date, time and gap widths and the row height in the
    // current font.
    void Measure();
    size_t HighlightCount() const override;
    QString RowText(int row) const override;
    void PaintRow(QPainter& p, const QRect& rect, int row, bool focus) const;

protected:
    bool IsRowHighlighted(int row) const override;
    void ClickRow(int row, bool shift, bool ctrl) override;
    void ClearRows() override;
    bool TypeChar(char c) override;
    const CodePage& RowCodePage() const override;
    void EscapeTyping() override;
    std::optional<size_t> ScrollTarget() const override;
    bool Drags() const override { return false; }

private:
    TitleListModel& model_;
    IndexSource& source_;
    const Locale& locale_;
    TitleRowStyle style_;
};

// Draws the marks of the status columns; also used on their captions.
enum class StatusMark { Bookmark, Attachment, Hypertext, Private };
void DrawStatusMark(QPainter& p, const QRect& r, StatusMark mark, const QColor& colour);

// BGR value (or -1) to a colour.
QColor ColourOf(int32_t bgr, const QColor& system);

}  // namespace qb

// CIndexFrame: the index window's MDI child frame around CIndexView. It
// follows the keyword lists' width changes and keeps its placement across
// runs in the "Index Display" keys.
#pragma once

#include <QMdiSubWindow>
#include <QRect>

#include "gui/index/index_view.h"

class QMdiArea;

namespace qb {

class CIndexFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CIndexFrame(IndexServices services, QWidget* parent = nullptr);
    ~CIndexFrame() override;
    CIndexView* View() const { return view_; }
    // Writes the layout keys and the placement, once.
    void SaveOnClose();
    bool PlacementRecorded() const { return recorded_; }

protected:
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Track();

    IndexServices svc_;
    CIndexView* view_ = nullptr;
    QRect normal_;
    bool recorded_ = false;
    bool saved_ = false;
    bool shown_ = false;
};

// Creates the index window of `doc` inside `mdi` (the reader's factory),
// with its placement from the "Index Display" keys.
CIndexFrame* CreateIndexFrame(IndexServices services, QMdiArea& mdi);

}  // namespace qb

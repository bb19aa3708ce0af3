#include "gui/index/index_frame.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QTimer>
#include <algorithm>

#include "app/help_guide.h"
#include "app/profile_store.h"
#include "gui/app/help_window.h"

namespace qb {

CIndexFrame::CIndexFrame(IndexServices services, QWidget* parent)
    : QMdiSubWindow(parent), svc_(std::move(services)) {
    setObjectName("CIndexFrame");
    setProperty(kHelpPageProperty, QString(help::kIndexWindow));
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new CIndexView(svc_, this);
    setWidget(view_);
    setWindowTitle("Index");
    connect(view_, &CIndexView::KeywordListsWidthChanged, this, [this](int delta) {
        if (isMaximized() || isMinimized()) return;
        resize(std::max(minimumSizeHint().width(), width() + delta), height());
    });
    connect(this, &QMdiSubWindow::aboutToActivate, this,
            [this] { QTimer::singleShot(0, view_, [this] { view_->RestoreFocus(); }); });
}

CIndexFrame::~CIndexFrame() {
    SaveOnClose();
}

void CIndexFrame::Track() {
    if (!shown_ || isMaximized() || isMinimized() || !isVisible()) return;
    normal_ = geometry();
    recorded_ = true;
}

void CIndexFrame::moveEvent(QMoveEvent* e) {
    QMdiSubWindow::moveEvent(e);
    Track();
}

void CIndexFrame::resizeEvent(QResizeEvent* e) {
    QMdiSubWindow::resizeEvent(e);
    shown_ = shown_ || isVisible();
    Track();
}

void CIndexFrame::showEvent(QShowEvent* e) {
    QMdiSubWindow::showEvent(e);
    // On screen, the frame has a placement worth keeping.
    shown_ = true;
    Track();
    if (isMaximized() || isMinimized()) recorded_ = true;
}

void CIndexFrame::closeEvent(QCloseEvent* e) {
    SaveOnClose();
    QMdiSubWindow::closeEvent(e);
}

void CIndexFrame::SaveOnClose() {
    if (saved_ || !view_ || !svc_.store) return;
    saved_ = true;
    bool maximized = isMaximized();
    if (QMdiArea* mdi = mdiArea())
        if (QMdiSubWindow* active = mdi->activeSubWindow()) maximized |= active->isMaximized();
    IndexDisplayValues p;
    p.left = normal_.x();
    p.top = normal_.y();
    p.width = normal_.width();
    p.height = normal_.height();
    p.maximized = FramePlacementValue(maximized, isMinimized());
    view_->SaveDisplay(p, recorded_);
    svc_.store->Flush();
}

CIndexFrame* CreateIndexFrame(IndexServices services, QMdiArea& mdi) {
    IndexDisplayValues d = LoadIndexDisplay(*services.store);
    auto* frame = new CIndexFrame(std::move(services));
    mdi.addSubWindow(frame);
    if (d.left != kUnsetValue && d.top != kUnsetValue && d.width != kUnsetValue &&
        d.height != kUnsetValue && d.width > 0 && d.height > 0) {
        frame->setGeometry(d.left, d.top, d.width, d.height);
    } else {
        QSize client = mdi.viewport()->size();
        frame->resize(std::max(480, client.width() * 9 / 10),
                      std::max(320, client.height() * 9 / 10));
    }
    if (d.maximized == kMaximizedValue)
        frame->showMaximized();
    else if (d.maximized == kMinimizedValue)
        frame->showMinimized();
    return frame;
}

}  // namespace qb

#include "gui/platform/qt_progress.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace qb {

namespace {

// The bar works in int; long ranges are scaled down to fit.
constexpr int64_t kBarSteps = 1 << 20;
int64_t BarScale(int64_t range) {
    return range / kBarSteps + 1;
}

// Esc and the window's close button count as Cancel; the window stays up
// until the job that opened it ends.
class ProgressDialog : public QDialog {
public:
    ProgressDialog(QWidget* owner, bool* cancelled) : QDialog(owner), cancelled_(cancelled) {}
    void reject() override { *cancelled_ = true; }

protected:
    void closeEvent(QCloseEvent* e) override {
        *cancelled_ = true;
        e->ignore();
    }

private:
    bool* cancelled_;
};

}  // namespace

QtProgressWindow::QtProgressWindow(QWidget* owner, const std::string& caption) : owner_(owner) {
    if (owner_ && owner_->isEnabled()) {
        owner_->setEnabled(false);
        disabledOwner_ = true;
    }
    auto* d = new ProgressDialog(owner, &cancelled_);
    dialog_ = d;
    d->setObjectName("ProgressWindow");
    d->setWindowTitle(QString::fromStdString(caption));
    d->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(d);
    text_ = new QLabel(d);
    text_->setObjectName("ProgressText");
    text_->setTextFormat(Qt::PlainText);
    text_->setMinimumWidth(240);
    bar_ = new QProgressBar(d);
    bar_->setObjectName("ProgressBar");
    bar_->setTextVisible(false);
    bar_->hide();
    cancel_ = new QPushButton(QObject::tr("Cancel"), d);
    cancel_->setObjectName("ProgressCancel");
    cancel_->setDefault(true);
    QObject::connect(cancel_, &QPushButton::clicked, d, [this] { cancelled_ = true; });
    layout->addWidget(text_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    // Disabling the owner disabled this window too (it is the owner's
    // child); a window is enabled on its own.
    d->setEnabled(true);
    d->show();
    d->raise();
    d->activateWindow();
}

QtProgressWindow::~QtProgressWindow() {
    delete dialog_.data();
    if (owner_ && disabledOwner_) owner_->setEnabled(true);
}

// The widgets go with the dialog, which the owner may have taken with it.
void QtProgressWindow::SetText(const std::string& text) {
    if (dialog_) text_->setText(QString::fromStdString(text));
}

void QtProgressWindow::SetRange(int64_t range) {
    range_ = std::max<int64_t>(range, 0);
    if (!dialog_) return;
    bar_->setVisible(range_ > 0);
    bar_->setRange(0, int(range_ / BarScale(range_)));
}

void QtProgressWindow::SetPosition(int64_t position) {
    if (!dialog_ || range_ <= 0) return;
    int64_t p = std::clamp<int64_t>(position, 0, range_);
    bar_->setValue(int(p / BarScale(range_)));
}

}  // namespace qb

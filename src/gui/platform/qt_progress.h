// The progress window on Qt: a small dialog with the caption, a line of
// text, an optional bar and Cancel, shown without a modal loop of its own.
// While it is up its owner (the main window) is disabled, and with it every
// window it owns; the progress window alone stays enabled, so that only
// Cancel acts. The job that drives it runs in slices from the event loop,
// which repaints everything in between.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/progress.h"

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;

namespace qb {

class QtProgressWindow final : public ProgressWindow {
public:
    // Shows the window over `owner` (may be null) and disables the owner.
    QtProgressWindow(QWidget* owner, const std::string& caption);
    // Closes the window and enables the owner again, unless it was
    // disabled already (a progress window opened inside another one).
    ~QtProgressWindow() override;

    void SetText(const std::string& text) override;
    void SetRange(int64_t range) override;
    void SetPosition(int64_t position) override;
    bool Cancelled() const override { return cancelled_; }

    // For tests and the window's owner.
    QDialog* Dialog() const { return dialog_; }
    QLabel* Text() const { return text_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    QPointer<QWidget> owner_;
    bool disabledOwner_ = false;
    QPointer<QDialog> dialog_;
    QLabel* text_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int64_t range_ = 0;
    bool cancelled_ = false;
};

}  // namespace qb

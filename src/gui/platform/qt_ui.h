// The Ui port on Qt: message boxes captioned "Quillbox Reader" with the
// main window as their owner, the password dialog and the progress window.
#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/ui.h"

namespace qb {

constexpr const char* kProgramCaption = "Quillbox Reader";

class QtUi : public Ui {
public:
    // The owner of every box; until it is set the boxes have none.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    QWidget* Owner() const { return owner_; }

    MessageResult MessageBox(const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok) override;
    bool AskPassword(const std::string& fileName,
                     const std::function<bool(const std::string&)>& check) override;
    // A QtProgressWindow over the owner.
    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override;

private:
    QPointer<QWidget> owner_;
};

}  // namespace qb

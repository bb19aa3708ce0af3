// The Ui port on Qt: message boxes captioned "Quillbox Reader" with the
// main window as their owner, and the password dialog.
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

private:
    QPointer<QWidget> owner_;
};

}  // namespace qb

#include "gui/platform/qt_ui.h"

#include <QMessageBox>

#include "gui/platform/password_dialog.h"
#include "gui/platform/qt_progress.h"

namespace qb {

namespace {
QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MessageButtons b) {
    switch (b) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Yes/No questions default to No: they ask before something is lost.
QMessageBox::StandardButton DefaultFor(MessageButtons b) {
    switch (b) {
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return QMessageBox::No;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok;
        case MessageButtons::RetryCancel:
            return QMessageBox::Retry;
        case MessageButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}
}  // namespace

MessageResult QtUi::MessageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(ToQt(icon), kProgramCaption, QString::fromStdString(text), ToQt(buttons),
                    owner_.data());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(DefaultFor(buttons));
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        case QMessageBox::Retry:
            return MessageResult::Retry;
        case QMessageBox::Ok:
            return MessageResult::Ok;
        default:
            // Closed by the window manager: the safe answer for the buttons.
            return buttons == MessageButtons::Ok      ? MessageResult::Ok
                   : buttons == MessageButtons::YesNo ? MessageResult::No
                                                      : MessageResult::Cancel;
    }
}

bool QtUi::AskPassword(const std::string& fileName,
                       const std::function<bool(const std::string&)>& check) {
    PasswordDialog dialog(fileName, check, owner_.data());
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<ProgressWindow> QtUi::OpenProgress(const std::string& caption) {
    return std::make_unique<QtProgressWindow>(owner_.data(), caption);
}

}  // namespace qb

#include "gui/platform/password_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace qb {

PasswordDialog::PasswordDialog(const std::string& fileName, Check check, QWidget* parent)
    : QDialog(parent), check_(std::move(check)) {
    setObjectName("PasswordDialog");
    setWindowTitle("Enter Your Password");
    auto* layout = new QVBoxLayout(this);
    name_ = new QLabel(QString("File name: %1").arg(QString::fromStdString(fileName)), this);
    name_->setTextFormat(Qt::PlainText);
    layout->addWidget(name_);
    layout->addWidget(new QLabel("&Password:", this));
    edit_ = new QLineEdit(this);
    edit_->setEchoMode(QLineEdit::Password);
    layout->addWidget(edit_);
    qobject_cast<QLabel*>(layout->itemAt(1)->widget())->setBuddy(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PasswordDialog::reject);
    layout->addWidget(buttons);
}

void PasswordDialog::accept() {
    // The password's bytes as typed: UTF-8 of the field.
    std::string typed = edit_->text().toStdString();
    bool right = check_ && check_(typed);
    edit_->clear();
    if (right)
        QDialog::accept();
    else
        edit_->setFocus();
}

}  // namespace qb

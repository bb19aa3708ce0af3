// "Enter Your Password": the file's name and one password field. OK asks
// the check; after a wrong password the dialog stays open for another try.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;
class QLabel;

namespace qb {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    using Check = std::function<bool(const std::string&)>;
    PasswordDialog(const std::string& fileName, Check check, QWidget* parent = nullptr);

    QLineEdit* PasswordField() const { return edit_; }
    QLabel* FileNameLabel() const { return name_; }

    // What OK does: a right password accepts; a wrong one empties the
    // field and leaves the dialog open (Cancel gives up).
    void accept() override;

private:
    Check check_;
    QLineEdit* edit_;
    QLabel* name_;
};

}  // namespace qb

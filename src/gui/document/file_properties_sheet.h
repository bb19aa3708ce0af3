// "File Properties": General, Articles and Privacy. It only shows what the
// document read; closing it changes nothing. The Privacy page is guarded:
// while the private articles are locked it asks for the password first
// and stays closed unless that ends with OK.
#pragma once

#include <QDialog>
#include <functional>

#include "document/file_properties.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace qb {

class FilePropertiesSheet : public QDialog {
    Q_OBJECT
public:
    // `unlock` runs the password dialog when the Privacy page is chosen
    // while locked; true when it ended with OK.
    FilePropertiesSheet(const FileProperties& props, std::function<bool()> locked,
                        std::function<bool()> unlock, QWidget* parent = nullptr);

    QTabWidget* Pages() const { return tabs_; }
    // Field labels by name ("path", "size", "keywords", ...), for tests.
    QLabel* Field(const char* name) const;
    QPushButton* PasswordButton() const { return passwordButton_; }
    bool PrivacyShown() const { return privacyShown_; }

private:
    void OnPageChanged(int index);

    QTabWidget* tabs_;
    QPushButton* passwordButton_ = nullptr;
    QWidget* privacyContent_ = nullptr;
    std::function<bool()> locked_, unlock_;
    int lastPage_ = 0;
    bool privacyShown_ = false;
};

}  // namespace qb

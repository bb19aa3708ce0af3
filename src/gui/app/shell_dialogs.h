// The modal dialogs of start-up and the open path, behind one class so that
// tests answer them without showing anything: the welcome screen, the
// newer-format dialogs and the file and folder dialogs. Every other modal dialog of
// the shell (Preferences, File Properties) runs through Exec().
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "app/startup.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace qb {

// "Quillbox (*.qbx)|*.qbx||" as a Qt name filter list: the descriptions,
// with "*.*" meaning every file.
QString QtNameFilters(const std::string& mfcFilter);

class ShellDialogs {
public:
    virtual ~ShellDialogs() = default;

    virtual int Exec(QDialog& dialog) { return dialog.exec(); }

    virtual NewerFormatChoice AskNewerFormat(const std::string& path, QWidget* owner);
    virtual void ShowTooNewFormat(const std::string& path, QWidget* owner);
    virtual std::optional<std::string> AskCopyName(const std::string& path, QWidget* owner);
    virtual WelcomeResult ShowWelcome(const std::vector<std::string>& recent, bool showAtStartup,
                                      QWidget* owner);
    virtual std::optional<std::string> AskOpenFileName(const std::string& startFolder,
                                                       const std::string& filter, QWidget* owner);
    // An existing folder (Preferences' Browse buttons); none when cancelled.
    virtual std::optional<std::string> AskFolder(const std::string& title,
                                                 const std::string& startFolder, QWidget* owner);
    // A save dialog that asks before overwriting.
    virtual std::optional<std::string> AskSaveFileName(
        const std::string& title, const std::string& startFolder, const std::string& proposedName,
        const std::string& filter, const std::string& defaultSuffix, QWidget* owner);
};

// The welcome screen: Tutorial, Open File, Open Recent (with its list), Continue,
// and "Show This Screen at Startup".
class WelcomeDialog : public QDialog {
    Q_OBJECT
public:
    WelcomeDialog(const std::vector<std::string>& recent, bool showAtStartup,
                  QWidget* parent = nullptr);
    WelcomeResult Result() const { return result_; }

    QPushButton* Button(WelcomeButton b) const;
    QComboBox* RecentList() const { return recent_; }
    QCheckBox* ShowAtStartup() const { return show_; }
    // What pressing a button does (also the close box: Continue).
    void Choose(WelcomeButton b);

    // Closing the screen any other way is Continue.
    void reject() override { Choose(WelcomeButton::Continue); }

private:
    WelcomeResult result_;
    QComboBox* recent_;
    QCheckBox* show_;
    QPushButton* buttons_[4];
};

// The newer-format question: a file of versions 401 to 499.
class NewerFormatDialog : public QDialog {
    Q_OBJECT
public:
    NewerFormatDialog(const std::string& path, QWidget* parent = nullptr);
    NewerFormatChoice Choice() const { return choice_; }
    QPushButton* Button(NewerFormatChoice c) const { return buttons_[static_cast<int>(c)]; }

    void reject() override;

private:
    NewerFormatChoice choice_ = NewerFormatChoice::Cancel;
    QPushButton* buttons_[4];
};

// A file of version 500 or above, which can not be opened; only Cancel.
class TooNewFormatDialog : public QDialog {
    Q_OBJECT
public:
    TooNewFormatDialog(const std::string& path, QWidget* parent = nullptr);
};

}  // namespace qb

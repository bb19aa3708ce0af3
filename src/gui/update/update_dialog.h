// The "Check for Quillbox Reader Update" dialog: a thin view of
// UpdateDialogModel. The check starts 200 milliseconds after the dialog is
// first shown (so that it is drawn before anything waits on the network)
// and runs on the event loop; closing abandons it and writes the frequency
// choice back. Nothing else ever starts a check.
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

#include "update/update_dialog_model.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace qb {

class HttpPort;
class Launcher;
class Ui;

class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    // `http`, `launcher` and `ui` must outlive the dialog.
    UpdateDialog(std::unique_ptr<UpdateDialogModel> model, HttpPort& http, Launcher& launcher,
                 Ui& ui, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    QLabel* InstalledLine() const { return installed_; }
    QLabel* ReleasedLine() const { return released_; }
    QLabel* MessageLine() const { return message_; }
    // The days between checks (7, 30, 90, -1 none) as item data. Kept hidden:
    // the reader never checks on its own, so offering a schedule would
    // promise what it does not do; the stored choice is kept all the same.
    QComboBox* Frequency() const { return frequency_; }
    QPushButton* GetInfoButton() const { return getInfo_; }
    QPushButton* CloseButton() const { return close_; }

    // True from the start of the check until its answer or the closing.
    bool Checking() const;
    // Every way of closing ends here: the check is abandoned at once, no
    // answer reaches the dialog afterwards, and the choice is written.
    void done(int result) override;

signals:
    // The check answered (an UpdateResult as int); not after closing.
    void CheckFinished(int result);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void StartCheck();
    void ShowTexts();
    void CloseModel();

    std::unique_ptr<UpdateDialogModel> model_;
    HttpPort& http_;
    Launcher& launcher_;
    Ui& ui_;
    QTimer startTimer_;
    bool shown_ = false;
    bool closed_ = false;
    QLabel* installed_ = nullptr;
    QLabel* released_ = nullptr;
    QLabel* message_ = nullptr;
    QComboBox* frequency_ = nullptr;
    QPushButton* getInfo_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace qb

// The Drives page of Preferences: a table of the Windows drives and shares
// that stored link targets name (first column) and the Linux folder that
// stands for each (second), with Add, Remove and Browse. The page only
// holds what is typed; the sheet checks it (CheckDriveRows) before OK.
#pragma once

#include <QWidget>

#include "app/drive_settings.h"

class QPushButton;
class QTableWidget;

namespace qb {

class ShellDialogs;

class DrivesPage : public QWidget {
    Q_OBJECT
public:
    enum Column { kKeyColumn = 0, kFolderColumn = 1 };

    DrivesPage(ShellDialogs& dialogs, QWidget* parent = nullptr);

    void Fill(const DriveEntries& drives);
    // Every row as typed, in table order (empty rows included, so that a
    // problem's row number is the table's).
    DriveEntries Rows() const;
    // Makes the cell of a reported problem current, for the person to fix.
    void ShowProblem(const DriveRowProblem& problem);

    // Add: a new empty row, its key cell being edited.
    void AddRow();
    // Remove: the selected rows (or the current one).
    void RemoveRows();
    // Browse: the current row's folder from the folder dialog; without a
    // current row the folder goes into a new one.
    void BrowseFolder();

    QTableWidget* Table() const { return table_; }
    QPushButton* AddButton() const { return add_; }
    QPushButton* RemoveButton() const { return remove_; }
    QPushButton* BrowseButton() const { return browse_; }

private:
    void SetRow(int row, const QString& key, const QString& folder);
    void KeyEdited(int row, int column);
    void UpdateButtons();

    ShellDialogs& dialogs_;
    QTableWidget* table_;
    QPushButton *add_, *remove_, *browse_;
};

}  // namespace qb

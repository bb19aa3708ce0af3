#include "gui/app/drives_page.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/shell_dialogs.h"

namespace qb {

namespace {
QString Cell(const QTableWidget* t, int row, int column) {
    const QTableWidgetItem* item = t->item(row, column);
    return item ? item->text() : QString();
}
}  // namespace

DrivesPage::DrivesPage(ShellDialogs& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs) {
    setObjectName("DrivesPage");
    auto* l = new QVBoxLayout(this);
    auto* hint = new QLabel(
        "Links and attachments stored on Windows name drives such as D: and shares such as "
        "\\\\server\\share. Give each the Linux folder where its files are now.",
        this);
    hint->setWordWrap(true);
    l->addWidget(hint);

    table_ = new QTableWidget(0, 2, this);
    table_->setHorizontalHeaderLabels({"Windows Drive or Share", "Linux Folder"});
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    l->addWidget(table_, 1);

    auto* row = new QHBoxLayout;
    add_ = new QPushButton("&Add", this);
    remove_ = new QPushButton("&Remove", this);
    browse_ = new QPushButton("&Browse...", this);
    row->addWidget(add_);
    row->addWidget(remove_);
    row->addStretch();
    row->addWidget(browse_);
    l->addLayout(row);

    connect(add_, &QPushButton::clicked, this, &DrivesPage::AddRow);
    connect(remove_, &QPushButton::clicked, this, &DrivesPage::RemoveRows);
    connect(browse_, &QPushButton::clicked, this, &DrivesPage::BrowseFolder);
    connect(table_, &QTableWidget::cellChanged, this, &DrivesPage::KeyEdited);
    connect(table_, &QTableWidget::currentCellChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

void DrivesPage::SetRow(int row, const QString& key, const QString& folder) {
    table_->setItem(row, kKeyColumn, new QTableWidgetItem(key));
    table_->setItem(row, kFolderColumn, new QTableWidgetItem(folder));
}

void DrivesPage::Fill(const DriveEntries& drives) {
    table_->setRowCount(0);
    table_->setRowCount(static_cast<int>(drives.size()));
    for (size_t i = 0; i < drives.size(); ++i)
        SetRow(static_cast<int>(i), QString::fromStdString(drives[i].first),
               QString::fromStdString(drives[i].second));
    UpdateButtons();
}

DriveEntries DrivesPage::Rows() const {
    DriveEntries rows;
    for (int r = 0; r < table_->rowCount(); ++r)
        rows.emplace_back(Cell(table_, r, kKeyColumn).toStdString(),
                          Cell(table_, r, kFolderColumn).toStdString());
    return rows;
}

void DrivesPage::ShowProblem(const DriveRowProblem& problem) {
    int row = static_cast<int>(problem.row);
    if (row >= table_->rowCount()) return;
    table_->setCurrentCell(row, problem.inFolder ? kFolderColumn : kKeyColumn);
    table_->setFocus();
}

void DrivesPage::AddRow() {
    int row = table_->rowCount();
    table_->insertRow(row);
    SetRow(row, {}, {});
    table_->setCurrentCell(row, kKeyColumn);
    table_->editItem(table_->item(row, kKeyColumn));
    UpdateButtons();
}

void DrivesPage::RemoveRows() {
    std::vector<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows())
        rows.push_back(i.row());
    if (rows.empty() && table_->currentRow() >= 0) rows.push_back(table_->currentRow());
    // From the bottom up, so that the numbers still name the same rows.
    std::sort(rows.rbegin(), rows.rend());
    for (int r : rows)
        table_->removeRow(r);
    UpdateButtons();
}

void DrivesPage::BrowseFolder() {
    int row = table_->currentRow();
    std::string start = row >= 0 ? Cell(table_, row, kFolderColumn).toStdString() : "";
    std::optional<std::string> folder = dialogs_.AskFolder("Linux Folder", start, this);
    if (!folder) return;
    if (row < 0) {
        row = table_->rowCount();
        table_->insertRow(row);
        SetRow(row, {}, {});
    }
    table_->item(row, kFolderColumn)->setText(QString::fromStdString(*folder));
    table_->setCurrentCell(row, kKeyColumn);
    if (Cell(table_, row, kKeyColumn).trimmed().isEmpty())
        table_->editItem(table_->item(row, kKeyColumn));
    UpdateButtons();
}

// A key typed in lower case is shown as it will be stored ("d:" as "D:").
void DrivesPage::KeyEdited(int row, int column) {
    if (column != kKeyColumn) return;
    QTableWidgetItem* item = table_->item(row, column);
    if (!item) return;
    std::optional<std::string> key = NormalizeDriveKey(item->text().toStdString());
    if (key && QString::fromStdString(*key) != item->text())
        item->setText(QString::fromStdString(*key));
}

void DrivesPage::UpdateButtons() {
    remove_->setEnabled(table_->currentRow() >= 0);
}

}  // namespace qb

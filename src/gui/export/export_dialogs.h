// The Export command's dialogs on Qt: "Export Articles Setup" over the
// ExportSetup rules, the save dialog "Export Articles" with the file types,
// and "Export Articles to Folder" (with the Markdown notes folder's own
// options). Every dialog runs through ShellDialogs::Exec, so tests answer
// them without a modal loop; QtExportDialogs is the ExportDialogs port the
// command runs over.
#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/export_command.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QLineEdit;
class QPushButton;

namespace qb {

class ShellDialogs;

// Edits `setup` as the person clicks: the range buttons (disabled ranges
// stay disabled), the sort, the content boxes (Number Titles List only in
// titles-only mode) and Export Articles as Separate Files. OK is enabled
// only while some content is chosen.
class ExportSetupDialog : public QDialog {
    Q_OBJECT
public:
    ExportSetupDialog(ExportSetup& setup, QWidget* parent = nullptr);

    // The content boxes in flag order: header, titles, numbers, dates,
    // attachments, keywords, content.
    static constexpr int kFlagCount = 7;
    QCheckBox* FlagBox(uint16_t flag) const;
    QAbstractButton* RangeButton(ExportRange range) const;
    QAbstractButton* SortButton(bool byDate) const;
    QAbstractButton* OrderButton(bool descending) const;
    QCheckBox* SeparateFiles() const { return separate_; }
    QPushButton* OkButton() const { return ok_; }

private:
    // The controls from the setup's state (after every change).
    void Refresh();

    ExportSetup& setup_;
    QButtonGroup* ranges_ = nullptr;
    QButtonGroup* sortBy_ = nullptr;
    QButtonGroup* order_ = nullptr;
    std::array<QCheckBox*, kFlagCount> flags_{};
    QCheckBox* separate_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// "Export Articles to Folder": the target folder (Browse asks for an
// existing one, "Select target folder"), "Save as Type", the Markdown
// options (enabled only with the Markdown notes folder chosen) and
// "O&ptions...".
class ExportFolderDialog : public QDialog {
    Q_OBJECT
public:
    ExportFolderDialog(const std::vector<ExportFileType>& types, size_t initialType,
                       const std::string& folder, const MarkdownOptions& markdown,
                       ShellDialogs& shell, std::function<void()> openOptions,
                       QWidget* parent = nullptr);

    std::string Folder() const;
    size_t Type() const;
    MarkdownOptions Markdown() const;

    QLineEdit* FolderEdit() const { return folder_; }
    QComboBox* TypeList() const { return type_; }
    QPushButton* BrowseButton() const { return browse_; }
    QPushButton* OptionsButton() const { return options_; }
    QPushButton* OkButton() const { return ok_; }
    QCheckBox *wikiLinks = nullptr, *headings = nullptr, *includePrivate = nullptr,
              *underline = nullptr;

private:
    void Refresh();

    std::vector<ExportFileType> types_;
    QLineEdit* folder_ = nullptr;
    QComboBox* type_ = nullptr;
    QPushButton* browse_ = nullptr;
    QPushButton* options_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// The save dialog's name filters, one per type ("Text Files (*.txt)"), so
// that the chosen filter's position is the type's.
QStringList ExportNameFilters(const std::vector<ExportFileType>& types);

// The save dialog: Qt's own (non-native) file dialog, which asks before
// replacing a file, with the types as filters, the type's extension added
// to a name without one, and "O&ptions..." beside its buttons.
std::unique_ptr<QFileDialog> MakeExportSaveDialog(const std::vector<ExportFileType>& types,
                                                  size_t initialType, const std::string& folder,
                                                  const std::string& proposedName,
                                                  std::function<void()> openOptions,
                                                  QWidget* parent);

class QtExportDialogs : public ExportDialogs {
public:
    // `openOptions` opens Preferences at its Export page.
    QtExportDialogs(ShellDialogs& shell, QWidget* owner, std::function<void()> openOptions)
        : shell_(shell), owner_(owner), openOptions_(std::move(openOptions)) {}

    bool Setup(ExportSetup& setup) override;
    std::optional<ExportTarget> AskFile(const std::vector<ExportFileType>& types,
                                        size_t initialType, const std::string& folder,
                                        const std::string& proposedName) override;
    std::optional<ExportTarget> AskFolder(const std::vector<ExportFileType>& types,
                                          size_t initialType, const std::string& folder,
                                          MarkdownOptions& markdown) override;

private:
    ShellDialogs& shell_;
    QWidget* owner_;
    std::function<void()> openOptions_;
};

}  // namespace qb

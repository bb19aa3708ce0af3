// File > Preferences...: seven pages filled from Settings and the default
// folders, checked when OK is pressed (Validate) and applied to them on OK
// only (Apply). Browse buttons for folders ask through ShellDialogs.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "app/directories.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace qb {

class DrivesPage;
class Settings;
class ShellDialogs;
class Ui;

// The pages in their order on the sheet.
enum class PreferencesPage : int { kIndex, kArticles, kDisplay, kFiles, kExport, kTools, kDrives };

// A button showing a colour (blue-green-red value, -1 the system's).
class ColourButton;

class PreferencesSheet : public QDialog {
    Q_OBJECT
public:
    PreferencesSheet(Settings& settings, Directories& dirs, ShellDialogs& dialogs, Ui& ui,
                     QWidget* parent = nullptr);

    // Whether the pages may be applied; otherwise the first problem's
    // message is shown and its page and field made current, and nothing
    // typed is lost. OK runs it and stays open on a problem.
    bool Validate();
    void accept() override;

    // Writes the controls into Settings and the folders (what OK does
    // before the settings are saved). Drives that do not pass Validate()
    // are left as they were.
    void Apply();

    QTabWidget* Pages() const { return tabs_; }
    // Makes `page` the current one (the Export dialogs' Options... button).
    void ShowPage(PreferencesPage page);

    // ---- Controls, for tests
    QButtonGroup* initList = nullptr;
    QCheckBox *showTag = nullptr, *showAttachment = nullptr, *showHypertext = nullptr;
    QCheckBox *showPrivate = nullptr, *showDate = nullptr, *showTime = nullptr;
    ColourButton *titleColor = nullptr, *dateColor = nullptr, *previewColor = nullptr;

    QButtonGroup* artSize = nullptr;
    QButtonGroup* activeLinks = nullptr;
    QCheckBox *autoOpenFile = nullptr, *autoOpenInternet = nullptr, *userFolderBrowser = nullptr;
    QLineEdit* folderBrowserName = nullptr;
    QCheckBox* showImageGallery = nullptr;
    QButtonGroup* galleryImageSize = nullptr;
    QLabel* pivotLower = nullptr;
    QSpinBox* pivotUpper = nullptr;
    QCheckBox *displayDate = nullptr, *displayTime = nullptr;

    QCheckBox *largeButtons = nullptr, *welcome = nullptr, *onTop = nullptr;

    std::array<QLineEdit*, kFolderTypeCount> folders{};
    QButtonGroup* loadLastFile = nullptr;
    QLineEdit* lastFileName = nullptr;
    QComboBox* codePage = nullptr;  // item data: the code page number

    QSpinBox* exportLineLength = nullptr;
    QComboBox* exportTextEncoding = nullptr;  // item data: ExportTextEncoding
    QButtonGroup* htmlExportType = nullptr;
    QComboBox* htmlEncodeSet = nullptr;
    QLineEdit* htmlCustomSet = nullptr;

    QCheckBox* autoUpdateQuery = nullptr;

    DrivesPage* drives = nullptr;

private:
    QWidget* IndexPage();
    QWidget* ArticlePage();
    QWidget* DisplayPage();
    QWidget* FilePage();
    QWidget* ExportPage();
    QWidget* ToolsPage();
    void Fill();

    Settings& settings_;
    Directories& dirs_;
    ShellDialogs& dialogs_;
    Ui& ui_;
    QTabWidget* tabs_;
};

class ColourButton : public QWidget {
    Q_OBJECT
public:
    ColourButton(const QString& text, QWidget* parent);
    int32_t Value() const { return value_; }
    void SetValue(int32_t bgr);

private:
    void Choose();
    int32_t value_ = -1;
    QPushButton* button_;
};

}  // namespace qb

// CIndexReportView: one report window's content, the toolbar ("&Print",
// "E&xport", "&Update", "&Close") over the report's read-only rich text,
// and CIndexReportFrame, its MDI child of the open file. The window keeps
// its ReportWindowModel for its whole life: Update rebuilds the same
// report with the file's current content.
#pragma once

#include <QMdiSubWindow>
#include <QWidget>
#include <functional>

#include "export/report_window.h"

class QPushButton;
class QTextEdit;

namespace qb {

class ReaderApp;
class ClipboardWriter;
class FontFamilies;

class CIndexReportView : public QWidget {
    Q_OBJECT
public:
    // What the buttons do beyond the window itself: Print (empty until the
    // printing is wired, the button then stays disabled) and Export.
    struct Actions {
        std::function<void(CIndexReportView&)> print;
        std::function<void(CIndexReportView&)> exportFile;
    };

    CIndexReportView(ReaderApp& app, ReportKind kind, ReportParameters params, Actions actions,
                     ClipboardWriter* clipboard, const FontFamilies* fonts,
                     QWidget* parent = nullptr);

    ReportKind Kind() const { return model_.Kind(); }
    const ReportWindowModel& Model() const { return model_; }

    // Builds the report under a wait cursor (the cloud behind its progress
    // window) and shows it fresh. False when the cloud was cancelled: the
    // message has been shown and the window should close. A file error is
    // shown and the window keeps what it had, outdated, so that Update can
    // try again.
    bool Build();
    // The file changed (articles, keywords, privacy) or the display
    // settings did: Print and Export off, Update on, the text grey.
    void MarkOutdated();
    void KeywordDeleted(int32_t keyword);
    // Preferences changed the text colour or the display font.
    void DisplaySettingsChanged(uint32_t cloudColour);

    // Edit > Copy of the selection (rich text and text), Select All.
    bool CanCopy() const;
    void Copy();
    void SelectAll();
    // The status bar's prompt of this kind ("" for the index report).
    QString Prompt() const;

    QPushButton* PrintButton() const { return print_; }
    QPushButton* ExportButton() const { return export_; }
    QPushButton* UpdateButton() const { return update_; }
    QPushButton* CloseButton() const { return close_; }
    QTextEdit* TextView() const { return text_; }
    void SetPrintAction(std::function<void(CIndexReportView&)> print);
    void UpdateButtons();

signals:
    void CloseRequested();

private:
    void ShowModel();
    void Failed();
    ReportDisplay Display() const;

    ReaderApp& app_;
    ReportWindowModel model_;
    Actions actions_;
    ClipboardWriter* clipboard_;
    const FontFamilies* fonts_;
    QPushButton* print_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* update_ = nullptr;
    QPushButton* close_ = nullptr;
    QTextEdit* text_ = nullptr;
};

class CIndexReportFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CIndexReportFrame(CIndexReportView* view, QWidget* parent = nullptr);
    CIndexReportView* View() const { return view_; }

private:
    CIndexReportView* view_;
};

}  // namespace qb

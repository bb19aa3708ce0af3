// The report windows of the one open document: File > Report's four
// commands (a window per kind, activated when it is already open, else the
// setup dialog of the index and usage reports, then the window built),
// Export of the active report, Edit > Copy and Select All while a report
// window is active, the status prompt, and the outdated flag of every
// open report when the file's visible articles or the display settings
// change. The windows are the MDI area's children; nothing here keeps a
// pointer that could outlive them.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "export/report.h"
#include "gui/app/find_index_hooks.h"

namespace qb {

class CIndexReportFrame;
class CIndexReportView;
class ClipboardWriter;
class CMainFrame;
class FontFamilies;
class ReaderApp;

class ReaderReportWindows : public std::enable_shared_from_this<ReaderReportWindows> {
public:
    // `fonts` answers the cloud's FACE names (the reader's QtFontFamilies
    // unless a test gives its own); `clipboard` is Edit > Copy's.
    ReaderReportWindows(ReaderApp& app, ClipboardWriter* clipboard, const FontFamilies* fonts);
    ~ReaderReportWindows();

    // The report command of `kind`: the open window activated, or the setup
    // dialog (index and usage) and a new window. Null when none is open
    // afterwards (no document, setup cancelled, cloud cancelled).
    CIndexReportFrame* Run(ReportKind kind);
    // Opens a window with given parameters (the setup's result), built.
    CIndexReportFrame* Open(ReportKind kind, ReportParameters params);
    CIndexReportFrame* Find(ReportKind kind) const;
    // The active MDI child when it is a report window, else null.
    CIndexReportFrame* Active() const;
    std::vector<CIndexReportFrame*> Frames() const;

    // Every open report becomes outdated.
    void MarkAllOutdated();
    // After Preferences: outdated, the cloud with the new text colour.
    void DisplaySettingsChanged();
    // The Export button: the save dialog, then the file.
    void Export(CIndexReportView& view);

    // Print comes with the printing: until it is set the button (and
    // File > Print while a report window is active) stays disabled; set
    // later, every open window takes it. It is called only for a fresh
    // report (CIndexReportView::Model() holds it and its rich text).
    using PrintAction = std::function<void(CIndexReportView&)>;
    void SetPrintAction(PrintAction print);
    // The index window's title list and highlighted titles, for the
    // Selected and Highlighted ranges of the index report.
    void SetIndexHooks(FindIndexHooks hooks) { index_ = std::move(hooks); }

    void RegisterCommands(CMainFrame& frame);

private:
    std::optional<ReportParameters> Setup(ReportKind kind);

    ReaderApp& app_;
    ClipboardWriter* clipboard_;
    std::unique_ptr<FontFamilies> ownFonts_;
    const FontFamilies* fonts_;
    PrintAction print_;
    FindIndexHooks index_;
    int32_t reportFileType_ = 0;  // the save dialog's last file type, for this run
};

// Installs the report windows on `app` (a frame extension for the
// commands, a Preferences listener for the outdated flag). Install it after
// the article windows: Copy and Select All go to the article window or the
// index window while no report window is active.
ReaderReportWindows& InstallReportWindows(ReaderApp& app, ClipboardWriter* clipboard = nullptr,
                                          const FontFamilies* fonts = nullptr);

}  // namespace qb

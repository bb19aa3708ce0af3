// File > Print and File > Page Setup in the reader: the print dialog (the
// system's, with the article choices as a tab of its own), the Page Setup
// sheet, and the print run through the layout engine onto the chosen
// printer. The print choices and the printer last until the program ends;
// the page setup is kept per open file, in memory only.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "export/export_articles.h"
#include "export/export_setup.h"
#include "print/page_setup.h"
#include "print/print_articles.h"

class QMdiSubWindow;
class QPrinter;

namespace qb {

class CMainFrame;
class CQuillboxDoc;
class RichTextControl;
class ReaderApp;

// What the windows know when Print is chosen: the title list and its
// highlighted titles, the active article window's article.
struct PrintWindowHooks {
    std::function<ExportContext()> context;
    std::function<ExportRanges()> ranges;
};

class ReaderPrint : public std::enable_shared_from_this<ReaderPrint> {
public:
    explicit ReaderPrint(ReaderApp& app);
    ~ReaderPrint();

    void SetWindowHooks(PrintWindowHooks hooks) { hooks_ = std::move(hooks); }
    void RegisterCommands(CMainFrame& frame);

    // File > Print: the dialog, then the articles of the chosen range.
    void Print();
    // A report window's Print: "Print Index Report" (the printer, copies and
    // a Page Setup button), then `report` with tabs every `tabWidthTwips`
    // (none: half an inch), as a print document named after the data file.
    void PrintReport(const RichTextControl& report, std::optional<int32_t> tabWidthTwips);
    // File > Page Setup (and the print dialog's button); true after OK.
    bool RunPageSetup();

    // The open file's page setup, made from the file and the settings' defaults
    // when the file opened; null without a document.
    PageSetup* CurrentPageSetup();
    const PrintOptions& Options() const { return options_; }

private:
    ReaderApp& app_;
    PrintWindowHooks hooks_;
    PrintOptions options_;
    bool optionsTaken_ = false;  // the first dialog takes dates and keywords from Page Setup
    std::unique_ptr<QPrinter> printer_;
    // The page setup of the open file: which document (and index frame,
    // which lives exactly as long as it) it belongs to.
    std::optional<PageSetup> pageSetup_;
    const CQuillboxDoc* pageSetupDoc_ = nullptr;
    QPointer<QMdiSubWindow> pageSetupFrame_;
};

// Makes the print commands of the frame (a frame extension, installed before
// the article windows, which pass Print on to it).
ReaderPrint& InstallPrint(ReaderApp& app);

}  // namespace qb

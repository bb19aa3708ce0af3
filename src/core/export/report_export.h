// Export of a report window to a text, RTF or HTML file. Every file is
// written through its temporary file (export_file.h): a run that fails or
// is cancelled leaves no partial file and an existing target as it was.
#pragma once

#include <optional>
#include <string>

#include "export/html_writer.h"
#include "export/report.h"
#include "richtext/formats.h"
#include "richtext/rich_text.h"

namespace qb {

class CQuillboxDoc;
class ProgressPort;
class Ui;

enum class ReportFileFormat { kText = 1, kRtf = 2, kHtml = 3 };

// The format of the save dialog's filter position (1 text, 2 RTF, 3 HTML);
// nullopt for "All Files" and anything else, which write nothing.
std::optional<ReportFileFormat> ReportFormatOfFilter(int position);

// The save dialog's title: "Export Index Report" and so on.
std::string ReportExportTitle(ReportKind kind);

struct ReportExportContext {
    CQuillboxDoc& doc;
    HtmlSettings html;   // the HTML writer's settings of the run
    CharFormat rtfFont;  // the RTF file's default font (the article display font)
};

// Writes `report` (as `window` shows it) to `target`. Throws CQuillError
// naming the target; false when the person cancelled the HTML export's
// progress window (`progress`, caption "Export to HTML File"). Either way
// nothing is left at the target but the old file.
bool WriteReportFile(const Report& report, const RichTextControl& window, ReportFileFormat format,
                     const std::string& target, const ReportExportContext& context,
                     ProgressPort* progress = nullptr);

// WriteReportFile with its failures shown through `ui`: the error message
// with the target's path, or Cancel's message. True when the file was written.
bool ExportReport(const Report& report, const RichTextControl& window, ReportFileFormat format,
                  const std::string& target, const ReportExportContext& context, Ui& ui);

}  // namespace qb

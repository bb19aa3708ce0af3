// The print commands over the layout engine: articles of a range in their
// order with titles, dates, keywords, attachments and content, and a
// report's rich text. The progress window, Cancel, copies, the margins
// question and printer failures are handled here, shown through the Ui.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "export/export_options.h"
#include "print/page_setup.h"
#include "print/print_job.h"
#include "print/print_surface.h"

namespace qb {

class CQuillboxDoc;
class Locale;
class RichTextControl;
class Settings;
class Ui;

// What the print dialog chose; kept by the application while it runs.
struct PrintOptions {
    ExportRange range = ExportRange::kAll;
    ExportSort sort = ExportSort::kTitlesAscending;
    int32_t copies = 1;
    // export_flags: titles, numbers, dates, attachments, keywords, content.
    uint16_t flags = export_flags::kDefault & ~export_flags::kHeader;

    bool Has(uint16_t flag) const { return (flags & flag) != 0; }
    // Titles and none of the other parts.
    bool TitlesOnly() const {
        return Has(export_flags::kTitles) &&
               !Has(export_flags::kDates | export_flags::kAttachments | export_flags::kKeywords |
                    export_flags::kContent);
    }
    // Number Titles List counts only in titles-only mode.
    bool Numbered() const { return TitlesOnly() && Has(export_flags::kNumbers); }
};

// The answer to "the margins do not fit": go on (with raised margins),
// and whether to keep them in the page setup.
struct MarginChoice {
    bool proceed = true;
    bool store = false;
};

struct PrintServices {
    CQuillboxDoc& doc;
    const Locale& locale;
    Ui& ui;
    const Settings& settings;
    // Asked when a margin is below what the device prints; unset: go on
    // with the raised margins without storing them.
    std::function<MarginChoice()> askAdjustMargins;
};

enum class PrintOutcome { kPrinted, kNothing, kDeclined, kCancelled, kFailed };

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::kNothing;
    int32_t pages = 0;  // pages ended, over all copies
};

// The print fonts (the display font scaled from the screen to the device),
// and the text colour (the custom text colour, or black).
JobStyle MakeJobStyle(const Settings& settings, const SurfaceGeometry& device);

// The message of a printer result below zero (strings 1010 to 1013).
std::string PrinterErrorText(int32_t result);

// Prints `ids` in the order given. Shows the progress window, a failure
// while reading an article (its numbered message) and printer errors.
PrintResult PrintArticles(PrintSurface& surface, PrintServices& services,
                          const PrintOptions& options, PageSetup& setup,
                          const std::vector<int32_t>& ids);

// A report's rich text, `documentName` naming the print document; tabs
// every `tabWidthTwips` (none: half an inch).
PrintResult PrintReport(PrintSurface& surface, PrintServices& services, PageSetup& setup,
                        const RichTextControl& report, std::optional<int32_t> tabWidthTwips,
                        const std::string& documentName, int32_t copies);

}  // namespace qb

// The layout engine of one print command: page geometry from the page setup
// and the device, line breaking and pagination, the header and footer of
// each page, and the drawing of plain and rich text over a PrintSurface.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "print/page_setup.h"
#include "print/print_surface.h"
#include "richtext/rich_text.h"

namespace qb {

// The margins in device pixels and where the text area lies.
struct PageGeometry {
    int32_t margin[4] = {0, 0, 0, 0};  // by MarginSide
    bool raised = false;               // some margin was below what the device prints
    int32_t leftOffset = 0, printableWidth = 0;
    int32_t topOffset = 0, printableHeight = 0;
};

// Margins raised to the device's printable area.
PageGeometry FitMargins(const SurfaceGeometry& device, const PageSetup& setup);
// Stores the geometry's margins in `setup`: for each side the least
// hundredths of an inch that give at least its pixels, in the setup's unit.
void StoreMargins(const PageGeometry& geometry, int32_t dpiX, int32_t dpiY, PageSetup& setup);

// One piece of text in one font and colour.
struct StyledRun {
    std::u16string text;
    PrintFont font;
    uint32_t colour = 0;
};

struct JobStyle {
    PrintFont normal, bold;                // the print fonts
    uint32_t textColour = 0;               // 0x00BBGGRR
    std::optional<int32_t> tabWidthTwips;  // none: half-inch stops
};

class PrintJob {
public:
    // `header` and `footer` have their date and time codes replaced.
    PrintJob(PrintSurface& surface, const PageSetup& setup, JobStyle style, std::u16string header,
             std::u16string footer);

    const PageGeometry& Geometry() const { return geometry_; }
    // Takes new margins (after the person agreed to raise them).
    void SetGeometry(const PageGeometry& g) { geometry_ = g; }
    const JobStyle& Style() const { return style_; }
    int32_t LineHeight() const { return lineHeight_; }

    // Asked between lines; true stops the job as aborted.
    void SetCancelCheck(std::function<bool()> cancelled) { cancelled_ = std::move(cancelled); }

    // A text in one font; CR, LF and CRLF end lines.
    void PrintText(std::u16string_view text, const PrintFont& font, uint32_t colour);
    // Runs laid out together as one paragraph.
    void PrintRuns(const std::vector<StyledRun>& runs);
    // The control's lines with their fonts, indents, alignment, bullets,
    // numbers and spacing.
    void PrintRichText(const RichTextControl& control);

    void LineAdvance();
    void PrintSeparator(ArticleSeparator separator);
    // A page break that leaves no empty page.
    void BreakPage();
    // Ends the page in progress (if one is) and starts page numbering anew:
    // a copy printed by the program itself.
    void RestartCopy();
    // Ends the last page; the document itself is the caller's.
    void Finish();

    bool Stopped() const { return aborted_ || failed_; }
    bool Aborted() const { return aborted_; }
    bool Failed() const { return failed_; }
    int32_t LastResult() const { return lastResult_; }
    int32_t PageNumber() const { return page_; }
    int32_t PagesEnded() const { return pagesEnded_; }
    bool PageOpen() const { return pageOpen_; }
    // Called with each new page's number (the report's progress line).
    void SetPageListener(std::function<void(int32_t)> listener) {
        pageListener_ = std::move(listener);
    }

    // The pixels of a twips length at the device's horizontal resolution.
    int32_t TwipsToX(int32_t twips) const;

private:
    struct Placed {
        int32_t x;
        int32_t run;
        std::u16string_view text;
    };
    struct Paragraph {
        std::vector<StyledRun> runs;
        std::u16string text;            // the runs' texts joined
        std::vector<int32_t> runStart;  // where each run starts in `text`
    };
    struct LineShape {
        int32_t firstIndent = 0, restIndent = 0;
        Align align = Align::kLeft;
        int32_t spacingTwentieths = 20;     // 20 single, 30 one and a half, 40 double
        const StyledRun* marker = nullptr;  // bullet or number, drawn at markerX
        int32_t markerX = 0;
        const PrintFont* emptyFont = nullptr;  // an empty paragraph's height
    };

    void Layout(const Paragraph& p, const LineShape& shape);
    // Draws one line; returns false when the job stopped.
    bool DrawLine(const Paragraph& p, const std::vector<Placed>& placed, int32_t width,
                  const LineShape& shape, bool first);
    void PrintParagraph(Paragraph& p, const LineShape& shape);
    // The width of [start, end); with `widths`, each run's part's width too.
    int32_t Measure(const Paragraph& p, int32_t start, int32_t end,
                    std::vector<int32_t>* widths = nullptr);
    void Place(const Paragraph& p, int32_t start, int32_t end, int32_t x,
               std::vector<Placed>& placed);
    int32_t NextTabStop(int32_t x) const;
    const FontMetrics& MetricsOf(const PrintFont& font);

    bool EnsurePage();
    void EndPage();
    void PrintFurniture(std::u16string_view text, const PrintFont& font);
    int32_t FooterLines(int32_t page);
    bool CheckCancel();

    PrintSurface& surface_;
    const PageSetup& setup_;
    JobStyle style_;
    SurfaceGeometry device_;
    PageGeometry geometry_;
    std::u16string header_, footer_;
    int32_t lineHeight_ = 0;
    int32_t bodyLimit_ = 0;
    int32_t y_ = 0;
    int32_t page_ = 1;
    int32_t pagesEnded_ = 0;
    bool pageOpen_ = false;
    bool bodyOnPage_ = false;
    bool furniture_ = false;  // drawing the header or footer: no page breaks
    bool measuringOnly_ = false;
    int32_t measuredLines_ = 0;
    bool aborted_ = false, failed_ = false;
    int32_t lastResult_ = printer_result::kOk;
    std::function<bool()> cancelled_;
    std::function<void(int32_t)> pageListener_;
    std::vector<std::pair<PrintFont, FontMetrics>> metrics_;
};

}  // namespace qb

#include "print/print_job.h"

#include <algorithm>

namespace qb {
namespace {

constexpr int32_t kTwipsPerInch = 1440;

bool IsBreak(char16_t c) {
    return c == u'\r' || c == u'\n' || c == kLineBreak;
}

// The length of the line break at `pos`: CR LF and LF CR count as one.
int32_t BreakLength(std::u16string_view text, int32_t pos) {
    char16_t c = text[std::size_t(pos)];
    if (std::size_t(pos) + 1 < text.size()) {
        char16_t d = text[std::size_t(pos) + 1];
        if ((c == u'\r' && d == u'\n') || (c == u'\n' && d == u'\r')) return 2;
    }
    return 1;
}

int32_t WordEnd(std::u16string_view text, int32_t pos) {
    int32_t n = int32_t(text.size());
    while (pos < n) {
        char16_t c = text[std::size_t(pos)];
        if (c == u' ' || c == u'\t' || IsBreak(c)) break;
        ++pos;
    }
    return pos;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

PageGeometry FitMargins(const SurfaceGeometry& d, const PageSetup& setup) {
    PageGeometry g;
    const int32_t minimum[4] = {
        d.offsetY,                                         // top
        d.offsetX,                                         // left
        d.physicalHeight - d.printableHeight - d.offsetY,  // bottom
        d.physicalWidth - d.printableWidth - d.offsetX,    // right
    };
    for (int side = 0; side < 4; ++side) {
        bool vertical = side == int(MarginSide::kTop) || side == int(MarginSide::kBottom);
        int32_t px = MulDiv(setup.MarginInHundredthsOfInch(MarginSide(side)),
                            vertical ? d.dpiY : d.dpiX, 100);
        if (px < minimum[side]) {
            px = minimum[side];
            g.raised = true;
        }
        g.margin[side] = px;
    }
    g.leftOffset = g.margin[int(MarginSide::kLeft)] - d.offsetX;
    g.printableWidth =
        d.physicalWidth - g.margin[int(MarginSide::kLeft)] - g.margin[int(MarginSide::kRight)];
    g.topOffset = g.margin[int(MarginSide::kTop)] - d.offsetY;
    g.printableHeight =
        d.physicalHeight - g.margin[int(MarginSide::kTop)] - g.margin[int(MarginSide::kBottom)];
    // Margins wider than the sheet leave at least a sliver: every word then
    // still lands somewhere instead of nowhere.
    g.printableWidth = std::max(g.printableWidth, 1);
    g.printableHeight = std::max(g.printableHeight, 1);
    return g;
}

void StoreMargins(const PageGeometry& g, int32_t dpiX, int32_t dpiY, PageSetup& setup) {
    for (int side = 0; side < 4; ++side) {
        MarginSide s = MarginSide(side);
        bool vertical = s == MarginSide::kTop || s == MarginSide::kBottom;
        int32_t dpi = vertical ? dpiY : dpiX;
        if (dpi <= 0) continue;
        int32_t px = g.margin[side];
        if (MulDiv(setup.MarginInHundredthsOfInch(s), dpi, 100) >= px) continue;  // fitted
        int32_t h = int32_t(int64_t(px) * 100 / dpi);
        while (MulDiv(h, dpi, 100) < px)
            ++h;
        while (h > 0 && MulDiv(h - 1, dpi, 100) >= px)
            --h;
        setup.SetMarginFromHundredthsOfInch(s, h);
    }
}

PrintJob::PrintJob(PrintSurface& surface, const PageSetup& setup, JobStyle style,
                   std::u16string header, std::u16string footer)
    : surface_(surface),
      setup_(setup),
      style_(std::move(style)),
      device_(surface.Geometry()),
      geometry_(FitMargins(device_, setup)),
      header_(std::move(header)),
      footer_(std::move(footer)) {
    const FontMetrics& m = MetricsOf(style_.normal);
    lineHeight_ = std::max(1, m.ascent + m.descent + m.externalLeading);
    y_ = geometry_.topOffset;
}

int32_t PrintJob::TwipsToX(int32_t twips) const {
    return MulDiv(twips, device_.dpiX, kTwipsPerInch);
}

const FontMetrics& PrintJob::MetricsOf(const PrintFont& font) {
    for (const auto& [f, m] : metrics_)
        if (f == font) return m;
    metrics_.emplace_back(font, surface_.Metrics(font));
    return metrics_.back().second;
}

int32_t PrintJob::NextTabStop(int32_t x) const {
    int32_t step = style_.tabWidthTwips && *style_.tabWidthTwips > 0
                       ? TwipsToX(*style_.tabWidthTwips)
                       : device_.dpiX / 2;
    step = std::max(step, 1);
    return (x / step + 1) * step;
}

bool PrintJob::CheckCancel() {
    if (!aborted_ && cancelled_ && cancelled_()) aborted_ = true;
    return aborted_;
}

int32_t PrintJob::Measure(const Paragraph& p, int32_t start, int32_t end,
                          std::vector<int32_t>* widths) {
    int32_t total = 0;
    auto it = std::upper_bound(p.runStart.begin(), p.runStart.end(), start);
    std::size_t run = std::size_t(it - p.runStart.begin()) - 1;
    while (start < end && run < p.runs.size()) {
        int32_t runEnd = run + 1 < p.runStart.size() ? p.runStart[run + 1] : int32_t(p.text.size());
        int32_t partEnd = std::min(end, runEnd);
        if (partEnd > start) {
            int32_t w = surface_.MeasureRun(
                p.runs[run].font, std::u16string_view(p.text).substr(std::size_t(start),
                                                                     std::size_t(partEnd - start)));
            total += w;
            if (widths) widths->push_back(w);
            start = partEnd;
        }
        ++run;
    }
    return total;
}

void PrintJob::Place(const Paragraph& p, int32_t start, int32_t end, int32_t x,
                     std::vector<Placed>& placed) {
    std::vector<int32_t> widths;
    Measure(p, start, end, &widths);
    auto it = std::upper_bound(p.runStart.begin(), p.runStart.end(), start);
    std::size_t run = std::size_t(it - p.runStart.begin()) - 1;
    std::size_t part = 0;
    while (start < end && run < p.runs.size()) {
        int32_t runEnd = run + 1 < p.runStart.size() ? p.runStart[run + 1] : int32_t(p.text.size());
        int32_t partEnd = std::min(end, runEnd);
        if (partEnd > start) {
            std::u16string_view piece = std::u16string_view(p.text).substr(
                std::size_t(start), std::size_t(partEnd - start));
            // Words and spaces next to each other in one run are drawn as one.
            if (!placed.empty() && placed.back().run == int32_t(run) &&
                placed.back().text.data() + placed.back().text.size() == piece.data())
                placed.back().text = std::u16string_view(placed.back().text.data(),
                                                         placed.back().text.size() + piece.size());
            else
                placed.push_back({x, int32_t(run), piece});
            x += part < widths.size() ? widths[part++] : 0;
            start = partEnd;
        }
        ++run;
    }
}

void PrintJob::Layout(const Paragraph& p, const LineShape& shape) {
    const std::u16string_view text(p.text);
    const int32_t n = int32_t(text.size());
    const int32_t limit = geometry_.printableWidth;
    std::vector<Placed> placed;
    int32_t pos = 0;
    bool first = true;
    do {
        if (!first) {
            while (pos < n && (text[std::size_t(pos)] == u' ' || text[std::size_t(pos)] == u'\t'))
                ++pos;
            if (pos < n && IsBreak(text[std::size_t(pos)])) pos += BreakLength(text, pos);
            if (pos >= n) break;  // nothing but the break was left
        }
        int32_t x = first ? shape.firstIndent : shape.restIndent;
        int32_t width = x;
        bool wordPlaced = false;
        placed.clear();
        while (pos < n) {
            char16_t c = text[std::size_t(pos)];
            if (IsBreak(c)) break;
            if (c == u'\t') {
                int32_t next = NextTabStop(x);
                if (next > limit) break;
                x = next;
                ++pos;
                continue;
            }
            bool space = c == u' ';
            int32_t end = space ? pos + 1 : WordEnd(text, pos);
            int32_t w = Measure(p, pos, end);
            if (x + w <= limit) {
                Place(p, pos, end, x, placed);
                x += w;
                if (!space) {
                    width = x;
                    wordPlaced = true;
                }
                pos = end;
                continue;
            }
            if (space || wordPlaced) break;
            // A word wider than the line: as much of it as fits, at least
            // one character (never half of a surrogate pair).
            int32_t lo = 1, hi = end - pos - 1, fit = 1;
            while (lo <= hi) {
                int32_t mid = (lo + hi) / 2;
                if (x + Measure(p, pos, pos + mid) <= limit) {
                    fit = mid;
                    lo = mid + 1;
                } else {
                    hi = mid - 1;
                }
            }
            if (pos + fit < end && IsLowSurrogate(text[std::size_t(pos + fit)])) {
                if (fit > 1)
                    --fit;
                else
                    ++fit;
            }
            Place(p, pos, pos + fit, x, placed);
            width = x + Measure(p, pos, pos + fit);
            pos += fit;
            break;
        }
        if (!DrawLine(p, placed, width, shape, first)) return;
        first = false;
    } while (pos < n);
}

bool PrintJob::DrawLine(const Paragraph& p, const std::vector<Placed>& placed, int32_t width,
                        const LineShape& shape, bool first) {
    if (measuringOnly_) {
        ++measuredLines_;
        return true;
    }
    int32_t ascent = 0, descent = 0;
    auto take = [&](const PrintFont& f) {
        const FontMetrics& m = MetricsOf(f);
        ascent = std::max(ascent, m.ascent + m.externalLeading);
        descent = std::max(descent, m.descent);
    };
    for (const Placed& pl : placed)
        take(p.runs[std::size_t(pl.run)].font);
    const StyledRun* marker = first ? shape.marker : nullptr;
    if (marker) take(marker->font);
    if (placed.empty() && !marker) {
        if (shape.emptyFont)
            take(*shape.emptyFont);
        else if (!p.runs.empty())
            take(p.runs.front().font);
        else
            take(style_.normal);
    }
    int32_t height = ascent + descent;

    if (!furniture_) {
        if (!EnsurePage()) return false;
        if (y_ > geometry_.topOffset && y_ + height > bodyLimit_) {
            EndPage();
            if (!EnsurePage()) return false;
        }
        bodyOnPage_ = true;
    }

    int32_t shift = 0;
    if (shape.align == Align::kCenter)
        shift = std::max(0, (geometry_.printableWidth - width) / 2);
    else if (shape.align == Align::kRight)
        shift = std::max(0, geometry_.printableWidth - width);
    const int32_t left = geometry_.leftOffset;
    const int32_t baseline = y_ + ascent;
    if (marker)
        surface_.DrawRun(marker->font, marker->colour, left + shape.markerX, baseline,
                         marker->text);
    for (const Placed& pl : placed) {
        std::u16string_view text = pl.text;
        while (!text.empty() && text.back() == u' ')
            text.remove_suffix(1);
        if (text.empty()) continue;
        const StyledRun& run = p.runs[std::size_t(pl.run)];
        surface_.DrawRun(run.font, run.colour, left + shift + pl.x, baseline, text);
    }
    y_ += MulDiv(height, shape.spacingTwentieths, 20);
    return !CheckCancel();
}

void PrintJob::PrintParagraph(Paragraph& p, const LineShape& shape) {
    if (Stopped()) return;
    p.runStart.clear();
    p.text.clear();
    for (const StyledRun& r : p.runs) {
        p.runStart.push_back(int32_t(p.text.size()));
        p.text += r.text;
    }
    Layout(p, shape);
}

void PrintJob::PrintText(std::u16string_view text, const PrintFont& font, uint32_t colour) {
    Paragraph p;
    p.runs.push_back({std::u16string(text), font, colour});
    LineShape shape;
    shape.emptyFont = &font;
    PrintParagraph(p, shape);
}

void PrintJob::PrintRuns(const std::vector<StyledRun>& runs) {
    Paragraph p;
    p.runs = runs;
    PrintParagraph(p, LineShape{});
}

void PrintJob::LineAdvance() {
    if (pageOpen_ && !Stopped()) y_ += lineHeight_;
}

void PrintJob::PrintSeparator(ArticleSeparator separator) {
    if (Stopped()) return;
    switch (separator) {
        case ArticleSeparator::kBlankLine:
            LineAdvance();
            LineAdvance();
            break;
        case ArticleSeparator::kSolidLine:
            LineAdvance();
            if (!pageOpen_) break;
            if (y_ > bodyLimit_) {
                // A rule below the body would sit in the footer: the next
                // article starts the next page instead.
                EndPage();
                break;
            }
            surface_.DrawLine(geometry_.leftOffset, y_,
                              geometry_.leftOffset + geometry_.printableWidth, y_,
                              style_.textColour);
            LineAdvance();
            break;
        case ArticleSeparator::kPageBreak:
            BreakPage();
            break;
    }
}

void PrintJob::BreakPage() {
    if (pageOpen_ && bodyOnPage_) EndPage();
}

void PrintJob::RestartCopy() {
    if (pageOpen_) EndPage();
    page_ = 1;
}

void PrintJob::Finish() {
    if (pageOpen_) EndPage();
}

int32_t PrintJob::FooterLines(int32_t page) {
    std::u16string text = ExpandPageNumber(footer_, page);
    if (text.empty()) return 0;
    measuringOnly_ = true;
    measuredLines_ = 0;
    PrintText(text, style_.normal, style_.textColour);
    measuringOnly_ = false;
    return measuredLines_;
}

void PrintJob::PrintFurniture(std::u16string_view text, const PrintFont& font) {
    furniture_ = true;
    PrintText(text, font, style_.textColour);
    furniture_ = false;
}

bool PrintJob::EnsurePage() {
    if (Stopped()) return false;
    if (pageOpen_) return true;
    int32_t r = surface_.StartPage();
    if (r < 0) {
        lastResult_ = r;
        failed_ = true;
        return false;
    }
    pageOpen_ = true;
    bodyOnPage_ = false;
    y_ = geometry_.topOffset;
    bodyLimit_ =
        geometry_.topOffset + geometry_.printableHeight - (FooterLines(page_) + 1) * lineHeight_;
    // At least one body line fits, whatever the footer and margins say.
    bodyLimit_ = std::max(bodyLimit_, geometry_.topOffset + lineHeight_);
    if (pageListener_) pageListener_(page_);
    if (page_ == 1 || !setup_.headerFirstPageOnly) {
        std::u16string header = ExpandPageNumber(header_, page_);
        if (!header.empty()) {
            PrintFurniture(header, setup_.boldTitles ? style_.bold : style_.normal);
            LineAdvance();
        }
    }
    return !Stopped();
}

void PrintJob::EndPage() {
    if (!pageOpen_) return;
    pageOpen_ = false;
    if (aborted_) return;
    if (page_ > 1 || setup_.footerOnFirstPage) {
        std::u16string footer = ExpandPageNumber(footer_, page_);
        if (!footer.empty()) {
            pageOpen_ = true;  // the footer's lines draw on this page
            y_ = bodyLimit_ + lineHeight_;
            PrintFurniture(footer, style_.normal);
            pageOpen_ = false;
        }
    }
    int32_t r = surface_.EndPage();
    lastResult_ = r;
    if (r < 0) failed_ = true;
    ++pagesEnded_;
    ++page_;
    y_ = geometry_.topOffset;
}

}  // namespace qb

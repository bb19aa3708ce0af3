// A print surface for tests: a fixed device (by default 100 dpi, a 850 x
// 1100 sheet printable all over), fonts that measure every character as
// half their height wide, and a record of every run and line drawn with
// its page.
#pragma once

#include <string>
#include <vector>

#include "print/print_surface.h"

namespace qb {

class RecordingPrintSurface : public PrintSurface {
public:
    struct Run {
        int page;  // from 1, counted by StartPage
        std::u16string text;
        PrintFont font;
        uint32_t colour;
        int32_t x, baseline;
    };
    struct Line {
        int page;
        int32_t x1, y1, x2, y2;
    };

    SurfaceGeometry device{100, 100, 850, 1100, 0, 0, 850, 1100};
    bool makesCopies = true;
    int32_t endPageResult = printer_result::kOk;
    int32_t startDocumentResult = 1;

    std::vector<Run> runs;
    std::vector<Line> lines;
    int pagesStarted = 0, pagesEnded = 0;
    std::vector<std::string> documents;
    bool ended = false, aborted = false;

    SurfaceGeometry Geometry() const override { return device; }
    bool MakesCopies() const override { return makesCopies; }
    int32_t StartDocument(const std::string& name) override {
        documents.push_back(name);
        return startDocumentResult;
    }
    int32_t StartPage() override {
        ++pagesStarted;
        return 1;
    }
    int32_t EndPage() override {
        ++pagesEnded;
        return endPageResult;
    }
    int32_t EndDocument() override {
        ended = true;
        return 1;
    }
    void AbortDocument() override { aborted = true; }

    // Ascent 3/4 of the height, descent the rest, leading 1/10.
    FontMetrics Metrics(const PrintFont& f) override {
        return {f.height * 3 / 4, f.height - f.height * 3 / 4, f.height / 10};
    }
    int32_t MeasureRun(const PrintFont& f, std::u16string_view text) override {
        return int32_t(text.size()) * (f.height / 2);
    }
    void DrawRun(const PrintFont& f, uint32_t colour, int32_t x, int32_t baseline,
                 std::u16string_view text) override {
        runs.push_back({pagesStarted, std::u16string(text), f, colour, x, baseline});
    }
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t) override {
        lines.push_back({pagesStarted, x1, y1, x2, y2});
    }

    // The runs of one page, and the first run whose text is `text`.
    std::vector<Run> OnPage(int page) const {
        std::vector<Run> out;
        for (const Run& r : runs)
            if (r.page == page) out.push_back(r);
        return out;
    }
    const Run* Find(std::u16string_view text) const {
        for (const Run& r : runs)
            if (r.text == text) return &r;
        return nullptr;
    }
};

}  // namespace qb

// The print surface on Qt: a QPainter over a QPrinter (a printer or a PDF
// file). Coordinates are the printer's device pixels from the top-left
// corner of its printable area, which is where QPainter puts its origin
// when the printer is not in full-page mode.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "print/print_surface.h"

class QPrinter;

namespace qb {

// The face to ask fontconfig for: the face itself when it is installed,
// else its metric-compatible Liberation face (Arial, Helvetica, Times New
// Roman, Times, Courier New, Courier), else the face (fontconfig picks).
QString PrinterFace(const std::string& face);
// A print font as a Qt font whose pixel size is the character height.
QFont MakePrinterFont(const PrintFont& font);

class QtPrintSurface final : public PrintSurface {
public:
    // `printer` outlives the surface and is set up (format, page, copies).
    explicit QtPrintSurface(QPrinter& printer);
    ~QtPrintSurface() override;

    // Called between pages and every few hundred runs so that the progress
    // window's Cancel is seen while the job runs (the printer's abort
    // procedure); unset: nothing is served.
    void SetEventPump(std::function<void()> pump) { pump_ = std::move(pump); }

    SurfaceGeometry Geometry() const override;
    bool MakesCopies() const override;

    int32_t StartDocument(const std::string& name) override;
    int32_t StartPage() override;
    int32_t EndPage() override;
    int32_t EndDocument() override;
    void AbortDocument() override;

    FontMetrics Metrics(const PrintFont& font) override;
    int32_t MeasureRun(const PrintFont& font, std::u16string_view text) override;
    void DrawRun(const PrintFont& font, uint32_t colour, int32_t x, int32_t baseline,
                 std::u16string_view text) override;
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) override;

    int32_t PagesStarted() const { return pagesStarted_; }

private:
    // Latin, Greek and Cyrillic need no shaping: their characters are
    // measured one by one and the advances kept.
    static constexpr char16_t kCachedAdvances = 0x0530;
    struct Face {
        PrintFont key;
        QFont font;
        QFontMetricsF metrics;
        bool symbol;  // the Symbol face: its bullet is drawn as U+2022
        std::array<qreal, kCachedAdvances> advances;  // -1: not asked yet
    };
    Face& FaceOf(const PrintFont& font);
    QString TextOf(const Face& face, std::u16string_view text) const;
    void Serve();

    QPrinter& printer_;
    QPainter painter_;
    bool started_ = false;
    int32_t pagesStarted_ = 0;
    int32_t runsSinceServe_ = 0;
    std::vector<Face> faces_;
    size_t lastFace_ = 0;
    std::optional<QFont> painterFont_;
    std::function<void()> pump_;
};

}  // namespace qb

// The port printing draws on: a printer's page or a PDF in the reader, a
// recording in tests. Lengths are device pixels; x and y count from the
// top-left corner of the printable area, as on a printer's device context.
// Colours are 0x00BBGGRR. Texts are UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

struct PrintFont {
    std::string face = "Arial";  // UTF-8
    int32_t height = 0;          // character height in pixels
    int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;
    bool operator==(const PrintFont&) const = default;
};

struct FontMetrics {
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t externalLeading = 0;
};

// What the device is: resolution, the sheet and the part of it the device
// can print on.
struct SurfaceGeometry {
    int32_t dpiX = 600, dpiY = 600;
    int32_t physicalWidth = 0, physicalHeight = 0;  // the whole sheet
    int32_t offsetX = 0, offsetY = 0;               // unprintable near margins
    int32_t printableWidth = 0, printableHeight = 0;
};

// Results of the device's calls, as a spooler reports them.
namespace printer_result {
constexpr int32_t kOk = 1;
constexpr int32_t kError = -1;
constexpr int32_t kCancelledByUser = -3;  // in the system's print manager
constexpr int32_t kOutOfDisk = -4;
constexpr int32_t kOutOfMemory = -5;
}  // namespace printer_result

class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    virtual SurfaceGeometry Geometry() const = 0;
    // Whether the device makes the copies itself; otherwise the job prints
    // its sequence once per copy.
    virtual bool MakesCopies() const = 0;

    // Document and pages: a negative result is a printer failure (see
    // printer_result), and the job stops.
    virtual int32_t StartDocument(const std::string& name) = 0;
    virtual int32_t StartPage() = 0;
    virtual int32_t EndPage() = 0;
    virtual int32_t EndDocument() = 0;
    // Cancel: the document is dropped, nothing more is printed.
    virtual void AbortDocument() = 0;

    virtual FontMetrics Metrics(const PrintFont& font) = 0;
    virtual int32_t MeasureRun(const PrintFont& font, std::u16string_view text) = 0;
    // `baseline` is the y of the text's baseline.
    virtual void DrawRun(const PrintFont& font, uint32_t colour, int32_t x, int32_t baseline,
                         std::u16string_view text) = 0;
    virtual void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) = 0;
};

}  // namespace qb

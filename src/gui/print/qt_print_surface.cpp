#include "gui/print/qt_print_surface.h"

#include <QFontDatabase>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "gui/platform/colors.h"

namespace qb {
namespace {

// Family bits of a LOGFONT's pitch-and-family byte.
constexpr uint8_t kFixedPitch = 0x01;
constexpr uint8_t kFamilyMask = 0xF0;
constexpr uint8_t kFamilyRoman = 0x10, kFamilySwiss = 0x20, kFamilyModern = 0x30,
                  kFamilyScript = 0x40, kFamilyDecorative = 0x50;

constexpr char16_t kSymbolBullet = 183;  // the bullet of the Symbol face
constexpr int32_t kRunsPerServe = 256;

bool IsSymbolFace(const std::string& face) {
    return QString::fromStdString(face).compare("Symbol", Qt::CaseInsensitive) == 0;
}

int32_t Round(qreal v) {
    return int32_t(std::lround(v));
}

}  // namespace

QString PrinterFace(const std::string& face) {
    QString name = QString::fromStdString(face);
    if (name.isEmpty()) return QStringLiteral("Liberation Sans");
    if (QFontDatabase::hasFamily(name)) return name;
    struct Alias {
        const char* face;
        const char* liberation;
    };
    static const Alias kAliases[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Times", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"Courier", "Liberation Mono"},
    };
    for (const Alias& a : kAliases)
        if (name.compare(QLatin1String(a.face), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(a.liberation);
    return name;
}

QFont MakePrinterFont(const PrintFont& f) {
    QFont font(IsSymbolFace(f.face) ? QStringLiteral("Liberation Sans") : PrinterFace(f.face));
    font.setPixelSize(std::max(1, f.height));
    font.setWeight(QFont::Weight(std::clamp(f.weight > 0 ? f.weight : 400, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeout);
    switch (f.pitchAndFamily & kFamilyMask) {
        case kFamilyRoman:
            font.setStyleHint(QFont::Serif);
            break;
        case kFamilySwiss:
            font.setStyleHint(QFont::SansSerif);
            break;
        case kFamilyModern:
            font.setStyleHint(QFont::TypeWriter);
            break;
        case kFamilyScript:
            font.setStyleHint(QFont::Cursive);
            break;
        case kFamilyDecorative:
            font.setStyleHint(QFont::Decorative);
            break;
        default:
            break;
    }
    if (f.pitchAndFamily & kFixedPitch) font.setFixedPitch(true);
    // Layout and drawing must agree: no hinting shifts, no kerning, no
    // ligatures (shaping is bypassed where the script does not need it, which
    // also keeps "fi" two letters for whoever reads the PDF's text).
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QtPrintSurface::QtPrintSurface(QPrinter& printer) : printer_(printer) {}

QtPrintSurface::~QtPrintSurface() {
    if (painter_.isActive()) painter_.end();
}

SurfaceGeometry QtPrintSurface::Geometry() const {
    SurfaceGeometry g;
    g.dpiX = printer_.logicalDpiX();
    g.dpiY = printer_.logicalDpiY();
    QRectF paper = printer_.paperRect(QPrinter::DevicePixel);
    QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    g.physicalWidth = Round(paper.width());
    g.physicalHeight = Round(paper.height());
    g.offsetX = Round(page.left() - paper.left());
    g.offsetY = Round(page.top() - paper.top());
    g.printableWidth = Round(page.width());
    g.printableHeight = Round(page.height());
    return g;
}

bool QtPrintSurface::MakesCopies() const {
    return printer_.supportsMultipleCopies();
}

int32_t QtPrintSurface::StartDocument(const std::string& name) {
    printer_.setDocName(QString::fromStdString(name));
    if (!painter_.begin(&printer_)) return printer_result::kError;
    started_ = true;
    painterFont_.reset();
    return printer_result::kOk;
}

int32_t QtPrintSurface::StartPage() {
    if (!started_) return printer_result::kError;
    // QPainter::begin opened the first page; every later one is asked for.
    if (pagesStarted_ > 0 && !printer_.newPage()) return printer_result::kError;
    ++pagesStarted_;
    return printer_.printerState() == QPrinter::Error ? printer_result::kError
                                                      : printer_result::kOk;
}

int32_t QtPrintSurface::EndPage() {
    Serve();
    if (printer_.printerState() == QPrinter::Aborted) return printer_result::kCancelledByUser;
    return printer_.printerState() == QPrinter::Error ? printer_result::kError
                                                      : printer_result::kOk;
}

int32_t QtPrintSurface::EndDocument() {
    if (!started_) return printer_result::kError;
    started_ = false;
    bool ok = painter_.end();
    return ok && printer_.printerState() != QPrinter::Error ? printer_result::kOk
                                                            : printer_result::kError;
}

void QtPrintSurface::AbortDocument() {
    if (!started_) return;
    started_ = false;
    printer_.abort();
    if (painter_.isActive()) painter_.end();
}

QtPrintSurface::Face& QtPrintSurface::FaceOf(const PrintFont& font) {
    if (lastFace_ < faces_.size() && faces_[lastFace_].key == font) return faces_[lastFace_];
    for (size_t i = 0; i < faces_.size(); ++i) {
        if (faces_[i].key == font) {
            lastFace_ = i;
            return faces_[i];
        }
    }
    QFont qfont = MakePrinterFont(font);
    faces_.push_back({font, qfont, QFontMetricsF(qfont, &printer_), IsSymbolFace(font.face), {}});
    faces_.back().advances.fill(-1);
    lastFace_ = faces_.size() - 1;
    return faces_.back();
}

QString QtPrintSurface::TextOf(const Face& face, std::u16string_view text) const {
    QString s = QString::fromUtf16(text.data(), qsizetype(text.size()));
    if (face.symbol) s.replace(QChar(kSymbolBullet), QChar(0x2022));
    return s;
}

FontMetrics QtPrintSurface::Metrics(const PrintFont& font) {
    const QFontMetricsF& m = FaceOf(font).metrics;
    return {Round(m.ascent()), Round(m.descent()), std::max(0, Round(m.leading()))};
}

int32_t QtPrintSurface::MeasureRun(const PrintFont& font, std::u16string_view text) {
    Face& face = FaceOf(font);
    // Unshaped text measures as the sum of its characters: each one's
    // advance is asked once per face. Anything past the simple scripts is
    // measured as a whole.
    qreal width = 0;
    for (char16_t c : text) {
        bool combining = c >= 0x0300 && c < 0x0370;  // placed on the letter before
        if (c >= kCachedAdvances || combining || face.symbol) {
            return Round(face.metrics.horizontalAdvance(TextOf(face, text)));
        }
        qreal& advance = face.advances[c];
        if (advance < 0) advance = face.metrics.horizontalAdvance(QChar(c));
        width += advance;
    }
    return Round(width);
}

void QtPrintSurface::DrawRun(const PrintFont& font, uint32_t colour, int32_t x, int32_t baseline,
                             std::u16string_view text) {
    if (!painter_.isActive()) return;
    const Face& face = FaceOf(font);
    if (!painterFont_ || !(*painterFont_ == face.font)) {
        painter_.setFont(face.font);
        painterFont_ = face.font;
    }
    painter_.setPen(ColorFromBgr(int32_t(colour & 0xFFFFFF)));
    painter_.drawText(QPointF(x, baseline), TextOf(face, text));
    if (++runsSinceServe_ >= kRunsPerServe) Serve();
}

void QtPrintSurface::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
    if (!painter_.isActive()) return;
    QPen pen(ColorFromBgr(int32_t(colour & 0xFFFFFF)));
    pen.setWidth(std::max(1, printer_.logicalDpiY() / 100));
    painter_.setPen(pen);
    painter_.drawLine(x1, y1, x2, y2);
}

void QtPrintSurface::Serve() {
    runsSinceServe_ = 0;
    if (pump_) pump_();
}

}  // namespace qb

// The print surface over QPrinter: the device it reports, the faces it
// asks for, measuring that agrees with drawing, and pages that come out
// as the engine counts them.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <filesystem>
#include <memory>
#include <string>

#include "gui/print/qt_print_surface.h"
#include "print/print_job.h"
#include "support/run_program.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

void EnsureApp() {
    static int argc = 1;
    static char name[] = "test_gui_print";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}

std::unique_ptr<QPrinter> PdfPrinter(const std::string& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(path));
    printer->setPageSize(QPageSize(QPageSize::Letter));
    printer->setFullPage(false);
    printer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return printer;
}

PrintFont Font(const std::string& face, int32_t height, int32_t weight = 400) {
    PrintFont f;
    f.face = face;
    f.height = height;
    f.weight = weight;
    return f;
}

TEST(QtPrintSurface, ALetterPdfIsItsPaperAtItsResolution) {
    EnsureApp();
    TempDir dir;
    auto printer = PdfPrinter(dir / "g.pdf");
    QtPrintSurface surface(*printer);
    SurfaceGeometry g = surface.Geometry();
    ASSERT_GT(g.dpiX, 0);
    EXPECT_EQ(g.dpiX, g.dpiY);
    EXPECT_EQ(g.physicalWidth, g.dpiX * 85 / 10);  // 8.5 x 11 inches
    EXPECT_EQ(g.physicalHeight, g.dpiY * 11);
    EXPECT_EQ(g.offsetX, 0);
    EXPECT_EQ(g.printableWidth, g.physicalWidth);
}

TEST(QtPrintSurface, WindowsFacesComeAsTheirLiberationEquivalents) {
    EnsureApp();
    for (auto [face, liberation] : {std::pair{"Arial", "Liberation Sans"},
                                    {"Times New Roman", "Liberation Serif"},
                                    {"Courier New", "Liberation Mono"}}) {
        QString asked = PrinterFace(face);
        if (QFontDatabase::hasFamily(QString::fromLatin1(face)))
            EXPECT_EQ(asked, QString::fromLatin1(face));
        else
            EXPECT_EQ(asked, QString::fromLatin1(liberation)) << face;
    }
    // A face no alias knows is asked for as it is; fontconfig chooses.
    EXPECT_EQ(PrinterFace("Quite Unknown Face"), QStringLiteral("Quite Unknown Face"));
    EXPECT_EQ(PrinterFace(""), QStringLiteral("Liberation Sans"));
    QFont bold = MakePrinterFont(Font("Arial", 100, 700));
    EXPECT_EQ(bold.pixelSize(), 100);
    EXPECT_EQ(bold.weight(), QFont::Bold);
}

TEST(QtPrintSurface, MeasuringScalesWithHeightAndAddsUpAcrossRuns) {
    EnsureApp();
    TempDir dir;
    auto printer = PdfPrinter(dir / "m.pdf");
    QtPrintSurface surface(*printer);
    PrintFont small = Font("Arial", 100), large = Font("Arial", 200);
    int32_t a = surface.MeasureRun(small, u"Garden notes");
    int32_t b = surface.MeasureRun(large, u"Garden notes");
    EXPECT_GT(a, 0);
    EXPECT_NEAR(b, 2 * a, 4);
    // Layout splits words at run boundaries: the parts add up to the whole.
    int32_t parts = surface.MeasureRun(small, u"Garden") + surface.MeasureRun(small, u" notes");
    EXPECT_NEAR(parts, a, 2);
    FontMetrics m = surface.Metrics(small);
    EXPECT_GT(m.ascent, 50);
    EXPECT_GT(m.descent, 0);
    EXPECT_LE(m.ascent + m.descent, 130);
    EXPECT_GT(surface.MeasureRun(Font("Arial", 100, 700), u"Garden notes"), a);
    EXPECT_EQ(surface.MeasureRun(small, u""), 0);
}

TEST(QtPrintSurface, ThePdfHasThePagesTheJobEnded) {
    EnsureApp();
    TempDir dir;
    std::string path = dir / "pages.pdf";
    int32_t ended = 0;
    {
        auto printer = PdfPrinter(path);
        QtPrintSurface surface(*printer);
        PageSetup setup;
        JobStyle style;
        style.normal = Font("Arial", 12 * 1200 / 72);
        style.bold = style.normal;
        style.bold.weight = 700;
        PrintJob job(surface, setup, style, u"Header &P", u"");
        ASSERT_EQ(surface.StartDocument("pages"), printer_result::kOk);
        for (int i = 0; i < 200; ++i)
            job.PrintText(u"Line " + std::u16string(1, char16_t(u'A' + i % 26)), style.normal, 0);
        job.Finish();
        ended = job.PagesEnded();
        EXPECT_EQ(surface.PagesStarted(), ended);
        EXPECT_EQ(surface.EndDocument(), printer_result::kOk);
    }
    EXPECT_GE(ended, 3);
    std::string info = RunProgram("/usr/bin/pdfinfo", {path}).out;
    size_t at = info.find("Pages:");
    ASSERT_NE(at, std::string::npos) << info;
    EXPECT_EQ(std::stoi(info.substr(at + 6)), ended);
}

TEST(QtPrintSurface, AnAbortedDocumentDrawsNothingMore) {
    EnsureApp();
    TempDir dir;
    auto printer = PdfPrinter(dir / "abort.pdf");
    QtPrintSurface surface(*printer);
    ASSERT_EQ(surface.StartDocument("abort"), printer_result::kOk);
    ASSERT_EQ(surface.StartPage(), printer_result::kOk);
    surface.AbortDocument();
    // Calls after the abort are harmless and report failure.
    surface.DrawRun(Font("Arial", 100), 0, 0, 100, u"late");
    EXPECT_EQ(surface.StartPage(), printer_result::kError);
    EXPECT_EQ(surface.EndDocument(), printer_result::kError);
}

}  // namespace
}  // namespace qb::testing

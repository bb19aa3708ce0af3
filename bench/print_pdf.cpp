// Printing into a PDF through the layout engine and the Qt print surface,
// over the 100,000-article benchmark file (2 KB of rich text each).
//
//   BM_OpenAndSort/N:        open the document and sort all N titles: the
//                            floor a titles-only print cannot go below.
//   BM_PrintTitlesPdf/N:     open, sort and print the N titles alone into a
//                            PDF (target < 10 s for 100,000).
//   BM_LayoutArticles/N:     open and lay out the first N articles in full
//                            (titles, dates, keywords, content) on a surface
//                            that measures every character at a fixed width
//                            and draws nothing: the engine's own share.
//   BM_PrintArticlesPdf/N:   the same N articles into a PDF (target < 10 s
//                            for 1,000).
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings.h"
#include "bench_document.h"
#include "bench_support.h"
#include "document/quillbox_doc.h"
#include "document_bench_file.h"
#include "export/export_articles.h"
#include "gui/print/qt_print_surface.h"
#include "index/document_source.h"
#include "platform/icu_locale.h"
#include "print/print_articles.h"

namespace {

using qb::bench::DocumentBenchFile;

struct OpenDocument : qb::bench::BenchDocument {
    qb::Settings settings;
    std::vector<int32_t> Sorted(size_t n) {
        std::vector<int32_t> ids = *qb::ArticlesOfRange(doc, qb::ExportRange::kAll, {});
        if (ids.size() > n) ids.resize(n);
        qb::DocumentIndexSource source(doc);
        qb::SortForExport(ids, source, locale, qb::ExportSort::kTitlesAscending, ui);
        return ids;
    }
};

// Lays out without drawing: every character half the font's height wide.
class CountingSurface : public qb::PrintSurface {
public:
    qb::SurfaceGeometry Geometry() const override {
        return {1200, 1200, 10200, 13200, 0, 0, 10200, 13200};
    }
    bool MakesCopies() const override { return true; }
    int32_t StartDocument(const std::string&) override { return 1; }
    int32_t StartPage() override { return 1; }
    int32_t EndPage() override { return 1; }
    int32_t EndDocument() override { return 1; }
    void AbortDocument() override {}
    qb::FontMetrics Metrics(const qb::PrintFont& f) override {
        return {f.height * 3 / 4, f.height / 4, f.height / 10};
    }
    int32_t MeasureRun(const qb::PrintFont& f, std::u16string_view t) override {
        return int32_t(t.size()) * (f.height / 2);
    }
    void DrawRun(const qb::PrintFont&, uint32_t, int32_t, int32_t, std::u16string_view t) override {
        drawn += t.size();
    }
    void DrawLine(int32_t, int32_t, int32_t, int32_t, uint32_t) override {}
    size_t drawn = 0;
};

std::string Target() {
    return "/tmp/qb_bench_print_" + std::to_string(getpid()) + ".pdf";
}

qb::PrintOptions Choices(bool titlesOnly) {
    qb::PrintOptions o;
    o.flags = titlesOnly ? qb::export_flags::kTitles
                         : uint16_t(qb::export_flags::kDefault & ~qb::export_flags::kHeader);
    return o;
}

bool Print(benchmark::State& state, OpenDocument& d, qb::PrintSurface& surface, bool titlesOnly,
           const std::vector<int32_t>& ids) {
    qb::PageSetup setup = qb::PageSetup::FromFile(d.doc.PageSetup(), d.doc.PrintHeader(),
                                                  d.doc.PrintFooter(), qb::ProfileStore());
    qb::PrintServices services{d.doc, d.locale, d.ui, d.settings, {}};
    qb::PrintResult r = qb::PrintArticles(surface, services, Choices(titlesOnly), setup, ids);
    if (r.outcome != qb::PrintOutcome::kPrinted) {
        state.SkipWithError("printing failed");
        return false;
    }
    state.counters["pages"] = double(r.pages);
    return true;
}

void RunPdf(benchmark::State& state, bool titlesOnly) {
    const std::string& path = DocumentBenchFile();
    const std::string target = Target();
    for (auto _ : state) {
        OpenDocument d;
        if (!d.doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        std::vector<int32_t> ids = d.Sorted(size_t(state.range(0)));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(target));
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        qb::QtPrintSurface surface(printer);
        if (!Print(state, d, surface, titlesOnly, ids)) return;
    }
    if (FILE* f = std::fopen(target.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        state.counters["output_bytes"] = double(std::ftell(f));
        std::fclose(f);
    }
    std::remove(target.c_str());
    qb::bench::ReportPeak(state);
}

void BM_OpenAndSort(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
    for (auto _ : state) {
        OpenDocument d;
        if (!d.doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        benchmark::DoNotOptimize(d.Sorted(size_t(state.range(0))).data());
    }
    qb::bench::ReportPeak(state);
}

void BM_PrintTitlesPdf(benchmark::State& state) {
    RunPdf(state, true);
}
void BM_PrintArticlesPdf(benchmark::State& state) {
    RunPdf(state, false);
}

void BM_LayoutArticles(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
    for (auto _ : state) {
        OpenDocument d;
        if (!d.doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        CountingSurface surface;
        if (!Print(state, d, surface, false, d.Sorted(size_t(state.range(0))))) return;
        benchmark::DoNotOptimize(surface.drawn);
    }
    qb::bench::ReportPeak(state);
}

BENCHMARK(BM_OpenAndSort)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintTitlesPdf)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LayoutArticles)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PrintArticlesPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// A single-file export of the 100,000-article benchmark file (2 KB of rich
// text each), against reading the same articles.
//
//   BM_ReadAndInflate/N: open the document and read (and inflate) the first
//                        N articles with CQuillboxDoc::ReadArticle: the floor
//                        an export cannot go below.
//   BM_ExportText/N:     open the document and export the first N articles
//                        as one text file, sorted by title, every flag.
//   BM_ExportHtml/N:     the same as one HTML file (built with the writer).
//
// The HTML export's target is at most 3 x BM_ReadAndInflate; peak memory
// must not grow with N beyond the document's own per-article summaries.
// peak_rss_kb is ru_maxrss after the run: run one benchmark per process
// (--benchmark_filter) for separate peaks.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench_document.h"
#include "bench_support.h"
#include "document/quillbox_doc.h"
#include "document_bench_file.h"
#include "export/export_articles.h"
#include "platform/icu_locale.h"

namespace {

using qb::bench::DocumentBenchFile;

using OpenDocument = qb::bench::BenchDocument;

std::string Target(const char* ext) {
    return "/tmp/qb_bench_export_" + std::to_string(getpid()) + ext;
}

// The baseline: open the file and read and inflate the first articles.
void BM_ReadAndInflate(benchmark::State& state) {
    qb::bench::ReadAndInflate(state, DocumentBenchFile(), size_t(state.range(0)));
}

void RunExport(benchmark::State& state, qb::ExportFormat format, const char* ext) {
    const std::string& path = DocumentBenchFile();
    const std::string target = Target(ext);
    for (auto _ : state) {
        OpenDocument d;
        if (!d.doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        qb::ExportSettings settings;
        settings.options.flags = qb::export_flags::kAll;
        settings.options.range = qb::ExportRange::kHighlighted;
        qb::ExportRanges ranges;
        ranges.highlighted = d.First(size_t(state.range(0)));
        qb::ExportJob job(d.doc, d.locale, d.ui, settings);
        if (!qb::ExportArticles(job, target, format, false, ranges).Succeeded()) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    FILE* f = std::fopen(target.c_str(), "rb");
    if (f) {
        std::fseek(f, 0, SEEK_END);
        state.counters["output_bytes"] = double(std::ftell(f));
        std::fclose(f);
    }
    std::remove(target.c_str());
    qb::bench::ReportPeak(state);
}

void BM_ExportText(benchmark::State& state) {
    RunExport(state, qb::ExportFormat::kText, ".txt");
}

BENCHMARK(BM_ReadAndInflate)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportText)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportHtml(benchmark::State& state) {
    RunExport(state, qb::ExportFormat::kHtml, ".htm");
}
BENCHMARK(BM_ExportHtml)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

// The Markdown notes-folder export of the 100,000-article benchmark file
// (2 KB of rich text each), against reading the same articles in the same
// run.
//
//   BM_ReadAndInflate/N:  open the document and read (and inflate) the first
//                         N articles with CQuillboxDoc::ReadArticle: the
//                         floor an export cannot go below.
//   BM_ExportMarkdown/N:  open the document and export the first N articles
//                         as a notes folder, sorted by title: a note per
//                         article (each through its temporary file) and
//                         index.md, into a new folder in /tmp (or in
//                         $QB_BENCH_OUT) each time. The folders are removed
//                         when the program ends: ext4 without a journal
//                         skips the inodes freed in the last minutes, one
//                         lookup each, so files made just after many were
//                         deleted cost several times what they otherwise do.
//
// The target is at most 3 x BM_ReadAndInflate of the same N.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
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

// The baseline: open the file and read and inflate the first articles.
void BM_ReadAndInflate(benchmark::State& state) {
    qb::bench::ReadAndInflate(state, DocumentBenchFile(), size_t(state.range(0)));
}

// The folders the runs wrote, removed at exit.
std::vector<std::string>& WrittenFolders() {
    static std::vector<std::string> folders;
    static const bool removed = [] {
        std::atexit([] {
            std::error_code ec;
            for (const std::string& f : WrittenFolders())
                std::filesystem::remove_all(f, ec);
        });
        return true;
    }();
    (void)removed;
    return folders;
}

void BM_ExportMarkdown(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
    // QB_BENCH_OUT names the folders' parent (to compare file systems).
    const char* parent = std::getenv("QB_BENCH_OUT");
    const std::string base = std::string(parent ? parent : "/tmp") + "/qb_bench_markdown_" +
                             std::to_string(getpid()) + "_" + std::to_string(state.range(0));
    std::error_code ec;
    std::string folder;
    for (auto _ : state) {
        state.PauseTiming();
        folder = base + "_" + std::to_string(WrittenFolders().size());
        WrittenFolders().push_back(folder);
        std::filesystem::create_directory(folder, ec);
        state.ResumeTiming();
        OpenDocument d;
        if (!d.doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        qb::ExportSettings settings;
        settings.options.range = qb::ExportRange::kHighlighted;
        qb::ExportRanges ranges;
        ranges.highlighted = d.First(size_t(state.range(0)));
        qb::ExportJob job(d.doc, d.locale, d.ui, settings);
        if (!qb::ExportArticles(job, folder, qb::ExportFormat::kMarkdown, false, ranges)
                 .Succeeded()) {
            state.SkipWithError("the export failed");
            return;
        }
    }
    uintmax_t bytes = 0, files = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        ++files;
        bytes += e.file_size(ec);
    }
    state.counters["notes"] = double(files);
    state.counters["output_bytes"] = double(bytes);
    qb::bench::ReportPeak(state);
}

BENCHMARK(BM_ReadAndInflate)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportMarkdown)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

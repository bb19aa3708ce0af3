// Opening a large data file through the document and building every
// summary, as the title list does for "all articles".
//
//   BM_DataFileReader: CDataFile + ReadArticleSummary for every article and
//                      ReadKeyword for every keyword (what the container
//                      benchmark's reader does), for comparison.
//   BM_Document:       CQuillboxDoc::OnOpenDocument + Summary for every
//                      visible article, built ahead by LoadSummaries as the
//                      title list does.
//
// The file: QB_BENCH_FILE when set (e.g. the container benchmark's cached
// file, to compare on the very same bytes), otherwise 100,000 new-format
// articles with compressed titles and ~2 KB compressed contents and 2,000
// keywords, generated once in a child process and cached in /tmp.
// peak_rss_kb is ru_maxrss; run one benchmark per process for separate peaks.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "datafile/data_file.h"
#include "datafile/records.h"
#include "document/quillbox_doc.h"
#include "document_bench_file.h"
#include "platform/icu_locale.h"
#include "writer/qbx_writer.h"

namespace {

using qb::bench::DocumentBenchFile;

void BM_DataFileReader(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
    qb::RecordDefaults defaults;
    for (auto _ : state) {
        qb::CDataFile file;
        file.Open(path, false);
        qb::IdSet articles, keywords;
        file.ListLiveRecords(articles);
        file.ListLiveRecords(qb::table::kKeywords, keywords);
        size_t produced = 0;
        for (int32_t id : articles)
            produced += qb::ReadArticleSummary(file, id, defaults).title.size();
        for (int32_t id : keywords)
            produced += qb::ReadKeyword(file, id).articles.Count();
        file.Close();
        benchmark::DoNotOptimize(produced);
    }
    qb::bench::ReportPeak(state);
}

void BM_Document(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
    qb::bench::SilentUi ui;
    qb::IcuLocale locale;
    size_t count = 0;
    for (auto _ : state) {
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        qb::CQuillboxDoc doc(s);
        if (!doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        qb::IdSet visible;
        doc.VisibleArticles(visible);
        doc.LoadSummaries(std::vector<int32_t>(visible.begin(), visible.end()));
        size_t produced = 0;
        for (int32_t id : visible)
            produced += doc.Summary(id).title.size();
        count = visible.Count();
        benchmark::DoNotOptimize(produced);
    }
    state.counters["articles"] = double(count);
    qb::bench::ReportPeak(state);
}

BENCHMARK(BM_DataFileReader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Document)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

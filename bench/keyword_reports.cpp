// The keyword cloud and usage reports of a file with 20,000 keywords and
// 100,000 articles (2 to 4 keywords each), built as the report window
// builds them (ReportWindowModel::Build: the report, then its rich text;
// the cloud through the HTML reader), against the floor every such report
// stands on: reading each keyword's article set from the file.
//
//   BM_CountBaseline: every keyword's article set read, nothing else.
//   BM_UsageReport:   the usage report of every keyword, sorted by count
//                     descending (the costlier order), shown.
//   BM_CloudReport:   the cloud of every keyword, shown.
//
// Target: each report under 1 s.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench_document.h"
#include "bench_support.h"
#include "datafile/id_set.h"
#include "document/quillbox_doc.h"
#include "export/report.h"
#include "export/report_setup.h"
#include "export/report_window.h"
#include "platform/icu_locale.h"
#include "writer/qbx_writer.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kKeywords = 20000;

void GenerateReportFile(const std::string& path) {
    std::mt19937 rng(20251209);
    qbw::FileBuilder fb;
    fb.SetVersion(300).SetGeometry(512, 128);
    std::vector<std::vector<int32_t>> keywordArticles(kKeywords);
    // A skewed choice, so that the counts (and the cloud's sizes) spread.
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int32_t id = 0; id < kArticles; ++id) {
        qbw::ArticleData a;
        a.createdDate = a.modifiedDate = a.articleDate = 20000101 + (id % 28);
        a.title = "Article " + std::to_string(id);
        a.richText = "{\\rtf1 x}";
        for (int k = 0, n = 2 + int(rng() % 3); k < n; ++k) {
            double x = u(rng);
            int32_t kid = int32_t(x * x * x * (kKeywords - 1));
            if (keywordArticles[kid].empty() || keywordArticles[kid].back() != id) {
                keywordArticles[kid].push_back(id);
                a.keywordIds.push_back(kid);
            }
        }
        fb.SetRecord(1, id, qbw::EncodeArticleNew(a));
    }
    for (int32_t k = 0; k < kKeywords; ++k)
        fb.SetRecord(0, k, qbw::EncodeKeyword("Keyword " + std::to_string(k), keywordArticles[k]));
    fb.WriteFile(path + ".tmp");
    std::rename((path + ".tmp").c_str(), path.c_str());
}

const std::string& ReportBenchFile() {
    static const std::string path = [] {
        std::string p = "/tmp/qb_bench_reports_a" + std::to_string(kArticles) + "_k" +
                        std::to_string(kKeywords) + ".qbx";
        qb::bench::GenerateOnce(p, {p}, [&] { GenerateReportFile(p); });
        return p;
    }();
    return path;
}

struct OpenDocument : qb::bench::BenchDocument {
    explicit OpenDocument(benchmark::State& state) {
        if (!doc.OnOpenDocument(ReportBenchFile())) state.SkipWithError("cannot open the file");
    }
};

void BM_CountBaseline(benchmark::State& state) {
    OpenDocument d(state);
    qb::IdSet all;
    d.doc.AllKeywords(all);
    int64_t total = 0;
    for (auto _ : state) {
        for (int32_t k : all) {
            qb::IdSet a;
            d.doc.ArticlesOfKeyword(k, a);
            total += int64_t(a.Count());
        }
    }
    benchmark::DoNotOptimize(total);
    state.counters["keywords"] = double(all.Count());
}

void BuildShown(benchmark::State& state, qb::ReportKind kind, qb::ReportParameters p) {
    OpenDocument d(state);
    qb::ReportDisplay display;
    size_t length = 0;
    for (auto _ : state) {
        qb::ReportWindowModel window(kind, p);
        if (!window.Build(d.doc, d.locale, display)) state.SkipWithError("cancelled");
        length = size_t(window.Control().TextLength());
    }
    state.counters["characters"] = double(length);
}

void BM_UsageReport(benchmark::State& state) {
    OpenDocument d(state);
    qb::ReportParameters p;
    for (const qb::ReportKeyword& k : qb::ReportKeywordChoices(d.doc, d.locale))
        p.keywords.push_back(k.id);
    p.sort = qb::UsageSort::kCountDescending;
    BuildShown(state, qb::ReportKind::kUsage, std::move(p));
}

void BM_CloudReport(benchmark::State& state) {
    BuildShown(state, qb::ReportKind::kCloud, qb::ReportParameters{});
}

}  // namespace

BENCHMARK(BM_CountBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UsageReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloudReport)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

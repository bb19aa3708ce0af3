// Opening a large data file through the document and building every
// summary, as the title list does for "all articles".
//
//   BM_DataFileReader: CDataFile + ReadArticleSummary for every article and
//                      ReadKeyword for every keyword (what the container
//                      benchmark's reader does), for comparison.
//   BM_Document:       CQuillboxDoc::OnOpenDocument + Summary for every
//                      visible article.
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
#include "platform/icu_locale.h"
#include "writer/qbx_writer.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kKeywords = 2000;
constexpr size_t kContentBytes = 2048;

std::string Prose(std::mt19937& rng, size_t bytes) {
    static const char* words[] = {
        "the",    "garden", "morning", "bird",  "was",    "seen",  "near",   "pond",  "and",
        "a",      "of",     "in",      "with",  "meadow", "oak",   "early",  "light", "rain",
        "hedge",  "nest",   "three",   "after", "moth",   "bee",   "beetle", "walk",  "river",
        "valley", "seeds",  "frost",   "green", "tall",   "small", "young",  "tree",  "notes"};
    std::uniform_int_distribution<size_t> pick(0, std::size(words) - 1);
    std::string out;
    while (out.size() < bytes) {
        out += words[pick(rng)];
        out += rng() % 9 == 0 ? ". " : " ";
    }
    out.resize(bytes);
    return out;
}

void Generate(const std::string& path) {
    std::mt19937 rng(20240615);
    qbw::FileBuilder fb;
    fb.SetVersion(300).SetGeometry(512, 128);
    std::vector<std::vector<int32_t>> keywordArticles(kKeywords);
    const std::string head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
    for (int32_t id = 0; id < kArticles; ++id) {
        qbw::ArticleData a;
        a.createdDate = a.modifiedDate = a.articleDate = 19900101 + (id % 28) + 100 * (id % 12);
        a.createdTime = a.modifiedTime = a.articleTime = id % 86400;
        a.title = Prose(rng, 20 + rng() % 40);
        a.richText = head + Prose(rng, kContentBytes - head.size() - 2) + "}";
        for (int k = 0, n = 2 + int(rng() % 3); k < n; ++k) {
            int32_t kid = int32_t(rng() % kKeywords);
            a.keywordIds.push_back(kid);
            if (keywordArticles[kid].empty() || keywordArticles[kid].back() != id)
                keywordArticles[kid].push_back(id);
        }
        fb.SetRecord(1, id, qbw::EncodeArticleNew(a));
    }
    for (int32_t k = 0; k < kKeywords; ++k)
        fb.SetRecord(0, k, qbw::EncodeKeyword("Keyword " + std::to_string(k), keywordArticles[k]));
    fb.WriteFile(path + ".tmp");
    std::rename((path + ".tmp").c_str(), path.c_str());
}

const std::string& Ensure() {
    static const std::string path = [] {
        if (const char* given = std::getenv("QB_BENCH_FILE")) return std::string(given);
        std::string p = "/tmp/qb_bench_document_a" + std::to_string(kArticles) + "_k" +
                        std::to_string(kKeywords) + "_c" + std::to_string(kContentBytes) + ".qbx";
        qb::bench::GenerateOnce(p, {p}, [&] { Generate(p); });
        return p;
    }();
    return path;
}

void BM_DataFileReader(benchmark::State& state) {
    const std::string& path = Ensure();
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
    const std::string& path = Ensure();
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

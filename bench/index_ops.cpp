// Index operations on a 100,000-article file with 2,000 keywords:
//   BM_AndOf1000 / BM_OrOf1000: selecting 1,000 keywords at once (keyword
//       records read, sets merged, the title list filled).
//   BM_Query50Operators: compiling and evaluating 50 AND/OR/NOT operators.
//   BM_RelatedAllTitles: the related-keyword Index list with every title listed.
//   BM_Fill/<order>/<n>: filling and sorting n titles in one of the four menu
//       orders (summaries and title keys already cached); the fitted
//       complexity is reported. Title orders should cost at most twice the
//       date orders.
//   BM_SortByTitleNewKeys: sorting all titles by title with the collation
//       keys made anew (the first sort after opening a file).
//   BM_SortByTitleCollatingEachComparison: the same sort collating the two
//       titles at every comparison, as the list did before it kept keys.
// The file is generated once, in a child process, and cached in /tmp under a name that carries
// its parameters.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "document/quillbox_doc.h"
#include "index/document_source.h"
#include "index/index_host.h"
#include "index/index_model.h"
#include "index/title_list.h"
#include "platform/icu_locale.h"
#include "writer/qbx_writer.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kKeywords = 2000;
constexpr int kFormat = 1;

std::string FilePath() {
    return "/tmp/qb_bench_index_a" + std::to_string(kArticles) + "_k" + std::to_string(kKeywords) +
           "_v" + std::to_string(kFormat) + ".qbx";
}

void Generate(const std::string& path) {
    std::mt19937 rng(4242);
    static const char* words[] = {"garden", "morning", "bird",  "pond",   "meadow", "oak",
                                  "light",  "rain",    "hedge", "nest",   "river",  "valley",
                                  "seeds",  "frost",   "green", "yellow", "moth",   "Bee"};
    qbw::FileBuilder fb;
    std::vector<std::vector<int32_t>> byKeyword(kKeywords);
    std::uniform_int_distribution<int32_t> kw(0, kKeywords - 1);
    for (int32_t id = 0; id < kArticles; ++id) {
        qbw::ArticleData a;
        a.level = 6;
        a.flags = 0x40;  // has-links known: summaries need not pass the content
        a.createdDate = a.modifiedDate = a.articleDate = 19900101 + int32_t(rng() % 30) * 10000 +
                                                         int32_t(rng() % 12) * 100 +
                                                         int32_t(rng() % 28);
        a.createdTime = a.modifiedTime = a.articleTime = int32_t(rng() % 86400);
        for (int w = 0, n = 2 + int(rng() % 5); w < n; ++w) {
            if (w) a.title += ' ';
            a.title += words[rng() % std::size(words)];
        }
        a.richText = "{\\rtf1 note}";
        for (int k = 0, n = 2 + int(rng() % 4); k < n; ++k) {
            int32_t kid = kw(rng);
            a.keywordIds.push_back(kid);
            if (byKeyword[size_t(kid)].empty() || byKeyword[size_t(kid)].back() != id)
                byKeyword[size_t(kid)].push_back(id);
        }
        if (rng() % 10 == 0) a.attachments.push_back({1, "C:\\notes\\file.txt"});
        fb.SetRecord(1, id, qbw::EncodeArticleNew(a));
    }
    for (int32_t k = 0; k < kKeywords; ++k)
        fb.SetRecord(0, k,
                     qbw::EncodeKeyword("Keyword " + std::to_string(k), byKeyword[size_t(k)]));
    std::vector<int32_t> bookmarks;
    for (int32_t id = 0; id < kArticles; id += 37)
        bookmarks.push_back(id);
    fb.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream(bookmarks));
    std::string tmp = path + ".tmp" + std::to_string(::getpid());
    fb.WriteFile(tmp);
    std::rename(tmp.c_str(), path.c_str());
}

struct Fixture {
    qb::bench::SilentUi ui;
    qb::IcuLocale locale{"en_US"};
    qb::CQuillboxDoc doc{Services()};
    qb::DocumentIndexSource source{doc};
    qb::IndexHost host;
    qb::QueryExpression query;
    std::unique_ptr<qb::IndexModel> model;

    qb::DocumentServices Services() {
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        return s;
    }
    Fixture() {
        std::string path = FilePath();
        qb::bench::GenerateOnce(path, {path}, [&] { Generate(path); });
        if (!doc.OnOpenDocument(path)) std::abort();
        model = std::make_unique<qb::IndexModel>(source, locale, ui, host, query);
        model->InitialUpdate();  // all titles: every summary is read once here
        qb::IdSet k;
        source.KeywordsOfArticle(0, k);  // builds the article-to-keywords table
    }
};

Fixture& F() {
    static Fixture f;
    return f;
}

qb::IdSet FirstKeywords(int n) {
    std::vector<int32_t> ids;
    for (int i = 0; i < n; ++i)
        ids.push_back(i * (kKeywords / n));
    return qb::IdSet::FromUnsorted(ids);
}

void Select(benchmark::State& state, int32_t mode) {
    Fixture& f = F();
    qb::IdSet keywords = FirstKeywords(1000);
    f.model->SetAndOrMode(mode);
    size_t rows = 0;
    for (auto _ : state) {
        f.model->AddToSelection(keywords);
        rows = f.model->Titles().RowCount();
        state.PauseTiming();
        f.model->ShowAllTitles();  // clears the selection
        state.ResumeTiming();
    }
    state.counters["titles"] = double(rows);
    f.model->SetAndOrMode(qb::kAndMode);
}

void BM_AndOf1000(benchmark::State& state) {
    Select(state, qb::kAndMode);
}
void BM_OrOf1000(benchmark::State& state) {
    Select(state, qb::kOrMode);
}
BENCHMARK(BM_AndOf1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrOf1000)->Unit(benchmark::kMillisecond);

void BM_Query50Operators(benchmark::State& state) {
    Fixture& f = F();
    // 25 OR, 13 AND and 12 NOT over 39 keywords, with parentheses.
    std::string text;
    int ops = 0, k = 0;
    for (int group = 0; group < 13; ++group) {
        if (group) text += " OR ", ++ops;
        std::string a = std::to_string(k++), b = std::to_string(k++);
        text += "(\"Keyword " + a + "\" OR \"Keyword " + b + "\") AND ";
        ops += 2;
        if (group < 12) text += "NOT ", ++ops;
        text += "\"Keyword " + std::to_string(k++) + "\"";
    }
    size_t rows = 0;
    for (auto _ : state) {
        f.query.Compile(text, f.source);
        rows = f.query.Evaluate(f.source).Count();
    }
    state.counters["operators"] = ops;
    state.counters["matches"] = double(rows);
}
BENCHMARK(BM_Query50Operators)->Unit(benchmark::kMillisecond);

void BM_RelatedAllTitles(benchmark::State& state) {
    Fixture& f = F();
    f.model->ShowAllTitles();
    for (auto _ : state) {
        f.model->SetIndexMode(1);
        benchmark::DoNotOptimize(f.model->IndexList().RowCount());
        state.PauseTiming();
        f.model->SetIndexMode(0);
        state.ResumeTiming();
    }
    state.counters["titles"] = double(f.model->Titles().RowCount());
}
BENCHMARK(BM_RelatedAllTitles)->Unit(benchmark::kMillisecond);

void BM_Fill(benchmark::State& state) {
    Fixture& f = F();
    const int32_t order = int32_t(state.range(0));
    const size_t n = size_t(state.range(1));
    f.doc.SetSortOrder(order);
    f.model->SortOrderChanged();  // the list takes the document's order
    qb::IdSet all;
    f.doc.VisibleArticles(all);
    std::vector<int32_t> ids(all.begin(), all.begin() + long(std::min(n, all.Count())));
    qb::IdSet members = qb::IdSet::FromUnsorted(ids);
    for (auto _ : state) {
        f.model->Titles().Fill(members);
        benchmark::DoNotOptimize(f.model->Titles().Rows().data());
    }
    state.SetComplexityN(int64_t(n));
}
const char* const kOrderNames[] = {"TitlesAscending", "TitlesDescending", "DatesAscending",
                                   "DatesDescending"};
int RegisterFills() {
    for (int64_t order = 0; order < 4; ++order)
        benchmark::RegisterBenchmark((std::string("BM_Fill/") + kOrderNames[order]).c_str(),
                                     BM_Fill)
            ->ArgsProduct({{order}, {12500, 25000, 50000, 100000}})
            ->Unit(benchmark::kMillisecond)
            ->Complexity(benchmark::oNLogN);
    return 0;
}
const int kFillsRegistered = RegisterFills();

std::vector<int32_t> AllIds() {
    qb::IdSet all;
    F().doc.VisibleArticles(all);
    return std::vector<int32_t>(all.begin(), all.end());
}

void BM_SortByTitleNewKeys(benchmark::State& state) {
    Fixture& f = F();
    const std::vector<int32_t> all = AllIds();
    // Keys belong to the locale they were made for: another locale object
    // makes the document build them again.
    qb::IcuLocale one("en_US"), other("en_US");
    const qb::IcuLocale* locales[2] = {&one, &other};
    int turn = 0;
    for (auto _ : state) {
        std::vector<int32_t> ids = all;
        qb::SortTitles(ids, f.source, *locales[turn ^= 1], qb::title_order::kTitlesAscending);
        benchmark::DoNotOptimize(ids.data());
    }
    state.counters["titles"] = double(all.size());
}
BENCHMARK(BM_SortByTitleNewKeys)->Unit(benchmark::kMillisecond);

void BM_SortByTitleCollatingEachComparison(benchmark::State& state) {
    Fixture& f = F();
    const std::vector<int32_t> all = AllIds();
    for (auto _ : state) {
        struct Row {
            std::u16string title;
            int32_t date, time, id;
        };
        std::vector<Row> rows;
        rows.reserve(all.size());
        for (int32_t id : all) {
            const qb::ArticleSummary& s = f.doc.Summary(id);
            rows.push_back(
                {f.doc.TextCodePage().ToUtf16(s.title), s.articleDate, s.articleTime, id});
        }
        std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
            int c = f.locale.Compare(a.title, b.title);
            if (c) return c < 0;
            if (a.date != b.date) return a.date < b.date;
            return a.time < b.time;
        });
        benchmark::DoNotOptimize(rows.data());
    }
    state.counters["titles"] = double(all.size());
}
BENCHMARK(BM_SortByTitleCollatingEachComparison)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

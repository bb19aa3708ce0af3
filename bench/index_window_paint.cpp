// The index window on 100,000 articles, offscreen (QT_QPA_PLATFORM is set
// to "offscreen" unless given):
//
//   BM_OpenToPaintedWindow:  open the file through the document into a new
//                            index window (every summary read, all titles
//                            sorted) and paint the whole window.
//   BM_WindowAfterSummaries: the summaries already built: a new index
//                            window filled and painted.
//   BM_ScrollPage:           the title list scrolled by one page and its
//                            rows painted.
//
// The file is the document benchmark's (same generator, same cache in /tmp;
// QB_BENCH_FILE overrides it).
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "index/index_lists.h"
#include "index/index_view.h"
#include "platform/icu_locale.h"
#include "platform/ui.h"
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
        if (access(p.c_str(), R_OK) != 0) {
            std::fprintf(stderr, "generating %s ...\n", p.c_str());
            pid_t child = fork();
            if (child == 0) {
                try {
                    Generate(p);
                    _exit(0);
                } catch (const std::exception& e) {
                    std::fprintf(stderr, "generation failed: %s\n", e.what());
                    _exit(1);
                }
            }
            int status = 0;
            if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
                WEXITSTATUS(status) != 0)
                throw std::runtime_error("could not generate the benchmark file");
        }
        return p;
    }();
    return path;
}

class SilentUi : public qb::Ui {
public:
    qb::MessageResult MessageBox(const std::string& text, qb::MessageIcon,
                                 qb::MessageButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return qb::MessageResult::Ok;
    }
    bool AskPassword(const std::string&, const std::function<bool(const std::string&)>&) override {
        return false;
    }
};

// Everything a window needs, shared by the benchmarks.
struct Bench {
    SilentUi ui;
    qb::IcuLocale locale;
    qb::ProfileStore store;
    qb::Settings settings;
    QMainWindow main;
    QMdiArea* mdi;

    Bench() {
        settings.Load(store);
        main.resize(1280, 900);
        mdi = new QMdiArea(&main);
        main.setCentralWidget(mdi);
        main.show();
    }
    std::unique_ptr<qb::CQuillboxDoc> NewDoc() {
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        s.settings = &settings;
        s.store = &store;
        return std::make_unique<qb::CQuillboxDoc>(s);
    }
    qb::CIndexFrame* NewFrame(qb::CQuillboxDoc& doc) {
        qb::IndexServices s;
        s.doc = &doc;
        s.settings = &settings;
        s.store = &store;
        s.ui = &ui;
        s.locale = &locale;
        s.exec = [](QDialog&) { return 0; };
        qb::CIndexFrame* frame = qb::CreateIndexFrame(s, *mdi);
        frame->showMaximized();
        return frame;
    }
    // Paints the whole window now, as the screen would show it.
    static void Paint(qb::CIndexFrame* frame) {
        QApplication::processEvents();
        frame->repaint();
    }
};

Bench& TheBench() {
    static Bench b;
    return b;
}

void BM_OpenToPaintedWindow(benchmark::State& state) {
    const std::string& path = Ensure();
    Bench& b = TheBench();
    size_t rows = 0;
    for (auto _ : state) {
        auto doc = b.NewDoc();
        qb::CIndexFrame* frame = b.NewFrame(*doc);
        if (!doc->OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        Bench::Paint(frame);
        rows = frame->View()->Model().Titles().RowCount();
        state.PauseTiming();
        delete frame;
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows);
}

void BM_WindowAfterSummaries(benchmark::State& state) {
    const std::string& path = Ensure();
    Bench& b = TheBench();
    auto doc = b.NewDoc();
    if (!doc->OnOpenDocument(path)) {
        state.SkipWithError("the document did not open");
        return;
    }
    qb::IdSet visible;
    doc->VisibleArticles(visible);
    for (int32_t id : visible)
        benchmark::DoNotOptimize(doc->Summary(id).title.size());
    for (auto _ : state) {
        qb::CIndexFrame* frame = b.NewFrame(*doc);
        frame->View()->Dispatch(qb::dispatch::kInitialUpdate, 0, 0);
        Bench::Paint(frame);
        state.PauseTiming();
        delete frame;
        state.ResumeTiming();
    }
}

void BM_ScrollPage(benchmark::State& state) {
    const std::string& path = Ensure();
    Bench& b = TheBench();
    auto doc = b.NewDoc();
    qb::CIndexFrame* frame = b.NewFrame(*doc);
    if (!doc->OnOpenDocument(path)) {
        state.SkipWithError("the document did not open");
        return;
    }
    Bench::Paint(frame);
    qb::CIndexTitleList* list = frame->View()->TitleList();
    QScrollBar* bar = list->verticalScrollBar();
    int64_t pages = 0;
    for (auto _ : state) {
        int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        list->viewport()->repaint();
        ++pages;
    }
    state.counters["rows_per_page"] =
        double(list->viewport()->height()) / double(std::max(1, list->Style().rowHeight));
    state.counters["rows"] = double(list->model()->rowCount());
    delete frame;
}

BENCHMARK(BM_OpenToPaintedWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WindowAfterSummaries)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

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
//   BM_CommandLineToWindow:  `quillbox-reader --screenshot OUT.png FILE` in
//                            a process of its own, from the exec until the
//                            picture of the painted window is written: an
//                            upper bound of what a user waits for (it adds
//                            the grab and the PNG).
//
// The file is the document benchmark's (same generator, same cache in /tmp;
// QB_BENCH_FILE overrides it).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "gui/index/index_frame.h"
#include "gui/index/index_lists.h"
#include "gui/index/index_view.h"
#include "platform/icu_locale.h"
#include "platform/ui.h"
#include "writer/qbx_writer.h"

#include "bench_support.h"
#include "document_bench_file.h"

namespace {

using qb::bench::DocumentBenchFile;
using qb::bench::SilentUi;

// Everything a window needs, shared by the benchmarks.
struct Bench {
    SilentUi ui;
    qb::IcuLocale locale;
    qb::ProfileStore store;
    qb::Settings settings;
    qb::QueryExpression query;  // the current query of every window made here
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
        s.query = &query;
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

// Made in main after the QApplication and destroyed before it: widgets
// must not outlive the application (a function-static would be destroyed
// by the exit handlers, after it).
Bench* theBench = nullptr;

Bench& TheBench() {
    return *theBench;
}

void BM_OpenToPaintedWindow(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
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
    qb::bench::ReportPeak(state);
}

void BM_WindowAfterSummaries(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
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
        frame->View()->OnFileLoaded();
        Bench::Paint(frame);
        state.PauseTiming();
        delete frame;
        state.ResumeTiming();
    }
}

void BM_ScrollPage(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
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

// The reader beside this program, in the same build.
std::string ReaderProgram() {
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / "quillbox-reader").string();
}

void BM_CommandLineToWindow(benchmark::State& state) {
    const std::string& path = DocumentBenchFile();
    const std::string reader = ReaderProgram();
    if (::access(reader.c_str(), X_OK) != 0) {
        state.SkipWithError("quillbox-reader is not built beside the benchmark");
        return;
    }
    // A home of its own, so that the run reads no settings and leaves none.
    const std::string home = "/tmp/qb_bench_home_" + std::to_string(getpid());
    const std::string shot = home + "/window.png";
    std::filesystem::create_directories(home);
    for (auto _ : state) {
        std::filesystem::remove(shot);
        int watch = ::inotify_init1(IN_CLOEXEC);
        if (watch < 0 || ::inotify_add_watch(watch, home.c_str(), IN_CLOSE_WRITE) < 0) {
            state.SkipWithError("inotify is not available");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        pid_t child = ::fork();
        if (child == 0) {
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, 2);
            ::execl(reader.c_str(), reader.c_str(), "--screenshot", shot.c_str(), path.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        // The picture is written once, when the window has been painted.
        bool written = false;
        alignas(inotify_event) char events[4096];
        while (!written) {
            ssize_t n = ::read(watch, events, sizeof events);
            if (n <= 0) break;
            for (char* e = events; e < events + n;) {
                auto* ev = reinterpret_cast<inotify_event*>(e);
                if (ev->len && std::string(ev->name) == "window.png") written = true;
                e += sizeof(inotify_event) + ev->len;
            }
        }
        const auto painted = std::chrono::steady_clock::now();
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(watch);
        if (!written || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the reader did not write its picture");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(painted - start).count());
    }
    std::filesystem::remove_all(home);
}

BENCHMARK(BM_CommandLineToWindow)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_OpenToPaintedWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_WindowAfterSummaries)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    {
        Bench bench;
        theBench = &bench;
        benchmark::RunSpecifiedBenchmarks();
        theBench = nullptr;
    }
    benchmark::Shutdown();
    return 0;
}

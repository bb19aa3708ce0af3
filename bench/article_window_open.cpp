// An article window over one 1 MB rich-text article, offscreen
// (QT_QPA_PLATFORM is set to "offscreen" unless given):
//
//   BM_OpenArticleWindow: a new article window (the article read, its RTF
//                         turned into the content, the layout) shown and
//                         painted.
//   BM_PlainTextBaseline: the same words as plain text in a bare QTextEdit,
//                         shown and painted: what any window of that text costs.
//   BM_RichTextBaseline:  the same RTF read and bridged into a bare QTextEdit,
//                         shown and painted: the part the window builds on.
//
// The file is generated once into /tmp (QB_BENCH_ARTICLE_FILE overrides it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "app/profile_store.h"
#include "app/settings.h"
#include "bench_support.h"
#include "document/quillbox_doc.h"
#include "gui/article/article_content.h"
#include "gui/article/article_frame.h"
#include "gui/richtext/rich_text_document.h"
#include "platform/icu_locale.h"
#include "platform/launcher.h"
#include "richtext/article_content.h"
#include "writer/qbx_writer.h"

namespace {

constexpr size_t kArticleBytes = 1 << 20;

// Paragraphs of ordinary prose with some bold, italic and colour: the words
// alone for the baseline, the RTF for the article.
struct ArticleText {
    std::string plain;
    std::string rtf;
};

const ArticleText& TheText() {
    static const ArticleText text = [] {
        ArticleText t;
        t.rtf =
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
            "{\\colortbl;\\red200\\green0\\blue0;}\\f0\\fs20 ";
        const char* words[] = {"The",  "swallows", "came", "back", "over", "the", "meadow", "early",
                               "this", "year,",    "and",  "the",  "pond", "was", "full."};
        size_t n = 0;
        while (t.rtf.size() < kArticleBytes) {
            for (int sentence = 0; sentence < 6; ++sentence) {
                for (const char* w : words) {
                    bool marked = (++n % 11) == 0;
                    if (marked) t.rtf += (n % 2) ? "{\\b " : "{\\i\\cf1 ";
                    t.rtf += w;
                    if (marked) t.rtf += "}";
                    t.rtf += " ";
                    t.plain += w;
                    t.plain += " ";
                }
            }
            t.rtf += "\\par\n";
            t.plain += "\n";
        }
        t.rtf += "}";
        return t;
    }();
    return text;
}

const std::string& ArticleFile() {
    static const std::string path = [] {
        const char* given = std::getenv("QB_BENCH_ARTICLE_FILE");
        std::string p = given ? given : "/tmp/qb_bench_article_1mb.qbx";
        qb::bench::GenerateOnce("a 1 MB rich-text article", {p}, [&] {
            qbw::ArticleData a;
            a.title = "One long article";
            a.richText = TheText().rtf;
            a.articleDate = 20240101;
            qbw::FileBuilder b;
            b.SetRecord(1, 0, qbw::EncodeArticleNew(a));
            b.SetRecord(0, 0, qbw::EncodeKeyword("Long", {0}));
            std::string tmp = p + ".part";
            b.WriteFile(tmp);
            if (std::rename(tmp.c_str(), p.c_str()) != 0) throw std::runtime_error("rename");
        });
        return p;
    }();
    return path;
}

// Nothing is opened while measuring; a launch would be a fault of the bench.
class NoLauncher : public qb::Launcher {
public:
    qb::LaunchResult OpenUrl(const std::string&) override { return qb::LaunchResult::Failed; }
    qb::LaunchResult OpenPath(const std::string&) override { return qb::LaunchResult::Failed; }
    qb::LaunchResult StartProgram(const std::string&, const std::vector<std::string>&) override {
        return qb::LaunchResult::Failed;
    }
};

struct Bench {
    qb::bench::SilentUi ui;
    qb::IcuLocale locale;
    qb::ProfileStore store;
    qb::Settings settings;
    NoLauncher launcher;
    qb::SystemSteadyClock clock;
    QMainWindow main;
    QMdiArea* mdi;
    std::unique_ptr<qb::CQuillboxDoc> doc;

    Bench() {
        settings.Load(store);
        main.resize(1280, 900);
        mdi = new QMdiArea(&main);
        main.setCentralWidget(mdi);
        main.show();
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        s.settings = &settings;
        s.store = &store;
        doc = std::make_unique<qb::CQuillboxDoc>(s);
        if (!doc->OnOpenDocument(ArticleFile())) throw std::runtime_error("the file did not open");
    }
    qb::ArticleServices Services() {
        qb::ArticleServices s;
        s.doc = doc.get();
        s.settings = &settings;
        s.locale = &locale;
        s.ui = &ui;
        s.launcher = &launcher;
        s.clock = &clock;
        s.mainWindow = &main;
        s.keywordPaneWidth = [] { return 100; };
        return s;
    }
    // Shown at 900 x 700 and painted now, as the screen would show it.
    void ShowAndPaint(QWidget* window) {
        window->resize(900, 700);
        window->show();
        QApplication::processEvents();
        window->repaint();
    }
};

// Made on first use and destroyed by main while the QApplication still exists.
std::unique_ptr<Bench> theBench;
Bench& TheBench() {
    if (!theBench) theBench = std::make_unique<Bench>();
    return *theBench;
}

void BM_OpenArticleWindow(benchmark::State& state) {
    Bench& b = TheBench();
    size_t characters = 0;
    for (auto _ : state) {
        auto* frame = new qb::CArticleFrame(b.Services(), 0, {});
        b.mdi->addSubWindow(frame);
        b.ShowAndPaint(frame);
        characters = size_t(frame->View()->Content()->document()->characterCount());
        state.PauseTiming();
        delete frame;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["characters"] = double(characters);
    state.counters["rtf_bytes"] = double(TheText().rtf.size());
}

void BM_PlainTextBaseline(benchmark::State& state) {
    Bench& b = TheBench();
    const QString text = QString::fromStdString(TheText().plain);
    for (auto _ : state) {
        auto* sub = new QMdiSubWindow;
        auto* edit = new QTextEdit;
        edit->setReadOnly(true);
        edit->setPlainText(text);
        sub->setWidget(edit);
        b.mdi->addSubWindow(sub);
        b.ShowAndPaint(sub);
        state.PauseTiming();
        delete sub;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["characters"] = double(text.size());
}

void BM_RichTextBaseline(benchmark::State& state) {
    Bench& b = TheBench();
    for (auto _ : state) {
        qb::RichTextControl control;
        qb::LoadArticleContent(control, true, TheText().rtf);
        auto* sub = new QMdiSubWindow;
        auto* edit = new QTextEdit;
        edit->setReadOnly(true);
        qb::gui::FillDocument(*edit->document(), control);
        sub->setWidget(edit);
        b.mdi->addSubWindow(sub);
        b.ShowAndPaint(sub);
        state.PauseTiming();
        delete sub;
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_OpenArticleWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainTextBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RichTextBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    theBench.reset();
    benchmark::Shutdown();
    return 0;
}

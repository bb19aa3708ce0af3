// Copy Articles over 10,000 articles of ~2 KB rich text, with keywords and
// attachments, into a recording clipboard.
//
//   BM_ReadArticles: CQuillboxDoc::ReadArticle of the same articles and
//                    nothing built: the floor a copy cannot go below.
//   BM_CopyArticles: CopyArticles, text and RTF built and placed.
//
// The target is under 2 s for BM_CopyArticles. The file is generated once
// in a child process and cached in /tmp.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "article/clipboard_copy.h"
#include "article/copy_articles.h"
#include "bench_support.h"
#include "document/quillbox_doc.h"
#include "document_bench_file.h"
#include "platform/icu_locale.h"
#include "writer/qbx_writer.h"

namespace {

constexpr int kCopied = 10000;

// Keeps what it is given, as a desktop clipboard would.
struct KeepingClipboard : qb::Clipboard {
    std::vector<qb::ClipboardFormat> content;
    qb::ClipboardResult Place(const std::vector<qb::ClipboardFormat>& formats) override {
        content = formats;
        return qb::ClipboardResult::kPlaced;
    }
};

void Generate(const std::string& path) {
    std::mt19937 rng(20261209);
    qbw::FileBuilder fb;
    const std::string head =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 ";
    for (int32_t id = 0; id < kCopied; ++id) {
        qbw::ArticleData a;
        a.articleDate = 20000101 + (id % 28) + 100 * (id % 12);
        a.title = qb::bench::Prose(rng, 20 + rng() % 40);
        a.richText = head + qb::bench::Prose(rng, 900) + "\\par\\b\\cf1 " +
                     qb::bench::Prose(rng, 200) + "\\b0\\cf0\\f1 " + qb::bench::Prose(rng, 900) +
                     "\\par}";
        for (int k = 0; k < 3; ++k)
            a.keywordIds.push_back(int32_t(rng() % 200));
        a.attachments = {{1, "C:\\Notes\\file" + std::to_string(id) + ".txt", -1, 0},
                         {2, "http://example.org/" + std::to_string(id), -1, 0}};
        fb.SetRecord(1, id, qbw::EncodeArticleNew(a));
    }
    for (int32_t k = 0; k < 200; ++k)
        fb.SetRecord(0, k, qbw::EncodeKeyword("Keyword " + std::to_string(k), {}));
    fb.WriteFile(path + ".tmp");
    std::rename((path + ".tmp").c_str(), path.c_str());
}

const std::string& File() {
    static const std::string path = [] {
        std::string p = "/tmp/qb_bench_copy_a" + std::to_string(kCopied) + ".qbx";
        qb::bench::GenerateOnce(p, {p}, [&] { Generate(p); });
        return p;
    }();
    return path;
}

struct Open {
    qb::bench::SilentUi ui;
    qb::IcuLocale locale;
    qb::CQuillboxDoc doc{Services()};
    std::vector<int32_t> ids;
    qb::DocumentServices Services() {
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        return s;
    }
    bool Load() {
        if (!doc.OnOpenDocument(File())) return false;
        ids = doc.AllArticles().Ids();
        return int(ids.size()) == kCopied;
    }
};

void BM_ReadArticles(benchmark::State& state) {
    Open o;
    if (!o.Load()) return state.SkipWithError("the file did not open");
    for (auto _ : state) {
        size_t produced = 0;
        for (int32_t id : o.ids) {
            qb::CArticle a;
            o.doc.ReadArticle(id, a);
            produced += a.Content().size();
        }
        benchmark::DoNotOptimize(produced);
    }
    state.counters["articles"] = double(o.ids.size());
    qb::bench::ReportPeak(state);
}

void BM_CopyArticles(benchmark::State& state) {
    Open o;
    if (!o.Load()) return state.SkipWithError("the file did not open");
    qb::TargetContext context = qb::MakeTargetContext(o.doc, nullptr);
    size_t bytes = 0;
    for (auto _ : state) {
        KeepingClipboard clipboard;
        qb::ClipboardWriter writer(clipboard, o.ui);
        if (!qb::CopyArticles(o.doc, o.ids, o.locale, context, o.ui, writer))
            return state.SkipWithError("the copy failed");
        bytes = 0;
        for (const qb::ClipboardFormat& f : clipboard.content)
            bytes += f.data.size();
    }
    state.counters["articles"] = double(o.ids.size());
    state.counters["copied_bytes"] = double(bytes);
    qb::bench::ReportPeak(state);
}

}  // namespace

BENCHMARK(BM_ReadArticles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyArticles)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

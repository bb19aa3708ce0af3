// Converting the 20 MB rich-text article to HTML, against loading the same
// RTF into the control (which the conversion includes). Rates are of RTF
// input. The output goes to /dev/null and, once more, to a real file.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "datafile/articles.h"
#include "export/html_writer.h"
#include "richtext/rich_text.h"
#include "richtext_document.h"

namespace {

using qb::bench::Document;

void BM_LoadRtfBaseline(benchmark::State& state) {
    const std::string& doc = Document();
    for (auto _ : state) {
        qb::RichTextControl rt;
        rt.StreamInRtf(doc);
        benchmark::DoNotOptimize(rt.TextLength());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
}
BENCHMARK(BM_LoadRtfBaseline)->Unit(benchmark::kMillisecond);

void Convert(benchmark::State& state, const std::string& path) {
    qb::CArticle article;
    article.level = 6;
    article.richText = Document();
    off_t written = 0;
    for (auto _ : state) {
        qb::HtmlWriter w{qb::HtmlSettings{}};
        w.Open(path);
        w.WriteArticleContent(article, {}, nullptr);
        w.Close();
    }
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) written = st.st_size;
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(article.richText.size()));
    if (written > 0) state.counters["html_mb"] = double(written) / 1e6;
}

void BM_RtfToHtml(benchmark::State& state) {
    Convert(state, "/dev/null");
}
BENCHMARK(BM_RtfToHtml)->Unit(benchmark::kMillisecond);

void BM_RtfToHtmlFile(benchmark::State& state) {
    std::string path = "/tmp/qb_bench_html_convert.htm";
    Convert(state, path);
    ::unlink(path.c_str());
}
BENCHMARK(BM_RtfToHtmlFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

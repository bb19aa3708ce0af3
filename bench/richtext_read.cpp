// Reading a 20 MB article of rich-edit style RTF, and streaming it out as
// text and as RTF. For comparison, unrtf --text on the same file (when
// installed), launched with an argument vector.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "richtext/rich_text.h"
#include "richtext_document.h"

extern char** environ;

namespace {

using qb::bench::Document;

void BM_ReadRtf(benchmark::State& state) {
    const std::string& doc = Document();
    for (auto _ : state) {
        qb::RichTextControl rt;
        rt.StreamInRtf(doc);
        benchmark::DoNotOptimize(rt.TextLength());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(doc.size()));
}
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);

void BM_StreamOutText(benchmark::State& state) {
    qb::RichTextControl rt;
    rt.StreamInRtf(Document());
    for (auto _ : state)
        benchmark::DoNotOptimize(rt.StreamOutText(qb::TextEncoding::kWindows1252));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(rt.TextLength()));
}
BENCHMARK(BM_StreamOutText)->Unit(benchmark::kMillisecond);

void BM_StreamOutRtf(benchmark::State& state) {
    qb::RichTextControl rt;
    rt.StreamInRtf(Document());
    std::size_t size = 0;
    for (auto _ : state) {
        std::string out = rt.StreamOutRtf();
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}
BENCHMARK(BM_StreamOutRtf)->Unit(benchmark::kMillisecond);

// Wall time of `unrtf --text FILE > /dev/null`, for the comparison.
void BM_UnrtfText(benchmark::State& state) {
    const char* path = "/tmp/qb_bench_richtext.rtf";
    {
        std::FILE* f = std::fopen(path, "wb");
        if (!f) {
            state.SkipWithError("cannot write the temporary file");
            return;
        }
        std::fwrite(Document().data(), 1, Document().size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        char arg0[] = "unrtf", arg1[] = "--text";
        char* argv[] = {arg0, arg1, const_cast<char*>(path), nullptr};
        pid_t pid;
        int rc = posix_spawnp(&pid, "unrtf", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            state.SkipWithError("unrtf is not installed");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Document().size()));
    std::remove(path);
}
BENCHMARK(BM_UnrtfText)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

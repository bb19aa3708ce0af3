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

extern char** environ;

namespace {

// Deterministic: a fixed linear congruential sequence picks the words and
// the formatting, so every run reads the same bytes.
const std::string& Document() {
    static const std::string doc = [] {
        std::string s =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
            "Arial;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\froman\\fprq2\\fcharset0 Times New "
            "Roman;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
            "{\\*\\generator Msftedit 5.41.15.1503;}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
        const char* words[] = {"garden", "rose",  "caf\\'e9",    "tulip",  "water", "na\\'efve",
                               "seed",   "north", "\\u8364?",    "meadow", "oak",   "fern",
                               "moss",   "brook", "\\ldblquote", "lichen", "path",  "stone"};
        uint32_t x = 12345;
        auto next = [&] { return x = x * 1103515245u + 12345u, (x >> 16) & 0x7fff; };
        std::size_t para = 0;
        while (s.size() < 20u * 1000 * 1000) {
            uint32_t kind = next() % 10;
            if (kind == 0)
                s += "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb"
                     "\\'B7}}\\fi-360\\li720 ";
            else if (kind == 1)
                s += "\\pard\\qc ";
            else if (kind == 2)
                s += "\\pard\\tx720\\tx1440 ";
            int n = 8 + int(next() % 40);
            for (int w = 0; w < n; ++w) {
                uint32_t f = next() % 24;
                const char* word = words[next() % (sizeof words / sizeof *words)];
                if (f == 0)
                    s += std::string("\\b ") + word + "\\b0 ";
                else if (f == 1)
                    s += std::string("\\i ") + word + "\\i0 ";
                else if (f == 2)
                    s += std::string("\\cf1 ") + word + "\\cf0 ";
                else if (f == 3)
                    s += std::string("{\\f2\\fs24 ") + word + "}";
                else
                    s += word;
                s += f == 4 ? "\\tab " : " ";
            }
            s += "\\par\r\n";
            if (++para % 7 == 0) s += "\\pard ";
        }
        s += "}\r\n";
        return s;
    }();
    return doc;
}

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

// What the benchmarks share: generating their large input files once, out of
// the measuring process, and reporting the process's peak memory.
#pragma once

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "platform/ui.h"

namespace qb::bench {

// Runs `generate` unless every one of `outputs` is already readable. It runs
// in a child process so that building a 100,000-article image does not count
// towards this process's peak memory; generators write to a temporary name
// and rename, so an interrupted run never leaves a half file in the cache.
inline void GenerateOnce(const std::string& label, std::initializer_list<std::string> outputs,
                         const std::function<void()>& generate) {
    bool cached = true;
    for (const std::string& p : outputs)
        cached = cached && access(p.c_str(), R_OK) == 0;
    if (cached) return;
    std::fprintf(stderr, "generating %s ...\n", label.c_str());
    const pid_t child = fork();
    if (child == 0) {
        try {
            generate();
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

// ru_maxrss after the run; run one benchmark per process (--benchmark_filter)
// for separate peaks.
inline void ReportPeak(benchmark::State& state) {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    state.counters["peak_rss_kb"] = static_cast<double>(u.ru_maxrss);
}

// Answers every message with OK (echoing it, as a benchmark that meets one is
// measuring the wrong thing) and declines every password prompt.
class SilentUi : public Ui {
public:
    MessageResult MessageBox(const std::string& text, MessageIcon, MessageButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return MessageResult::Ok;
    }
    bool AskPassword(const std::string&, const std::function<bool(const std::string&)>&) override {
        return false;
    }
};

}  // namespace qb::bench

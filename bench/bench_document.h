// A document opened the way the reader opens one, with a silent Ui and the
// ICU locale: what the export, report and print benchmarks start from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bench_support.h"
#include "datafile/id_set.h"
#include "document/quillbox_doc.h"
#include "platform/icu_locale.h"

namespace qb::bench {

struct BenchDocument {
    SilentUi ui;
    IcuLocale locale;
    CQuillboxDoc doc{Services()};

    DocumentServices Services() {
        DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        return s;
    }
    // The first `n` visible articles in id order.
    std::vector<int32_t> First(size_t n) {
        IdSet visible;
        doc.VisibleArticles(visible);
        std::vector<int32_t> ids(visible.begin(), visible.end());
        if (ids.size() > n) ids.resize(n);
        return ids;
    }
};

// Opens `path` and reads the first `count` articles with their content,
// each iteration afresh: the read-and-inflate baseline of the exports.
inline void ReadAndInflate(benchmark::State& state, const std::string& path, size_t count) {
    size_t bytes = 0;
    for (auto _ : state) {
        BenchDocument d;
        if (!d.doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        bytes = 0;
        CArticle a;
        for (int32_t id : d.First(count)) {
            d.doc.ReadArticle(id, a);
            bytes += a.title.size() + a.Content().size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["content_bytes"] = double(bytes);
    ReportPeak(state);
}

}  // namespace qb::bench

// A document opened the way the reader opens one, with a silent Ui and the
// ICU locale: what the export, report and print benchmarks start from.
#pragma once

#include <cstdint>
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

}  // namespace qb::bench

// The 100,000-article file the document and index-window benchmarks open:
// generated once (out of the measuring process) and cached in /tmp, or the
// file named by QB_BENCH_FILE.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "writer/qbx_writer.h"

namespace qb::bench {

constexpr int kArticles = 100000;
constexpr int kKeywords = 2000;
constexpr size_t kContentBytes = 2048;

inline std::string Prose(std::mt19937& rng, size_t bytes) {
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

inline void GenerateDocumentFile(const std::string& path) {
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

inline const std::string& DocumentBenchFile() {
    static const std::string path = [] {
        if (const char* given = std::getenv("QB_BENCH_FILE")) return std::string(given);
        std::string p = "/tmp/qb_bench_document_a" + std::to_string(kArticles) + "_k" +
                        std::to_string(kKeywords) + "_c" + std::to_string(kContentBytes) + ".qbx";
        GenerateOnce(p, {p}, [&] { GenerateDocumentFile(p); });
        return p;
    }();
    return path;
}

}  // namespace qb::bench

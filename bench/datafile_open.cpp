// Opening a large data file: 100,000 new-format articles with compressed
// titles and ~2 KB compressed contents, 2,000 keywords.
//
//   BM_Baseline: read the same bytes with pread and inflate the same blobs
//                with zlib directly (their places come from the writer).
//   BM_Reader:   CDataFile + ReadArticleSummary for every article and
//                ReadKeyword for every keyword, as opening a file does.
//   BM_Document: the document's open and every summary, as the title list
//                builds them (LoadSummaries on the default threads), then
//                each keyword's articles; /1 on one thread only.
//
// The file is generated once, in a child process so that its memory does
// not count towards this process's peak, and cached in /tmp under a name
// that carries its parameters. peak_rss_kb is ru_maxrss after the run; run
// one benchmark per process (--benchmark_filter) for separate peaks.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "datafile/data_file.h"
#include "datafile/records.h"
#include "document/quillbox_doc.h"
#include "platform/icu_locale.h"
#include "writer/qbx_writer.h"

namespace {

constexpr int kArticles = 100000;
constexpr int kKeywords = 2000;
constexpr size_t kContentBytes = 2048;
constexpr int kFormat = 1;  // bump when the generated layout changes

struct Segment {
    int64_t offset;
    int32_t length;
};
struct Piece {
    int32_t size;        // uncompressed size; -1 for raw id arrays
    int32_t stored = 0;  // stored bytes
    std::vector<Segment> segments;
};

std::string BasePath() {
    return "/tmp/qb_bench_open_a" + std::to_string(kArticles) + "_k" + std::to_string(kKeywords) +
           "_c" + std::to_string(kContentBytes) + "_v" + std::to_string(kFormat);
}

// Plausible notebook prose: compresses about as well as real notes do.
std::string Prose(std::mt19937& rng, size_t bytes) {
    static const char* words[] = {
        "the",     "garden", "morning", "bird",    "was",     "seen",    "near",     "pond",
        "and",     "a",      "of",      "in",      "with",    "flowers", "meadow",   "oak",
        "singing", "early",  "light",   "rain",    "wind",    "under",   "hedge",    "nest",
        "eggs",    "three",  "after",   "before",  "summer",  "winter",  "autumn",   "spring",
        "moth",    "bee",    "beetle",  "walk",    "path",    "along",   "river",    "valley",
        "seeds",   "sown",   "planted", "compost", "warm",    "cold",    "frost",    "green",
        "yellow",  "blue",   "tall",    "small",   "quietly", "busy",    "flying",   "feeding",
        "young",   "old",    "tree",    "leaves",  "bark",    "fungi",   "notes",    "counted",
        "dozen",   "pair",   "single",  "first",   "last",    "evening", "overhead", "roost"};
    std::uniform_int_distribution<size_t> pick(0, std::size(words) - 1);
    std::uniform_int_distribution<int> sentence(6, 18);
    std::string out;
    while (out.size() < bytes) {
        int n = sentence(rng);
        for (int i = 0; i < n; ++i) {
            std::string w = words[pick(rng)];
            if (i == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
            out += w;
            out += i + 1 < n ? " " : ". ";
        }
        if (rng() % 5 == 0) out += "\\par\r\n";
    }
    out.resize(bytes);
    return out;
}

void Generate(const std::string& base) {
    std::mt19937 rng(20240601);
    qbw::FileBuilder fb;
    fb.SetVersion(300).SetGeometry(512, 128);
    std::vector<std::vector<int32_t>> keywordArticles(kKeywords);
    std::vector<std::pair<int32_t, std::vector<qbw::BlobPlacement>>> placements;
    const std::string rtfHead =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\viewkind4\\uc1\\pard"
        "\\f0\\fs20 ";
    std::vector<std::string> records(kArticles);
    for (int32_t id = 0; id < kArticles; ++id) {
        qbw::ArticleData a;
        a.level = 6;
        a.flags = 0;  // has-links bits unknown: the summary reads the content too
        a.createdDate = a.modifiedDate = a.articleDate = 19900101 + (id % 28) + 100 * (id % 12);
        a.createdTime = a.modifiedTime = a.articleTime = id % 86400;
        a.title = Prose(rng, 20 + rng() % 40);
        a.richText = rtfHead + Prose(rng, kContentBytes - rtfHead.size() - 2) + "}";
        std::uniform_int_distribution<int32_t> kw(0, kKeywords - 1);
        for (int k = 0, n = 2 + static_cast<int>(rng() % 3); k < n; ++k) {
            const int32_t kid = kw(rng);
            a.keywordIds.push_back(kid);
            if (keywordArticles[kid].empty() || keywordArticles[kid].back() != id)
                keywordArticles[kid].push_back(id);
        }
        qbw::Encoder e;
        qbw::WriteArticleNew(e, a);
        fb.SetRecord(1, id, e.Str());
        placements.emplace_back(id, e.Blobs());
    }
    std::vector<std::string> names(kKeywords);
    for (int32_t k = 0; k < kKeywords; ++k) {
        names[k] = "Keyword " + std::to_string(k);
        fb.SetRecord(0, k, qbw::EncodeKeyword(names[k], keywordArticles[k]));
    }
    const qbw::Image img = fb.BuildImage();
    const qbw::Layout& L = img.layout;

    auto segmentsOf = [&](const std::vector<int32_t>& chain, int64_t from, int64_t n) {
        std::vector<Segment> out;
        while (n > 0) {
            const int32_t len =
                static_cast<int32_t>(std::min<int64_t>(n, L.blockSize - from % L.blockSize));
            const int64_t at = L.ContentOffset(chain, from);
            if (!out.empty() && out.back().offset + out.back().length == at) {
                out.back().length += len;
            } else {
                out.push_back({at, len});
            }
            from += len;
            n -= len;
        }
        return out;
    };
    std::vector<Piece> pieces;
    for (const auto& [id, blobs] : placements) {
        const auto& chain = L.records.at({1, id});
        for (const qbw::BlobPlacement& p : blobs) {
            Piece piece{static_cast<int32_t>(p.size), static_cast<int32_t>(p.dataLength), {}};
            piece.segments = segmentsOf(chain, p.dataOffset, p.dataLength);
            pieces.push_back(piece);
        }
    }
    for (int32_t k = 0; k < kKeywords; ++k) {
        // Tagged int16 word, the name string, then the id array's length.
        const int64_t at = 6 + 4 + static_cast<int64_t>(names[k].size()) + 4;
        const int64_t n = 4 * static_cast<int64_t>(keywordArticles[k].size());
        if (n == 0) continue;
        Piece piece{-1, static_cast<int32_t>(n), segmentsOf(L.records.at({0, k}), at, n)};
        pieces.push_back(piece);
    }

    img.WriteFile(base + ".tmp");
    std::ofstream side(base + ".pieces.tmp", std::ios::binary);
    auto put = [&](const void* p, size_t n) { side.write(static_cast<const char*>(p), n); };
    const int32_t count = static_cast<int32_t>(pieces.size());
    put(&count, 4);
    for (const Piece& p : pieces) {
        const int32_t nseg = static_cast<int32_t>(p.segments.size());
        put(&p.size, 4);
        put(&p.stored, 4);
        put(&nseg, 4);
        for (const Segment& s : p.segments) {
            put(&s.offset, 8);
            put(&s.length, 4);
        }
    }
    side.close();
    if (!side) throw std::runtime_error("cannot write the pieces file");
    std::rename((base + ".pieces.tmp").c_str(), (base + ".pieces").c_str());
    std::rename((base + ".tmp").c_str(), (base + ".qbx").c_str());
}

const std::string& Ensure() {
    static const std::string path = [] {
        const std::string base = BasePath();
        qb::bench::GenerateOnce(base + ".qbx", {base + ".qbx", base + ".pieces"},
                                [&] { Generate(base); });
        return base;
    }();
    return path;
}

std::vector<Piece> LoadPieces(const std::string& base) {
    std::ifstream in(base + ".pieces", std::ios::binary);
    auto get = [&](void* p, size_t n) { in.read(static_cast<char*>(p), n); };
    int32_t count = 0;
    get(&count, 4);
    std::vector<Piece> pieces(count);
    for (Piece& p : pieces) {
        int32_t nseg = 0;
        get(&p.size, 4);
        get(&p.stored, 4);
        get(&nseg, 4);
        p.segments.resize(nseg);
        for (Segment& s : p.segments) {
            get(&s.offset, 8);
            get(&s.length, 4);
        }
    }
    if (!in) throw std::runtime_error("bad pieces file");
    return pieces;
}

void BM_Baseline(benchmark::State& state) {
    const std::string base = Ensure();
    const std::vector<Piece> pieces = LoadPieces(base);
    std::string stored, plain;
    for (auto _ : state) {
        const int fd = open((base + ".qbx").c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("cannot open the file");
            return;
        }
        size_t produced = 0;
        for (const Piece& p : pieces) {
            stored.resize(p.stored);
            size_t at = 0;
            for (const Segment& s : p.segments) {
                if (pread(fd, stored.data() + at, s.length, s.offset) != s.length) {
                    state.SkipWithError("short read");
                    close(fd);
                    return;
                }
                at += s.length;
            }
            if (p.size < 0) {  // a keyword's article ids
                produced += stored.size();
                continue;
            }
            plain.resize(p.size);
            uLongf len = plain.size();
            if (uncompress(reinterpret_cast<Bytef*>(plain.data()), &len,
                           reinterpret_cast<const Bytef*>(stored.data()), stored.size()) != Z_OK) {
                state.SkipWithError("inflate failed");
                close(fd);
                return;
            }
            produced += len;
        }
        close(fd);
        benchmark::DoNotOptimize(produced);
    }
    state.counters["pieces"] = static_cast<double>(pieces.size());
    qb::bench::ReportPeak(state);
}

void BM_Reader(benchmark::State& state) {
    const std::string path = Ensure() + ".qbx";
    qb::RecordDefaults defaults;
    for (auto _ : state) {
        qb::CDataFile file;
        file.Open(path, false);
        qb::IdSet articles, keywords;
        file.ListLiveRecords(articles);
        file.ListLiveRecords(qb::table::kKeywords, keywords);
        size_t produced = 0;
        for (int32_t id : articles) {
            qb::CArticle a = qb::ReadArticleSummary(file, id, defaults);
            produced += a.title.size() + a.richText.size();
        }
        for (int32_t id : keywords)
            produced += qb::ReadKeyword(file, id).articles.Count();
        file.Close();
        if (articles.Count() != kArticles || keywords.Count() != kKeywords)
            state.SkipWithError("the reader did not find every record");
        benchmark::DoNotOptimize(produced);
    }
    qb::bench::ReportPeak(state);
}

void BM_Document(benchmark::State& state) {
    const std::string path = Ensure() + ".qbx";
    const unsigned threads = unsigned(state.range(0));
    qb::bench::SilentUi ui;
    qb::IcuLocale locale;
    for (auto _ : state) {
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        qb::CQuillboxDoc doc(s);
        if (!doc.OnOpenDocument(path)) {
            state.SkipWithError("the document did not open");
            return;
        }
        qb::IdSet visible, keywords, ofKeyword;
        doc.VisibleArticles(visible);
        doc.LoadSummaries(std::vector<int32_t>(visible.begin(), visible.end()), threads);
        size_t produced = 0;
        for (int32_t id : visible)
            produced += doc.Summary(id).title.size();
        doc.AllKeywords(keywords);
        for (int32_t id : keywords) {
            doc.ArticlesOfKeyword(id, ofKeyword);
            produced += ofKeyword.Count();
        }
        if (visible.Count() != kArticles || keywords.Count() != kKeywords)
            state.SkipWithError("the document did not find every record");
        benchmark::DoNotOptimize(produced);
    }
    qb::bench::ReportPeak(state);
}

BENCHMARK(BM_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Reader)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Document)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

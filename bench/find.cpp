// Find over a large file: 100,000 new-format articles with compressed
// titles and ~2 KB compressed contents; one word ("kingfisher") is in 1 %
// of them (in the text, and in half of those also in the title). Searched
// in article and title text, all articles, case ignored.
//
//   BM_Baseline: pread the same bytes and inflate the same blobs with zlib
//                directly (their places come from the writer).
//   BM_Find:     ArticleSearch over every article of the open document.
//   BM_GrepDump: grep -F -c over a plain-text dump of the same titles and
//                contents, launched with an argument vector (a reference).
//
// The file is generated once, in a child process, and cached in /tmp.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "article/article_search.h"
#include "bench_support.h"
#include "datafile/records.h"
#include "document/quillbox_doc.h"
#include "platform/icu_locale.h"
#include "richtext/rich_text.h"
#include "writer/qbx_writer.h"

extern char** environ;

namespace {

constexpr int kArticles = 100000;
constexpr size_t kContentBytes = 2048;
constexpr int kFormat = 1;  // bump when the generated layout changes
constexpr char kWord[] = "kingfisher";

struct Segment {
    int64_t offset;
    int32_t length;
};
struct Piece {
    int32_t size;    // uncompressed size
    int32_t stored;  // compressed bytes
    std::vector<Segment> segments;
};

std::string BasePath() {
    return "/tmp/qb_bench_find_a" + std::to_string(kArticles) + "_c" +
           std::to_string(kContentBytes) + "_v" + std::to_string(kFormat);
}

std::string Prose(std::mt19937& rng, size_t bytes, bool withWord, bool rtf) {
    static const char* words[] = {
        "the",    "garden", "morning", "bird",  "was",    "seen",  "near",   "pond",  "and",
        "a",      "of",     "in",      "with",  "meadow", "oak",   "early",  "light", "rain",
        "hedge",  "nest",   "three",   "after", "moth",   "bee",   "beetle", "walk",  "river",
        "valley", "seeds",  "frost",   "green", "tall",   "small", "young",  "tree",  "notes",
        "king",   "fish",   "fisher",  "kin",   "Kings"};
    std::uniform_int_distribution<size_t> pick(0, std::size(words) - 1);
    std::string out;
    size_t wordAt = withWord ? rng() % (bytes / 2) : std::string::npos;
    while (out.size() < bytes) {
        if (out.size() >= wordAt) {
            out += "Kingfisher ";
            wordAt = std::string::npos;
        }
        out += words[pick(rng)];
        out += rng() % 9 == 0 ? ". " : " ";
        if (rtf && rng() % 40 == 0) out += "\\par\r\n";
    }
    out.resize(bytes);
    return out;
}

void Generate(const std::string& base) {
    std::mt19937 rng(20241209);
    qbw::FileBuilder fb;
    fb.SetVersion(300).SetGeometry(512, 128);
    const std::string head =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\viewkind4\\uc1\\pard"
        "\\f0\\fs20 ";
    std::vector<std::pair<int32_t, std::vector<qbw::BlobPlacement>>> placements;
    std::ofstream dump(base + ".txt.tmp", std::ios::binary);
    for (int32_t id = 0; id < kArticles; ++id) {
        qbw::ArticleData a;
        a.level = 6;
        a.createdDate = a.modifiedDate = a.articleDate = 19900101 + (id % 28) + 100 * (id % 12);
        a.createdTime = a.modifiedTime = a.articleTime = id % 86400;
        a.title = Prose(rng, 20 + rng() % 40, id % 200 == 3, false);
        a.richText = head + Prose(rng, kContentBytes - head.size() - 2, id % 100 == 3, true) + "}";
        qbw::Encoder e;
        qbw::WriteArticleNew(e, a);
        fb.SetRecord(1, id, e.Str());
        placements.emplace_back(id, e.Blobs());
        // The dump: the title and the text as the control holds it, one
        // line per paragraph.
        qb::RichTextControl rt;
        rt.StreamInRtf(a.richText);
        dump << a.title << '\n' << rt.StreamOutText(qb::TextEncoding::kUtf8) << '\n';
    }
    dump.close();
    const qbw::Image img = fb.BuildImage();
    const qbw::Layout& L = img.layout;
    std::vector<Piece> pieces;
    for (const auto& [id, blobs] : placements) {
        const auto& chain = L.records.at({1, id});
        for (const qbw::BlobPlacement& p : blobs) {
            Piece piece{int32_t(p.size), int32_t(p.dataLength), {}};
            int64_t from = int64_t(p.dataOffset), n = int64_t(p.dataLength);
            while (n > 0) {
                int32_t len = int32_t(std::min<int64_t>(n, L.blockSize - from % L.blockSize));
                int64_t at = L.ContentOffset(chain, from);
                if (!piece.segments.empty() &&
                    piece.segments.back().offset + piece.segments.back().length == at)
                    piece.segments.back().length += len;
                else
                    piece.segments.push_back({at, len});
                from += len;
                n -= len;
            }
            pieces.push_back(piece);
        }
    }
    img.WriteFile(base + ".tmp");
    std::ofstream side(base + ".pieces.tmp", std::ios::binary);
    auto put = [&](const void* p, size_t n) { side.write(static_cast<const char*>(p), n); };
    const int32_t count = int32_t(pieces.size());
    put(&count, 4);
    for (const Piece& p : pieces) {
        const int32_t nseg = int32_t(p.segments.size());
        put(&p.size, 4);
        put(&p.stored, 4);
        put(&nseg, 4);
        for (const Segment& s : p.segments) {
            put(&s.offset, 8);
            put(&s.length, 4);
        }
    }
    side.close();
    if (!side || !dump) throw std::runtime_error("cannot write the side files");
    std::rename((base + ".pieces.tmp").c_str(), (base + ".pieces").c_str());
    std::rename((base + ".txt.tmp").c_str(), (base + ".txt").c_str());
    std::rename((base + ".tmp").c_str(), (base + ".qbx").c_str());
}

const std::string& Ensure() {
    static const std::string path = [] {
        const std::string base = BasePath();
        qb::bench::GenerateOnce(base + ".qbx", {base + ".qbx", base + ".pieces", base + ".txt"},
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
    std::vector<Piece> pieces(size_t(std::max(count, 0)));
    for (Piece& p : pieces) {
        int32_t nseg = 0;
        get(&p.size, 4);
        get(&p.stored, 4);
        get(&nseg, 4);
        p.segments.resize(size_t(std::max(nseg, 0)));
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
            stored.resize(size_t(p.stored));
            size_t at = 0;
            for (const Segment& s : p.segments) {
                if (pread(fd, stored.data() + at, size_t(s.length), s.offset) != s.length) {
                    state.SkipWithError("short read");
                    close(fd);
                    return;
                }
                at += size_t(s.length);
            }
            plain.resize(size_t(p.size));
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
}

void BM_Find(benchmark::State& state) {
    const std::string path = Ensure() + ".qbx";
    qb::bench::SilentUi ui;
    qb::IcuLocale locale("en_US");
    qb::DocumentServices services;
    services.ui = &ui;
    services.locale = &locale;
    qb::CQuillboxDoc doc(services);
    if (!doc.OnOpenDocument(path)) {
        state.SkipWithError("cannot open the document");
        return;
    }
    qb::IdSet all;
    doc.VisibleArticles(all);
    size_t found = 0;
    for (auto _ : state) {
        qb::ArticleSearchRequest r;
        r.ids = all.Ids();
        r.text = kWord;
        qb::ArticleSearch search(doc, r);
        while (!search.Done())
            search.Step(256);
        found = search.Found().size();
    }
    state.counters["found"] = double(found);
    if (found != kArticles / 100) state.SkipWithError("unexpected number of articles found");
    qb::bench::ReportPeak(state);
}

// Wall time of `grep -F -c -i kingfisher DUMP > COUNT`.
void BM_GrepDump(benchmark::State& state) {
    const std::string dump = Ensure() + ".txt";
    const std::string count = Ensure() + ".count";
    for (auto _ : state) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // Not /dev/null: grep notices that and stops at the first match.
        posix_spawn_file_actions_addopen(&actions, 1, count.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        char arg0[] = "grep", arg1[] = "-F", arg2[] = "-c", arg3[] = "-i";
        std::string word = kWord;
        char* argv[] = {arg0,   arg1, arg2, arg3, word.data(), const_cast<char*>(dump.c_str()),
                        nullptr};
        pid_t pid;
        int rc = posix_spawnp(&pid, "grep", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) {
            state.SkipWithError("grep could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
    }
    std::remove(count.c_str());
}

BENCHMARK(BM_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Find)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepDump)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();

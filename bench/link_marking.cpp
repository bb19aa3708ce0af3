// Marking recognised links in 1 MB of typical article text (words, some web
// and e-mail addresses, paragraphs), against a plain scan of the same text
// for white space as the baseline. Target: at least 20 MB/s.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "article/link_marker.h"

namespace {

// Deterministic: a fixed linear congruential sequence picks the words.
const std::u16string& Text() {
    static const std::u16string text = [] {
        const char16_t* words[] = {
            u"garden",           u"rose,",  u"caf\u00E9", u"tulip", u"(water)",
            u"meadow.",          u"oak",    u"fern",      u"moss",  u"brook",
            u"\u201Cpath\u201D", u"stone;", u"lichen",    u"north", u"seed"};
        const char16_t* links[] = {u"http://www.example.com/garden/rose.html", u"www.example.org.",
                                   u"jane.doe@example.net,", u"<https://example.com/a?b=c>",
                                   u"file://\"/home/me/a.txt\""};
        uint32_t x = 12345;
        auto next = [&] { return x = x * 1103515245u + 12345u, (x >> 16) & 0x7fff; };
        std::u16string s;
        while (s.size() < 1000u * 1000 / 2) {  // 1 MB of UTF-16
            uint32_t r = next();
            s += r % 40 == 0 ? links[r / 40 % std::size(links)] : words[r % std::size(words)];
            s += r % 12 == 0 ? u'\r' : u' ';
        }
        return s;
    }();
    return text;
}

void BM_WhiteSpaceScan(benchmark::State& state) {
    const std::u16string& text = Text();
    for (auto _ : state) {
        size_t spaces = 0;
        for (char16_t c : text)
            spaces += qb::IsLinkSpace(c);
        benchmark::DoNotOptimize(spaces);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * 2));
}
BENCHMARK(BM_WhiteSpaceScan)->Unit(benchmark::kMillisecond);

void BM_MarkLinksOnePass(benchmark::State& state) {
    const std::u16string& text = Text();
    std::vector<qb::StoredLinkRange> stored = {{1000, 1040}, {200000, 200100}};
    qb::LinkMarker marker(text, stored, 0, int32_t(text.size()));
    for (auto _ : state) {
        std::vector<qb::MarkedLink> links = marker.MarkAll();
        benchmark::DoNotOptimize(links.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * 2));
}
BENCHMARK(BM_MarkLinksOnePass)->Unit(benchmark::kMillisecond);

// As the window does it: slices of about 4000 characters between events.
void BM_MarkLinksInSlices(benchmark::State& state) {
    const std::u16string& text = Text();
    qb::LinkMarker marker(text, {}, 0, int32_t(text.size()));
    for (auto _ : state) {
        std::vector<qb::MarkedLink> links;
        for (int32_t pos = marker.Begin(); pos < marker.End();)
            pos = marker.MarkFrom(pos, 4000, links);
        benchmark::DoNotOptimize(links.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size() * 2));
}
BENCHMARK(BM_MarkLinksInSlices)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// The link target: the input is UTF-16 text (little-endian pairs; its first
// four bytes, when there are more, also place two stored links). The
// recogniser walks the whole text as the marker does, and the word, hover
// and double-click rules are asked at positions spread over it.
#include <span>
#include <string>
#include <vector>

#include "article/link_recognizer.h"
#include "article/link_words.h"
#include "fuzz_entries.h"

namespace qbfuzz {

namespace {

void CheckRange(const qb::RecognizedRange& r, int32_t length) {
    if (r.linkStart < 0 || r.linkLength <= 0 || r.linkStart + r.linkLength > length)
        PropertyFailed("a recognised link outside the text");
}

}  // namespace

int FuzzLinks(const uint8_t* data, size_t size) {
    std::vector<qb::StoredLinkRange> stored;
    if (size > 8) {
        uint16_t a = uint16_t(data[0] | data[1] << 8), b = uint16_t(data[2] | data[3] << 8);
        int32_t units = int32_t((size - 4) / 2);
        int32_t start = a % (units + 1), end = start + b % 16;
        stored.push_back({start, end});
        stored.push_back({end + 1, end + 1 + (b >> 12)});
        data += 4;
        size -= 4;
    }
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    const int32_t length = int32_t(text.size());
    const qb::LinkRecognizer& recognizer = qb::LinkRecognizer::Shared();

    // Every link from the start on, each search after the previous link.
    int32_t pos = 0;
    while (pos < length) {
        qb::RecognizedRange r;
        if (recognizer.Recognize(text, pos, length - pos, r) == qb::LinkKind::kNone) break;
        CheckRange(r, length);
        if (r.linkStart + r.linkLength <= pos) PropertyFailed("the link search went backwards");
        pos = r.linkStart + r.linkLength;
    }
    // A range reaching outside the text is cut to it.
    qb::RecognizedRange r;
    if (recognizer.Recognize(text, length / 2, length + 100, r) != qb::LinkKind::kNone)
        CheckRange(r, length);
    (void)recognizer.Recognize(text, -5, 10, r);

    std::span<const qb::StoredLinkRange> links(stored);
    const int32_t step = length > 64 ? length / 32 : 1;
    for (int32_t p = -1; p <= length + 1; p += step) {
        qb::WordSpan w = qb::WordAt(text, links, p);
        if (w.length > 0) {
            if (w.first < 0 || w.first + w.length > length)
                PropertyFailed("a word outside the text");
            qb::RecognizedWord word = recognizer.RecognizeWord(
                std::u16string_view(text).substr(size_t(w.first), size_t(w.length)));
            if (word.kind != qb::LinkKind::kNone &&
                (word.linkStart < 0 || word.linkStart + word.linkLength > w.length))
                PropertyFailed("a word's link outside the word");
        }
        for (bool activation : {false, true}) {
            (void)qb::HoverAt(text, links, p, activation);
            qb::DoubleClickDecision d = qb::DoubleClickAt(text, links, p, activation);
            if (d.selectStart > d.selectEnd) PropertyFailed("a reversed double-click selection");
        }
    }
    return 0;
}

}  // namespace qbfuzz

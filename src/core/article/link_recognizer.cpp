#include "article/link_recognizer.h"

#include <algorithm>

namespace qb {
namespace {

using T = LinkRecognizer::Transition;

// The prefixes as a trie over lower-cased characters, grouped by state (the
// index below relies on that). Each row is {state, character, accepting
// kind, next state}: a row with a kind ends a prefix, any other leads on.
// States 1-48 are the inner nodes of the prefixes; 49 is "inside an ordinary
// word", where "@" makes an e-mail address. The last row (state -1) ends it.
constexpr T kTable[] = {
    {0, 'f', 0, 1},
    {0, 'g', 0, 11},
    {0, 'h', 0, 19},
    {0, 'm', 0, 28},
    {0, 'n', 0, 34},
    {0, 't', 0, 38},
    {0, 'w', 0, 46},
    // ftp:// and file://
    {1, 't', 0, 2},
    {1, 'i', 0, 6},
    {2, 'p', 0, 3},
    {3, ':', 0, 4},
    {4, '/', 0, 5},
    {5, '/', 1, 0},
    {6, 'l', 0, 7},
    {7, 'e', 0, 8},
    {8, ':', 0, 9},
    {9, '/', 0, 10},
    {10, '/', 6, 0},
    // gopher://
    {11, 'o', 0, 12},
    {12, 'p', 0, 13},
    {13, 'h', 0, 14},
    {14, 'e', 0, 15},
    {15, 'r', 0, 16},
    {16, ':', 0, 17},
    {17, '/', 0, 18},
    {18, '/', 2, 0},
    // http:// and https://
    {19, 't', 0, 20},
    {20, 't', 0, 21},
    {21, 'p', 0, 22},
    {22, ':', 0, 23},
    {22, 's', 0, 25},
    {23, '/', 0, 24},
    {24, '/', 3, 0},
    {25, ':', 0, 26},
    {26, '/', 0, 27},
    {27, '/', 8, 0},
    // mailto:
    {28, 'a', 0, 29},
    {29, 'i', 0, 30},
    {30, 'l', 0, 31},
    {31, 't', 0, 32},
    {32, 'o', 0, 33},
    {33, ':', 4, 0},
    // news:
    {34, 'e', 0, 35},
    {35, 'w', 0, 36},
    {36, 's', 0, 37},
    {37, ':', 5, 0},
    // telnet://
    {38, 'e', 0, 39},
    {39, 'l', 0, 40},
    {40, 'n', 0, 41},
    {41, 'e', 0, 42},
    {42, 't', 0, 43},
    {43, ':', 0, 44},
    {44, '/', 0, 45},
    {45, '/', 7, 0},
    // www.
    {46, 'w', 0, 47},
    {47, 'w', 0, 48},
    {48, '.', 9, 0},
    // inside a word
    {49, '@', 10, 0},
    {-1, 0, 0, 0},
};
static_assert(std::size(kTable) == 59);

char16_t Lower(char16_t c) {
    return c >= 'A' && c <= 'Z' ? char16_t(c + 32) : c;
}

bool KeptAtLinkEnd(char16_t c) {
    return IsLinkAlnum(c) || c == '#' || c == '/' || c == '~';
}

}  // namespace

LinkRecognizer::LinkRecognizer() {
    firstOfState_.fill(-1);
    for (size_t i = std::size(kTable); i-- > 0;) {
        if (kTable[i].state >= 0 && kTable[i].state < kStateCount)
            firstOfState_[size_t(kTable[i].state)] = int16_t(i);
    }
}

const LinkRecognizer& LinkRecognizer::Shared() {
    static const LinkRecognizer shared;
    return shared;
}

const LinkRecognizer::Transition* LinkRecognizer::Find(int32_t state, char16_t c) const {
    if (c >= 0x80 || state < 0 || state >= kStateCount) return nullptr;
    int first = firstOfState_[size_t(state)];
    if (first < 0) return nullptr;
    for (const T* t = &kTable[first]; t->state == state; ++t) {
        if (char16_t(static_cast<unsigned char>(t->character)) == c) return t;
    }
    return nullptr;
}

LinkKind LinkRecognizer::Recognize(std::u16string_view text, int32_t start, int32_t length,
                                   RecognizedRange& out) const {
    out = RecognizedRange{};
    int64_t size = int64_t(text.size());
    int64_t from = std::clamp<int64_t>(start, 0, size);
    int64_t to = std::clamp<int64_t>(int64_t(start) + std::max<int32_t>(length, 0), from, size);
    out.rangeStart = int32_t(from);

    int32_t state = 0, kind = 0, count = 0;
    int32_t countAtKind = 0;  // the prefix, or the name and "@", without any body
    int64_t linkStart = from;
    bool inWord = false, bodySeen = false, done = false;
    int64_t i = from;
    for (; i < to && !done; ++i) {
        char16_t c = Lower(text[size_t(i)]);
        if (c == '<' || c == '"') {
            if (kind == 0) {
                state = 0;
            } else {
                if (kind == int32_t(LinkKind::kFile) && c == '"') {
                    bodySeen = true;
                    if (count < 8) {
                        ++count;
                        kind = int32_t(LinkKind::kQuotedFile);
                    }
                }
                done = true;
            }
        } else if (c == '=' && kind == 0) {
            state = 0;
        } else if (IsLinkSpace(c) || c == '>') {
            if (kind == 0) {
                state = 0;
                inWord = false;
            } else {
                done = true;
            }
        } else if (inWord || IsLinkAlnum(c) || c == '@' || state == kInWordState) {
            if (kind == 0) {
                if (state == 0) {
                    bodySeen = false;
                    count = 0;
                    linkStart = i;
                }
                if (const T* t = Find(state, c)) {
                    inWord = true;
                    ++count;
                    if (t->accepting) {
                        kind = t->accepting;
                        countAtKind = count;
                    } else {
                        state = t->next;
                    }
                } else if (c == '@' && count > 0) {
                    ++count;
                    inWord = true;
                    kind = int32_t(LinkKind::kEmail);
                    countAtKind = count;
                } else {
                    state = kInWordState;
                    inWord = false;
                    ++count;
                }
            } else {
                bodySeen = true;
                ++count;
            }
        } else {
            state = 0;
        }
    }

    if (kind != 0 && !bodySeen) count = 0;  // a bare prefix is no link
    if (kind != 0 && kind != int32_t(LinkKind::kQuotedFile)) {
        while (count > 0 && !KeptAtLinkEnd(text[size_t(linkStart + count - 1)]))
            --count;
        // A body made only of dropped characters leaves a bare prefix (or a
        // name whose "@" was dropped): no link either, rather than "www" or
        // "mailto:name".
        if (count <= countAtKind) count = 0;
    }
    if (kind == 0 || count == 0) {
        out.beforeLength = int32_t(i - from);
        return LinkKind::kNone;
    }
    out.beforeLength = int32_t(linkStart - from);
    out.linkStart = int32_t(linkStart);
    out.linkLength = count;
    out.afterPos = int32_t(linkStart + count);
    out.afterLength = int32_t(to - out.afterPos);
    return LinkKind(kind);
}

RecognizedWord LinkRecognizer::RecognizeWord(std::u16string_view word) const {
    RecognizedWord w;
    RecognizedRange r;
    int32_t length = int32_t(std::min<size_t>(word.size(), INT32_MAX));
    w.kind = Recognize(word, 0, length, r);
    w.beforeLength = r.beforeLength;
    if (w.kind == LinkKind::kNone) return w;
    w.linkStart = r.linkStart;
    w.linkLength = r.linkLength;
    if (w.kind == LinkKind::kEmail) w.linkText = u"mailto:";
    w.linkText.append(word.substr(size_t(r.linkStart), size_t(r.linkLength)));
    return w;
}

}  // namespace qb

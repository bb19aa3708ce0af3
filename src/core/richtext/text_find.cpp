#include "richtext/text_find.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "richtext/rich_text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qb {

namespace {

bool IsHigh(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// The first position at or after i below `last` whose unit could fold to
// `first` (an ASCII character): the unit itself, its upper case, or any
// unit beyond ASCII (the Kelvin sign folds to k, the long s to s).
std::size_t NextCandidate(const char16_t* t, std::size_t i, std::size_t last, char16_t first) {
    char16_t upper = (first >= u'a' && first <= u'z') ? char16_t(first - 32) : first;
#if defined(__SSE2__)
    const __m128i lo = _mm_set1_epi16(short(first)), up = _mm_set1_epi16(short(upper)),
                  high = _mm_set1_epi16(short(0xFF80));
    for (; i + 8 <= last; i += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(v, lo), _mm_cmpeq_epi16(v, up));
        // Units from 0x80 up have a bit of 0xFF80 set.
        __m128i wide = _mm_cmpeq_epi16(_mm_and_si128(v, high), _mm_setzero_si128());
        hit = _mm_or_si128(hit, _mm_andnot_si128(wide, _mm_set1_epi16(-1)));
        if (int mask = _mm_movemask_epi8(hit))
            return i + std::size_t(__builtin_ctz(unsigned(mask))) / 2;
    }
#endif
    for (; i < last; ++i) {
        char16_t c = t[i];
        if (c == first || c == upper || c >= 0x80) return i;
    }
    return last;
}

}  // namespace

char16_t FoldUnitAt(std::u16string_view text, std::size_t i) {
    char16_t c = text[i];
    if (c < 0x80) return FoldAscii(c);
    if (IsHigh(c)) {
        if (i + 1 >= text.size() || !IsLow(text[i + 1])) return c;
        UChar32 cp = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        UChar32 f = u_foldCase(cp, U_FOLD_CASE_DEFAULT) - 0x10000;
        return f < 0 ? c : char16_t(0xD800 + (f >> 10));
    }
    if (IsLow(c)) {
        if (i == 0 || !IsHigh(text[i - 1])) return c;
        UChar32 cp = 0x10000 + ((text[i - 1] - 0xD800) << 10) + (c - 0xDC00);
        UChar32 f = u_foldCase(cp, U_FOLD_CASE_DEFAULT) - 0x10000;
        return f < 0 ? c : char16_t(0xDC00 + (f & 0x3FF));
    }
    // Simple folding keeps a character of the first plane in it.
    return char16_t(u_foldCase(c, U_FOLD_CASE_DEFAULT));
}

int WordBreakClass(char16_t c) {
    if (c == kParagraphEnd || c == kLineBreak) return 3;
    if (RichTextControl::IsWhite(c)) return 0;
    if (RichTextControl::IsWordChar(c)) return 1;
    return 2;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        uint8_t b = uint8_t(text[i]);
        uint32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < text.size()) {
            cp = (b & 0x1Fu) << 6 | (uint8_t(text[i + 1]) & 0x3Fu);
            len = 2;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < text.size()) {
            cp = (b & 0x0Fu) << 12 | (uint8_t(text[i + 1]) & 0x3Fu) << 6 |
                 (uint8_t(text[i + 2]) & 0x3Fu);
            len = 3;
        } else if ((b & 0xF8) == 0xF0 && i + 3 < text.size()) {
            cp = (b & 0x07u) << 18 | (uint8_t(text[i + 1]) & 0x3Fu) << 12 |
                 (uint8_t(text[i + 2]) & 0x3Fu) << 6 | (uint8_t(text[i + 3]) & 0x3Fu);
            len = 4;
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            wide.push_back(char16_t(0xD800 + (cp >> 10)));
            wide.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            wide.push_back(char16_t(cp > 0xFFFF ? 0xFFFD : cp));
        }
        i += len;
    }
    return wide;
}

bool IsWordBoundary(std::u16string_view text, std::size_t i) {
    if (i == 0 || i >= text.size()) return true;
    int before = WordBreakClass(text[i - 1]), after = WordBreakClass(text[i]);
    return before != after || before == 3;
}

TextPattern::TextPattern(std::u16string_view what, uint32_t flags)
    : pattern_(what),
      matchCase_((flags & kFindMatchCase) != 0),
      wholeWord_((flags & kFindWholeWord) != 0) {
    if (!matchCase_)
        for (std::size_t i = 0; i < what.size(); ++i)
            pattern_[i] = FoldUnitAt(what, i);
    asciiFirst_ = !pattern_.empty() && pattern_[0] < 0x80;
}

bool TextPattern::Matches(const char16_t* t, std::size_t size, std::size_t at) const {
    std::size_t n = pattern_.size();
    if (matchCase_) {
        if (!std::equal(pattern_.begin(), pattern_.end(), t + at)) return false;
    } else {
        std::u16string_view text(t, size);
        for (std::size_t k = 0; k < n; ++k) {
            char16_t c = t[at + k];
            char16_t f = c < 0x80 ? FoldAscii(c) : FoldUnitAt(text, at + k);
            if (f != pattern_[k]) return false;
        }
    }
    if (wholeWord_) {
        std::u16string_view text(t, size);
        return IsWordBoundary(text, at) && IsWordBoundary(text, at + n);
    }
    return true;
}

int32_t TextPattern::Find(std::u16string_view text, int32_t start, int32_t end) const {
    int32_t len = int32_t(text.size());
    start = std::clamp(start, 0, len);
    end = std::clamp(end < 0 ? len : end, start, len);
    int32_t n = Length();
    if (n == 0 || end - start < n) return -1;
    const char16_t* t = text.data();
    // Matches start at or before `last` - 1 so that they end by `end`.
    std::size_t last = std::size_t(end - n + 1);
    char16_t first = pattern_[0];
    for (std::size_t i = std::size_t(start); i < last; ++i) {
        if (matchCase_) {
            const char16_t* hit = std::char_traits<char16_t>::find(t + i, last - i, first);
            if (!hit) return -1;
            i = std::size_t(hit - t);
        } else if (asciiFirst_) {
            i = NextCandidate(t, i, last, first);
            if (i >= last) return -1;
            if (FoldUnitAt(text, i) != first) continue;
        } else if (FoldUnitAt(text, i) != first) {
            continue;
        }
        // The match lies wholly inside [start, end); its word boundaries
        // are those of the whole text.
        if (Matches(t, std::size_t(len), i)) return int32_t(i);
    }
    return -1;
}

}  // namespace qb

// The bytes of RTF text outside control words: which end a stretch of
// text, which stand for themselves, hex digits. Internal to the reader.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qb::rtf {

// The bytes that end a stretch of plain text.
inline constexpr std::array<bool, 256> kTextStop = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'})
        t[c] = true;
    return t;
}();

// Printable ASCII that is not RTF syntax: in the document's text these bytes
// stand for themselves whenever the code page keeps ASCII as it is.
inline constexpr std::array<bool, 256> kPlainAscii = [] {
    std::array<bool, 256> t{};
    for (int c = 0x20; c < 0x80; ++c)
        t[std::size_t(c)] = c != '\\' && c != '{' && c != '}';
    return t;
}();

inline bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Widens the plain ASCII at the start of p[0, n) into out, which has room
// for n units, and returns how many bytes that was. Sixteen bytes at a time
// where SSE2 is there (every x86-64), eight by word arithmetic elsewhere.
// Inline: it runs once per stretch of text, between two control words.
inline std::size_t WidenPlainAscii(const char* p, std::size_t n, char16_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(0x20), backslash = _mm_set1_epi8('\\'),
                  open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        // Signed, bytes from 0x80 up are below the space too.
        __m128i bad = _mm_cmplt_epi8(v, space);
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, backslash));
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, open));
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, close));
        // All sixteen are stored; only those before the first bad byte count.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
        if (int mask = _mm_movemask_epi8(bad))
            return i + std::size_t(__builtin_ctz(unsigned(mask)));
    }
#else
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    auto hasZero = [](uint64_t x) { return (x - kOnes) & ~x & kHigh; };
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, p + i, 8);
        // Any byte from 0x80 up, below 0x20, or one of the three. A false
        // alarm only leaves the bytes to the loop below.
        uint64_t bad = v & kHigh;
        bad |= (v - kOnes * 0x20) & ~v & kHigh;
        bad |= hasZero(v ^ (kOnes * uint8_t('\\')));
        bad |= hasZero(v ^ (kOnes * uint8_t('{')));
        bad |= hasZero(v ^ (kOnes * uint8_t('}')));
        if (bad) break;
        for (std::size_t k = 0; k < 8; ++k)
            out[i + k] = uint8_t(p[i + k]);
    }
#endif
    for (; i < n && kPlainAscii[uint8_t(p[i])]; ++i)
        out[i] = uint8_t(p[i]);
    return i;
}

}  // namespace qb::rtf

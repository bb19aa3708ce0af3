#include "datafile/cp1252.h"

namespace qb {
namespace {

// 0x80..0x9F; the undefined bytes keep their own value as C1 controls.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The byte for `c`, or -1 when the code page has none.
int EncodeOne(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return int(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c) return 0x80 + i;
    return -1;
}

void Put(Cp1252Encoding& r, char32_t c, char replacement) {
    int b = EncodeOne(c);
    if (b >= 0) {
        r.bytes += char(b);
        return;
    }
    r.unencodable.push_back(c);
    if (replacement != '\0') r.bytes += replacement;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
    return (byte >= 0x80 && byte < 0xA0) ? kHigh[byte - 0x80] : char32_t(byte);
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        AppendUtf8(out, Cp1252ToCodePoint(b));
    return out;
}

std::u16string Cp1252ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        out += char16_t(Cp1252ToCodePoint(b));
    return out;
}

Cp1252Encoding Utf8ToCp1252(std::string_view s, char replacement) {
    Cp1252Encoding r;
    r.bytes.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t c = 0xFFFD;
        size_t used = 1;
        if (len == 1) {
            c = b;
        } else if (len > 1 && i + size_t(len) <= s.size()) {
            char32_t v = b & (0x7F >> len);
            bool ok = true;
            for (int k = 1; k < len && ok; ++k) {
                unsigned char cb = static_cast<unsigned char>(s[i + size_t(k)]);
                ok = (cb & 0xC0) == 0x80;
                v = (v << 6) | (cb & 0x3F);
            }
            static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
            // Overlong forms, surrogates and values past U+10FFFF are malformed.
            if (ok && v >= kMin[len] && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF)) {
                c = v;
                used = size_t(len);
            }
        }
        Put(r, c, replacement);
        i += used;
    }
    return r;
}

Cp1252Encoding Utf16ToCp1252(std::u16string_view s, char replacement) {
    Cp1252Encoding r;
    r.bytes.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        Put(r, c, replacement);
    }
    return r;
}

}  // namespace qb

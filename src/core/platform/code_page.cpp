#include "platform/code_page.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace qb {

struct CodePage::Table {
    int number = kDefault;
    std::array<char16_t, 256> decode{};
    // (character, byte) for the bytes 0x80..0xFF, by character.
    std::vector<std::pair<char16_t, uint8_t>> encode;
};

namespace {

constexpr int kNumbers[] = {874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};
constexpr char16_t kPrivateUseBase = 0xF700;

// Windows-1252 does not depend on ICU's data: it is the default and must
// always be there.
constexpr char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t UndefinedByte(int byte) {
    return byte < 0xA0 ? char16_t(byte) : char16_t(kPrivateUseBase + byte);
}

// ICU's answer for one byte, or the undefined-byte character.
char16_t IcuDecode(UConverter* cnv, int byte) {
    char in = char(byte);
    UChar out[4];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(cnv);
    int32_t n = ucnv_toUChars(cnv, out, 4, &in, 1, &status);
    if (U_FAILURE(status) || n != 1 || out[0] == 0xFFFD || (out[0] == 0x1A && byte != 0x1A))
        return UndefinedByte(byte);
    return char16_t(out[0]);
}

bool Build(int number, CodePage::Table& t) {
    t.number = number;
    for (int b = 0; b < 0x80; ++b)
        t.decode[size_t(b)] = char16_t(b);
    if (number == 1252) {
        for (int b = 0x80; b < 0x100; ++b)
            t.decode[size_t(b)] = b < 0xA0 ? k1252High[b - 0x80] : char16_t(b);
    } else {
        char name[24];
        std::snprintf(name, sizeof name, "windows-%d", number);
        UErrorCode status = U_ZERO_ERROR;
        UConverter* cnv = ucnv_open(name, &status);
        if (U_FAILURE(status) || !cnv) return false;
        UErrorCode cb = U_ZERO_ERROR;
        ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &cb);
        bool singleByte = ucnv_getMaxCharSize(cnv) == 1;
        for (int b = 0x80; b < 0x100 && singleByte; ++b)
            t.decode[size_t(b)] = IcuDecode(cnv, b);
        ucnv_close(cnv);
        if (!singleByte) return false;
    }
    // A character two bytes share would not encode back to both; the first
    // keeps it and the later byte is treated as undefined.
    for (int b = 0x80; b < 0x100; ++b) {
        char16_t c = t.decode[size_t(b)];
        bool taken = c < 0x80 || std::any_of(t.encode.begin(), t.encode.end(),
                                             [c](const auto& e) { return e.first == c; });
        if (taken) t.decode[size_t(b)] = c = UndefinedByte(b);
        t.encode.emplace_back(c, uint8_t(b));
    }
    std::sort(t.encode.begin(), t.encode.end());
    return true;
}

struct Tables {
    std::vector<CodePage::Table> pages;
    const CodePage::Table* windows1252 = nullptr;
    Tables() {
        pages.reserve(std::size(kNumbers));
        for (int n : kNumbers) {
            CodePage::Table t;
            if (Build(n, t)) pages.push_back(std::move(t));
        }
        for (const CodePage::Table& t : pages)
            if (t.number == 1252) windows1252 = &t;
    }
    const CodePage::Table* Find(int number) const {
        for (const CodePage::Table& t : pages)
            if (t.number == number) return &t;
        return nullptr;
    }
};

const Tables& AllTables() {
    static const Tables tables;
    return tables;
}

void Put(const CodePage& page, CodePageEncoding& r, char32_t c, char replacement) {
    int b = page.Encode(c);
    if (b >= 0) {
        r.bytes += char(b);
        return;
    }
    r.unencodable.push_back(c);
    if (replacement != '\0') r.bytes += replacement;
}

}  // namespace

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

CodePage::CodePage() : table_(AllTables().windows1252) {}

std::optional<CodePage> CodePage::Windows(int number) {
    const Table* t = AllTables().Find(number);
    if (!t) return std::nullopt;
    return CodePage(t);
}

bool CodePage::IsSupported(int number) {
    return AllTables().Find(number) != nullptr;
}

const std::vector<int>& CodePage::Supported() {
    static const std::vector<int> numbers = [] {
        std::vector<int> v;
        for (const Table& t : AllTables().pages)
            v.push_back(t.number);
        return v;
    }();
    return numbers;
}

int CodePage::Number() const {
    return table_->number;
}

std::string CodePage::CharsetName() const {
    return "windows-" + std::to_string(table_->number);
}

std::string CodePage::Caption() const {
    const char* script = "";
    switch (table_->number) {
        case 874:
            script = "Thai";
            break;
        case 1250:
            script = "Central European";
            break;
        case 1251:
            script = "Cyrillic";
            break;
        case 1252:
            script = "Western European";
            break;
        case 1253:
            script = "Greek";
            break;
        case 1254:
            script = "Turkish";
            break;
        case 1255:
            script = "Hebrew";
            break;
        case 1256:
            script = "Arabic";
            break;
        case 1257:
            script = "Baltic";
            break;
        case 1258:
            script = "Vietnamese";
            break;
        default:
            break;
    }
    return "Windows-" + std::to_string(table_->number) + " (" + script + ")";
}

char16_t CodePage::Decode(unsigned char byte) const {
    return table_->decode[byte];
}

std::string CodePage::ToUtf8(std::string_view bytes) const {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        AppendUtf8(out, table_->decode[b]);
    return out;
}

std::u16string CodePage::ToUtf16(std::string_view bytes) const {
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = table_->decode[static_cast<unsigned char>(bytes[i])];
    return out;
}

int CodePage::Encode(char32_t c) const {
    if (c < 0x80) return int(c);
    if (c > 0xFFFF) return -1;
    auto it = std::lower_bound(table_->encode.begin(), table_->encode.end(),
                               std::pair<char16_t, uint8_t>(char16_t(c), 0));
    if (it == table_->encode.end() || it->first != c) return -1;
    return it->second;
}

CodePageEncoding CodePage::FromUtf8(std::string_view s, char replacement) const {
    CodePageEncoding r;
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
        Put(*this, r, c, replacement);
        i += used;
    }
    return r;
}

CodePageEncoding CodePage::FromUtf16(std::u16string_view s, char replacement) const {
    CodePageEncoding r;
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
        Put(*this, r, c, replacement);
    }
    return r;
}

void AppendUtf16AsUtf8(std::string& out, std::u16string_view s) {
    out.reserve(out.size() + s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        // Runs of ASCII, the most of most text, go at once.
        size_t ascii = i;
        while (ascii < s.size() && s[ascii] < 0x80)
            ++ascii;
        if (ascii > i) {
            const size_t at = out.size(), n = ascii - i;
            out.resize(at + n);
            // Through plain pointers, so that the copy is vectorised.
            char* to = out.data() + at;
            const char16_t* from = s.data() + i;
            for (size_t k = 0; k < n; ++k)
                to[k] = char(from[k]);
            i = ascii;
            if (i == s.size()) break;
        }
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    AppendUtf16AsUtf8(out, s);
    return out;
}

}  // namespace qb

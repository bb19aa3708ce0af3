#include "export/markdown_yaml.h"

#include <cstdio>

#include "datafile/dates.h"
#include "export/markdown_text.h"

namespace qb {
namespace {

// The length of the UTF-8 sequence at s[i] and its character, or 0 when the
// bytes there are no valid sequence.
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    if (n == 1) {
        c = b;
        return 1;
    }
    c = b & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        c = (c << 6) | (t & 0x3F);
    }
    static const char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return n;
}

}  // namespace

std::string YamlQuoted(std::string_view s) {
    std::string out = "\"";
    for (size_t i = 0; i < s.size();) {
        char32_t c = 0;
        size_t n = DecodeUtf8(s, i, c);
        if (n == 0) {
            c = static_cast<unsigned char>(s[i]);
            n = 1;
        }
        i += n;
        char esc[16];
        switch (c) {
            case '"':
                out += "\\\"";
                continue;
            case '\\':
                out += "\\\\";
                continue;
            case '\n':
                out += "\\n";
                continue;
            case '\t':
                out += "\\t";
                continue;
            case '\r':
                out += "\\r";
                continue;
            default:
                break;
        }
        // Control characters, YAML's own line breaks and the byte-order
        // mark are not printable in a YAML stream: escape them.
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
            c == 0xFEFF || c == 0xFFFE || c == 0xFFFF) {
            std::snprintf(esc, sizeof esc, "\\u%04X", unsigned(c));
            out += esc;
            continue;
        }
        AppendUtf8(out, c);
    }
    out += '"';
    return out;
}

std::string IsoMoment(int32_t date, int32_t time) {
    if (date <= 0 || !IsCalendarDate(date / 10000, date / 100 % 100, date % 100)) return "";
    if (!IsValidTime(time)) time = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", int(date / 10000),
                  int(date / 100 % 100), int(date % 100), int(time / 3600), int(time / 60 % 60),
                  int(time % 60));
    return text;
}

void FrontMatter::Text(std::string_view key, std::string_view utf8) {
    Plain(key, YamlQuoted(utf8));
}

void FrontMatter::Plain(std::string_view key, std::string_view value) {
    body_.append(key).append(": ").append(value).append("\n");
}

void FrontMatter::TextList(std::string_view key, const std::vector<std::string>& items) {
    if (items.empty()) {
        Plain(key, "[]");
        return;
    }
    body_.append(key).append(":\n");
    for (const std::string& item : items)
        body_.append("  - ").append(YamlQuoted(item)).append("\n");
}

void FrontMatter::Mapping(std::string_view key) {
    body_.append(key).append(":\n");
}

void FrontMatter::NestedText(std::string_view key, std::string_view utf8) {
    NestedPlain(key, YamlQuoted(utf8));
}

void FrontMatter::NestedPlain(std::string_view key, std::string_view value) {
    body_.append("  ").append(key).append(": ").append(value).append("\n");
}

}  // namespace qb

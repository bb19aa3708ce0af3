#include "export/markdown_text.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <filesystem>

namespace qb {
namespace {

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Folded and composed: names a file system keeps apart only by case or by
// the spelling of a composed letter (macOS and Windows ignore both) are one.
std::string CaseFolded(const std::string& utf8) {
    icu::UnicodeString folded = icu::UnicodeString::fromUTF8(utf8).foldCase();
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_SUCCESS(status)) {
        icu::UnicodeString composed = nfc->normalize(folded, status);
        if (U_SUCCESS(status)) folded = composed;
    }
    std::string out;
    folded.toUTF8String(out);
    return out;
}

}  // namespace

void AppendEscapedMarkdown(std::string& out, std::string_view s, bool lineStart) {
    out.reserve(out.size() + s.size() + 8);
    size_t i = 0;
    if (lineStart && !s.empty()) {
        // Only what would open a block: a list marker needs white space (or
        // the end) after it, a setext line is nothing but "=" or "-", so
        // "-5 degrees" and "1.5 litres" stay as they read.
        const char c = s[0];
        auto endsMarker = [&](size_t at) {
            return at >= s.size() || s[at] == ' ' || s[at] == '\t';
        };
        if (c == '#') {
            out += "\\#";  // once: the loop below would escape it again
            i = 1;
        } else if (c == '>' || ((c == '+' || c == '-') && endsMarker(1)) ||
                   (c == '-' && s[1] == '-') ||
                   (c == '=' && s.find_first_not_of("= \t") == std::string_view::npos)) {
            out += '\\';
        } else if (IsAsciiDigit(c)) {
            size_t d = 0;
            while (d < s.size() && IsAsciiDigit(s[d]))
                ++d;
            if (d < s.size() && d <= 9 && (s[d] == '.' || s[d] == ')') && endsMarker(d + 1)) {
                out.append(s.substr(0, d));
                out += '\\';
                i = d;
            }
        }
    }
    // The characters the switch below looks at; runs of others are copied
    // at once.
    static constexpr auto kSpecial = [] {
        std::array<bool, 256> special{};
        for (unsigned char c : std::string_view("*_`[]\\<~|&#"))
            special[c] = true;
        return special;
    }();
    for (; i < s.size(); ++i) {
        size_t next = i;
        while (next < s.size() && !kSpecial[static_cast<unsigned char>(s[next])])
            ++next;
        out.append(s.substr(i, next - i));
        if (next == s.size()) break;
        i = next;
        char c = s[i];
        switch (c) {
            case '*':
            case '_':
            case '`':
            case '[':
            case ']':
            case '\\':
            case '<':
            case '~':
            case '|':
                out += '\\';
                break;
            case '&':
                // Also at the end: the next piece may go on with "amp;".
                if (i + 1 == s.size() || IsAsciiLetter(s[i + 1]) || s[i + 1] == '#') out += '\\';
                break;
            case '#':
                // Also at the end: a heading's closing "#" would vanish.
                if (i + 1 == s.size() || (s[i + 1] != ' ' && s[i + 1] != '\t')) out += '\\';
                break;
            default:
                break;
        }
        out += c;
    }
}

std::string EscapeMarkdown(std::string_view s, bool lineStart) {
    std::string out;
    AppendEscapedMarkdown(out, s, lineStart);
    return out;
}

std::string LinkDestination(std::string_view s) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    for (unsigned char c : s) {
        if (c <= 0x20 || c == 0x7F || c == '(' || c == ')' || c == '<' || c == '>' || c == '\\' ||
            c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

namespace {

// At most kMaxNoteName bytes, cut on a character boundary (never inside a
// UTF-8 sequence), without the spaces and dots the cut leaves at the end.
void CutAndTrimEnd(std::string& name) {
    if (name.size() > kMaxNoteName) {
        size_t cut = kMaxNoteName;
        while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
            --cut;
        name.resize(cut);
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
}

}  // namespace

std::string SafeNoteName(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    bool space = false;
    for (unsigned char c : s) {
        bool white = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0x0B;
        if (white) {
            space = !out.empty();
            continue;
        }
        if (space) out += ' ';
        space = false;
        if (c < 0x20 || c == 0x7F ||
            std::string_view("<>:\"/\\|?*#^[]").find(char(c)) != std::string_view::npos)
            out += '_';
        else
            out += char(c);
    }
    CutAndTrimEnd(out);
    size_t lead = 0;
    while (lead < out.size() && (out[lead] == ' ' || out[lead] == '.'))
        ++lead;
    out.erase(0, lead);
    if (out.empty()) return "Untitled";
    // Windows reserves these names whatever extension follows them: the
    // part before the first dot counts ("con.txt" is the console too).
    static const std::array<const char*, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    const size_t dot = out.find('.');
    std::string upper = out.substr(0, dot);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    bool reserved =
        std::any_of(kDevices.begin(), kDevices.end(), [&](const char* d) { return upper == d; });
    if (upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) &&
        upper[3] >= '1' && upper[3] <= '9')
        reserved = true;
    if (reserved) {
        out.insert(dot == std::string::npos ? out.size() : dot, "_");
        CutAndTrimEnd(out);  // the mark may take it past the length
    }
    return out;
}

void FolderNames::TakeExisting(const std::string& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec))
        Take(it->path().filename().string());
}

bool FolderNames::Taken(const std::string& name) const {
    return taken_.count(CaseFolded(name)) != 0;
}

void FolderNames::Take(const std::string& name) {
    taken_.insert(CaseFolded(name));
}

std::string FolderNames::Unique(const std::string& stem, const std::string& extension) {
    std::string name = stem + extension;
    for (unsigned long n = 1; Taken(name); ++n)
        name = stem + " " + std::to_string(n) + extension;
    Take(name);
    return name;
}

}  // namespace qb

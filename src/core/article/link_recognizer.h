// The recogniser of addresses written in article text (web, mail, news and
// file addresses, e-mail addresses). One shared instance serves every window
// and the export; it never changes after construction.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

enum class LinkKind : int16_t {
    kNone = 0,
    kFtp = 1,         // "ftp://"
    kGopher = 2,      // "gopher://"
    kHttp = 3,        // "http://"
    kMailto = 4,      // "mailto:"
    kNews = 5,        // "news:"
    kFile = 6,        // "file://"
    kTelnet = 7,      // "telnet://"
    kHttps = 8,       // "https://"
    kWww = 9,         // "www."
    kEmail = 10,      // a word with "@" after at least one character
    kQuotedFile = 11  // "file://" directly followed by a double quote
};

// Character classes of the C locale: only ASCII letters and digits are
// alphanumeric; everything from 0x80 up (the no-break space too) counts as
// punctuation.
inline bool IsLinkSpace(char16_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool IsLinkAlnum(char16_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Where a recognised link lies in the examined range; UTF-16 positions in
// the text. With kind kNone only rangeStart and beforeLength are set, the
// latter counting the characters examined.
struct RecognizedRange {
    int32_t rangeStart = 0;
    int32_t beforeLength = 0;
    int32_t linkStart = 0;
    int32_t linkLength = 0;
    int32_t afterPos = 0;
    int32_t afterLength = 0;
};

// The word form: positions relative to the word. linkText is the link's
// characters, with "mailto:" put in front for an e-mail address (what opening
// it needs); writers of hrefs take the link's own characters from
// linkStart/linkLength instead.
struct RecognizedWord {
    LinkKind kind = LinkKind::kNone;
    int32_t beforeLength = 0;
    int32_t linkStart = 0;
    int32_t linkLength = 0;
    std::u16string linkText;
};

class LinkRecognizer {
public:
    LinkRecognizer();

    // The application's one instance.
    static const LinkRecognizer& Shared();

    // Looks for the first link in text[start, start + length). A range
    // reaching outside the text is cut to it.
    LinkKind Recognize(std::u16string_view text, int32_t start, int32_t length,
                       RecognizedRange& out) const;
    RecognizedWord RecognizeWord(std::u16string_view word) const;

    // One transition: in `state`, the lower-cased `character` either accepts
    // (a link of kind `accepting`) or moves to `next`.
    struct Transition {
        int32_t state;
        char character;
        int32_t accepting;
        int32_t next;
    };
    static constexpr int32_t kStateCount = 50;
    static constexpr int32_t kInWordState = 49;  // inside an ordinary word: only "@" goes on

private:
    // The entry for `c` in `state`, or nullptr.
    const Transition* Find(int32_t state, char16_t c) const;

    std::array<int16_t, kStateCount> firstOfState_{};
};

}  // namespace qb

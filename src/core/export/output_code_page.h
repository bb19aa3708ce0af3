// The code page an HTML file is written in (the data file's), and the one
// step that turns a character of rich text (UTF-16 in the engine) into
// output bytes. Windows-1252 is built in; another single-byte code page is
// made from its decoding table (Of).
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace qb {

class CodePage;

class OutputCodePage {
public:
    // `decode[b]` is the character byte b stands for (0xFFFF or above 0x10FFFF
    // for a byte the code page leaves undefined).
    OutputCodePage(const std::array<char32_t, 256>& decode, bool windows1252);

    static const OutputCodePage& Windows1252();
    // The output that writes the bytes of a data file's code page.
    static OutputCodePage Of(const CodePage& page);

    // The byte for code point `c`, or -1 when the code page has none (the
    // writer then writes a numeric character reference).
    int ByteFor(char32_t c) const {
        if (c < 0x80 && asciiAsIs_) return int(c);
        return Lookup(c);
    }
    // Whether the output bytes are Windows-1252, the code page the named
    // entities stand for. Elsewhere only the ASCII entities apply.
    bool IsWindows1252() const { return windows1252_; }
    // Whether every ASCII character is its own byte.
    bool AsciiAsIs() const { return asciiAsIs_; }

private:
    int Lookup(char32_t c) const;

    std::vector<std::pair<char32_t, uint8_t>> encode_;  // ascending by character
    bool asciiAsIs_ = true;
    bool windows1252_ = false;
};

}  // namespace qb

// The code page of the text stored in data files: one of the Windows
// single-byte code pages of the system that wrote them (Windows-1252 in
// western Europe and the Americas, 1250, 1251, 1253 ... elsewhere).
//
// Decoding never drops a byte: a byte the code page leaves undefined keeps
// its value as a C1 control (0x80..0x9F) or becomes the private-use
// character U+F700 + byte (above 0x9F), and each encodes back to the same
// byte. Encoding reports every character the code page has no byte for, so
// the caller can count, replace or refer to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

struct CodePageEncoding {
    std::string bytes;
    // Each character that has no byte in the code page, in order of
    // appearance (malformed input counts as U+FFFD).
    std::vector<char32_t> unencodable;
    bool Complete() const { return unencodable.empty(); }
};

class CodePage {
public:
    static constexpr int kDefault = 1252;

    // Windows-1252.
    CodePage();
    // The code page `number` (874 or 1250..1258); nothing for any other.
    static std::optional<CodePage> Windows(int number);
    static bool IsSupported(int number);
    // The supported numbers, ascending.
    static const std::vector<int>& Supported();

    int Number() const;
    // The name HTML and MIME use for it, "windows-1251".
    std::string CharsetName() const;
    // What a person chooses it by: "Windows-1251 (Cyrillic)".
    std::string Caption() const;

    char16_t Decode(unsigned char byte) const;
    std::string ToUtf8(std::string_view bytes) const;
    std::u16string ToUtf16(std::string_view bytes) const;

    // The byte for `c`, or -1 when the code page has none.
    int Encode(char32_t c) const;
    // Characters with no byte are written as `replacement`; a replacement
    // of '\0' leaves them out. Either way they are reported.
    CodePageEncoding FromUtf8(std::string_view utf8, char replacement = '?') const;
    CodePageEncoding FromUtf16(std::u16string_view utf16, char replacement = '?') const;

    bool operator==(const CodePage& other) const { return table_ == other.table_; }

    struct Table;

private:
    explicit CodePage(const Table* table) : table_(table) {}
    const Table* table_;
};

// UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
// Appends the code point `c` (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// The same, appended to `out`.
void AppendUtf16AsUtf8(std::string& out, std::u16string_view utf16);

}  // namespace qb

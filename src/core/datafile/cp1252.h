// Windows-1252, the encoding of every text stored in a data file. Decoding
// never drops a byte: the five bytes the code page leaves undefined map to
// the C1 controls of the same value, and encode back to themselves.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qb {

std::string Cp1252ToUtf8(std::string_view bytes);
std::u16string Cp1252ToUtf16(std::string_view bytes);

// The code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char byte);

struct Cp1252Encoding {
    std::string bytes;
    // Each character that has no Windows-1252 byte, in order of appearance
    // (malformed input counts as U+FFFD).
    std::vector<char32_t> unencodable;
    bool Complete() const { return unencodable.empty(); }
};

// Characters with no byte in the code page are written as `replacement`;
// a replacement of '\0' leaves them out. Either way they are reported.
Cp1252Encoding Utf8ToCp1252(std::string_view utf8, char replacement = '?');
Cp1252Encoding Utf16ToCp1252(std::u16string_view utf16, char replacement = '?');

}  // namespace qb

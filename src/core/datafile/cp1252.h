// Windows-1252, the default code page of data-file text. Text stored in an
// open data file is decoded with the document's code page
// (CQuillboxDoc::TextCodePage); these are that code page's methods for the
// default, for text that is Windows-1252 whatever the file's code page.
#pragma once

#include <string>
#include <string_view>

#include "platform/code_page.h"

namespace qb {

using Cp1252Encoding = CodePageEncoding;

inline std::string Cp1252ToUtf8(std::string_view bytes) {
    return CodePage().ToUtf8(bytes);
}
inline std::u16string Cp1252ToUtf16(std::string_view bytes) {
    return CodePage().ToUtf16(bytes);
}
// The code point of one Windows-1252 byte.
inline char32_t Cp1252ToCodePoint(unsigned char byte) {
    return CodePage().Decode(byte);
}
inline Cp1252Encoding Utf8ToCp1252(std::string_view utf8, char replacement = '?') {
    return CodePage().FromUtf8(utf8, replacement);
}
inline Cp1252Encoding Utf16ToCp1252(std::u16string_view utf16, char replacement = '?') {
    return CodePage().FromUtf16(utf16, replacement);
}

}  // namespace qb

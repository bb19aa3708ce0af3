// Small helpers shared by the rich-text tests.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include "richtext/rich_text.h"

namespace qb {

inline RichTextControl Load(std::string_view rtf) {
    RichTextControl rt;
    EXPECT_TRUE(rt.StreamInRtf(rtf));
    return rt;
}

inline std::string ReadSample(const std::string& name) {
    std::ifstream in(std::string(QB_SOURCE_DIR) + "/tests/core/richtext/data/" + name,
                     std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    EXPECT_FALSE(ss.str().empty()) << name;
    return ss.str();
}

// UTF-16 to UTF-8 without touching CR or U+000B.
inline std::string Utf8(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

inline std::u16string U16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace qb

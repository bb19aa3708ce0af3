#include <gtest/gtest.h>

#include <string>

#include "datafile/cp1252.h"

namespace qb {
namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b)
        s += char(b);
    return s;
}

TEST(Cp1252, DecodesTheSpecialRangeAndKeepsUndefinedBytes) {
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
    EXPECT_EQ(Cp1252ToUtf8("\x93q\x94"), "\xE2\x80\x9Cq\xE2\x80\x9D");
    EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(Cp1252ToUtf16("\x9F\xFF"), std::u16string(u"\u0178\u00FF"));
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        EXPECT_EQ(Cp1252ToCodePoint(b), char32_t(b));
        EXPECT_EQ(Cp1252ToUtf16(std::string(1, char(b))), std::u16string(1, char16_t(b)));
    }
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252, EveryByteRoundTripsThroughUtf8AndUtf16) {
    std::string bytes = AllBytes();
    Cp1252Encoding viaUtf8 = Utf8ToCp1252(Cp1252ToUtf8(bytes));
    EXPECT_TRUE(viaUtf8.Complete());
    EXPECT_EQ(viaUtf8.bytes, bytes);
    Cp1252Encoding viaUtf16 = Utf16ToCp1252(Cp1252ToUtf16(bytes));
    EXPECT_TRUE(viaUtf16.Complete());
    EXPECT_EQ(viaUtf16.bytes, bytes);
}

TEST(Cp1252, UnencodableCharactersAreReplacedAndReported) {
    // U+4E2D (CJK), U+1F600 (outside the BMP), then a plain letter.
    Cp1252Encoding r = Utf8ToCp1252("a\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    EXPECT_EQ(r.bytes, "a??z");
    EXPECT_EQ(r.unencodable, (std::vector<char32_t>{0x4E2D, 0x1F600}));
    Cp1252Encoding dropped = Utf8ToCp1252("a\xE4\xB8\xADz", '\0');
    EXPECT_EQ(dropped.bytes, "az");
    EXPECT_FALSE(dropped.Complete());

    Cp1252Encoding u16 = Utf16ToCp1252(u"x\U0001F600\u20AC", '_');
    EXPECT_EQ(u16.bytes, "x_\x80");
    EXPECT_EQ(u16.unencodable, (std::vector<char32_t>{0x1F600}));
}

TEST(Cp1252, MalformedInputCountsAsUnencodable) {
    const std::string bad[] = {
        "\xC3",              // truncated sequence
        "\xC0\xAF",          // overlong
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // past U+10FFFF
        "\xFF",
    };
    for (const std::string& s : bad) {
        Cp1252Encoding r = Utf8ToCp1252("<" + s + ">");
        EXPECT_FALSE(r.Complete());
        EXPECT_EQ(r.bytes.front(), '<');
        EXPECT_EQ(r.bytes.back(), '>');
        EXPECT_EQ(r.unencodable.front(), char32_t(0xFFFD));
    }
    std::u16string lone = u"a";
    lone += char16_t(0xD800);
    lone += u"b";
    EXPECT_EQ(Utf16ToCp1252(lone).bytes, "a?b");
}

}  // namespace
}  // namespace qb

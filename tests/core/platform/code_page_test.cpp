// The Windows code pages of data-file text: every byte of every page decodes
// to one character that encodes back to it, the letters each page is for,
// and what happens to characters a page lacks.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/code_page.h"

namespace qb {
namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += char(b);
    return s;
}

TEST(CodePage, TheSupportedPagesAndNoOthers) {
    EXPECT_EQ(CodePage::Supported(),
              (std::vector<int>{874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}));
    for (int n : {0, -1, 437, 850, 932, 1200, 1249, 1259, 10000, 65001})
        EXPECT_FALSE(CodePage::Windows(n)) << n;
    EXPECT_EQ(CodePage().Number(), 1252);
    EXPECT_EQ(CodePage::Windows(1251)->CharsetName(), "windows-1251");
    EXPECT_EQ(CodePage::Windows(1251)->Caption(), "Windows-1251 (Cyrillic)");
    EXPECT_TRUE(*CodePage::Windows(1252) == CodePage());
    EXPECT_FALSE(*CodePage::Windows(1250) == CodePage());
}

TEST(CodePage, EveryByteOfEveryPageRoundTrips) {
    const std::string bytes = AllBytes();
    for (int n : CodePage::Supported()) {
        CodePage page = *CodePage::Windows(n);
        std::u16string text = page.ToUtf16(bytes);
        ASSERT_EQ(text.size(), 256u) << n;
        std::set<char16_t> seen(text.begin(), text.end());
        EXPECT_EQ(seen.size(), 256u) << n << ": two bytes decode alike";
        EXPECT_EQ(seen.count(0xFFFD), 0u) << n << ": a byte was dropped";
        for (int b = 0; b < 0x80; ++b)
            EXPECT_EQ(text[size_t(b)], char16_t(b)) << n;

        CodePageEncoding viaUtf16 = page.FromUtf16(text);
        EXPECT_TRUE(viaUtf16.Complete()) << n;
        EXPECT_EQ(viaUtf16.bytes, bytes) << n;
        CodePageEncoding viaUtf8 = page.FromUtf8(page.ToUtf8(bytes));
        EXPECT_TRUE(viaUtf8.Complete()) << n;
        EXPECT_EQ(viaUtf8.bytes, bytes) << n;
    }
}

TEST(CodePage, EachPageHasItsOwnLetters) {
    struct Case {
        int page;
        unsigned char byte;
        char16_t c;
    };
    const Case cases[] = {
        {1252, 0x80, 0x20AC}, {1252, 0xE9, 0x00E9},  // euro sign, e acute
        {1250, 0x8A, 0x0160}, {1250, 0xE8, 0x010D},  // S caron, c caron
        {1251, 0xC0, 0x0410}, {1251, 0xFF, 0x044F},  // Cyrillic A, ya
        {1253, 0xC1, 0x0391}, {1254, 0xF0, 0x011F},  // Greek Alpha, Turkish g breve
        {1255, 0xE0, 0x05D0}, {1256, 0xC7, 0x0627},  // Hebrew alef, Arabic alef
        {1257, 0xE0, 0x0105}, {1258, 0xFD, 0x01B0},  // a ogonek, u horn
        {874, 0xA1, 0x0E01},                         // Thai ko kai
    };
    for (const Case& c : cases) {
        CodePage page = *CodePage::Windows(c.page);
        EXPECT_EQ(page.Decode(c.byte), c.c) << c.page;
        EXPECT_EQ(page.Encode(c.c), c.byte) << c.page;
    }
    // The Cyrillic title of a data file written on a Russian Windows.
    EXPECT_EQ(CodePage::Windows(1251)->ToUtf8("\xCF\xF0\xE8\xE2\xE5\xF2"),
              "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");  // "Privet"
}

TEST(CodePage, UndefinedBytesKeepTheirValue) {
    // 0x81 is undefined in 1252 and 1251's 0x98 too: C1 controls of that value.
    EXPECT_EQ(CodePage().Decode(0x81), 0x0081);
    EXPECT_EQ(CodePage::Windows(1251)->Decode(0x98), 0x0098);
    // Above 0x9F an undefined byte becomes a private-use character.
    CodePage greek = *CodePage::Windows(1253);
    EXPECT_EQ(greek.Decode(0xD2), 0xF7D2);
    EXPECT_EQ(greek.Encode(0xF7D2), 0xD2);
    EXPECT_EQ(greek.Encode(0xF7D3), -1);  // not a byte of its own
}

TEST(CodePage, CharactersAPageLacksAreReportedInOrder) {
    CodePage cyrillic = *CodePage::Windows(1251);
    // e acute and the euro sign exist in 1252; 1251 has the euro but no e acute.
    CodePageEncoding r = cyrillic.FromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD");
    EXPECT_EQ(r.bytes, "caf? \x88 ?");
    EXPECT_EQ(r.unencodable, (std::vector<char32_t>{0x00E9, 0x4E2D}));
    CodePageEncoding left = cyrillic.FromUtf16(u"\u0410\U0001F600b", '\0');
    EXPECT_EQ(left.bytes,
              "\xC0"
              "b");
    EXPECT_EQ(left.unencodable, (std::vector<char32_t>{0x1F600}));
    // Malformed UTF-8 and a lone surrogate count as U+FFFD.
    CodePageEncoding bad = CodePage().FromUtf8("a\xC3");
    EXPECT_EQ(bad.unencodable, (std::vector<char32_t>{0xFFFD}));
    CodePageEncoding lone = CodePage().FromUtf16(std::u16string(1, char16_t(0xD800)));
    EXPECT_EQ(lone.unencodable, (std::vector<char32_t>{0xFFFD}));
}

TEST(Utf16ToUtf8, AsciiRunsBesideOtherCharacters) {
    // Runs of ASCII are copied at once: the characters around them, pairs
    // split by nothing and lone halves, must come out as before.
    EXPECT_EQ(Utf16ToUtf8(u"abc\u00E9def\u20AC"), "abc\u00E9def\u20AC");
    EXPECT_EQ(Utf16ToUtf8(u"x\U0001F60Ay"), "x\U0001F60Ay");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a") + char16_t(0xD83D) + u"b"), "a\uFFFDb");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDE0A))), "\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(u""), "");
    std::string out = "kept ";
    AppendUtf16AsUtf8(out, u"\u00FCber");
    EXPECT_EQ(out, "kept \u00FCber");
}

}  // namespace
}  // namespace qb

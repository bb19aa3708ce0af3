// Font face names through the writer: whatever a font table was read as,
// the table written from it reads back as the same face, damaged or not.
#include <gtest/gtest.h>

#include "richtext/rich_text.h"
#include "rt_helpers.h"

namespace qb {
namespace {

// The face the text of a one-font document is in, and that the writer's
// table reads back to it, byte for byte on a second write.
std::string FaceThroughWriter(const std::string& fontEntry) {
    RichTextControl first = Load("{\\rtf1\\ansi{\\fonttbl{\\f0" + fontEntry + ";}}\\f0 x}");
    std::string written = first.StreamOutRtf();
    RichTextControl second = Load(written);
    EXPECT_EQ(second.CharFormatAt(0), first.CharFormatAt(0)) << written;
    EXPECT_EQ(second.StreamOutRtf(), written);
    return first.CharFormatAt(0).face;
}

TEST(RtfFaceNames, SymbolsOfTheTextAreWrittenAsBytes) {
    // \- and \~ are text, not part of a name: a soft hyphen goes out as a byte.
    EXPECT_EQ(FaceThroughWriter("\\froman Libera\\'adtion Serif"), "Libera\u00ADtion Serif");
    EXPECT_EQ(FaceThroughWriter("\\fswiss A\\\\B\\{C\\}D"), "A\\B{C}D");
    // A ';' that came as a byte does not end the name written out.
    EXPECT_EQ(FaceThroughWriter("\\fswiss Semi\\'3bcolon"), "Semi;colon");
}

TEST(RtfFaceNames, SpacesLeftInFrontByNormalisingAreDropped) {
    EXPECT_EQ(FaceThroughWriter("\\froman \\'1f Cafe"), "Cafe");
    EXPECT_EQ(FaceThroughWriter("\\froman \\'09\\'0d  Two"), "Two");
    EXPECT_EQ(FaceThroughWriter("\\froman \\'a0\\'a0Nbsp"), "Nbsp");
    EXPECT_EQ(FaceThroughWriter("\\froman \\'1f"), "Arial");  // nothing left: the default
}

TEST(RtfFaceNames, NamesGoOutInTheCodePageOfTheirCharset) {
    EXPECT_EQ(FaceThroughWriter("\\fcharset204 \\'cf\\'e0\\'f0"), "\u041F\u0430\u0440");
    EXPECT_EQ(FaceThroughWriter("\\fcharset161 \\'c1\\'e1"), "\u0391\u03B1");
    // Double-byte: a trail byte in the ASCII range must stay a trail byte.
    EXPECT_EQ(FaceThroughWriter("\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9"),
              "\uFF2D\uFF33 \u660E\u671D");
    // A byte the code page leaves undefined reads as its Windows-1252
    // character; that must survive as well.
    FaceThroughWriter("\\fcharset204 A\\'98");
    // Windows-1252 faces are written as before.
    std::string written = Load("{\\rtf1{\\fonttbl{\\f0 Caf\\'e9;}}\\f0 x}").StreamOutRtf();
    EXPECT_NE(written.find("\\fcharset0 Caf\\'e9;}"), std::string::npos) << written;
}

TEST(RtfFaceNames, ANameItsCharsetCannotHoldGoesOutInACodePageThatCan) {
    // A Greek document's font that names no charset: the name was read in
    // the document's code page, which the written table must name.
    const char greek[] =
        "{\\rtf1\\ansi\\ansicpg1253{\\fonttbl{\\f0\\fswiss \\'c1\\'e8\\'de\\'ed\\'e1;}}"
        "\\f0 \\'e1 caf\\u233? x}";
    RichTextControl first = Load(greek);
    ASSERT_EQ(first.CharFormatAt(0).face, "\u0391\u03B8\u03AE\u03BD\u03B1");
    std::string written = first.StreamOutRtf();
    EXPECT_NE(written.find("\\cpg1253"), std::string::npos) << written;
    RichTextControl second = Load(written);
    EXPECT_EQ(second.Text(), first.Text()) << "the text in that font keeps its letters";
    EXPECT_TRUE(second == first) << written;
    EXPECT_EQ(second.StreamOutRtf(), written);
}

TEST(RtfFaceNames, ANameNoCodePageHoldsGoesOutAsUnicode) {
    // Greek beside box drawing: no one code page has both.
    EXPECT_EQ(FaceThroughWriter("\\fmodern H2\\u945?\\u9617?"), "H2\u03B1\u2591");
    // Read from another writer too, between bytes of the font's code page,
    // with a fallback that is skipped and a character beyond the BMP.
    RichTextControl rt = Load(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 \\'cf\\u9617?\\'e0 "
        "\\u-10179?\\u-8694?;}}\\f0 x}");
    EXPECT_EQ(rt.CharFormatAt(0).face, "\u041F\u2591\u0430 \U0001F60A");
    // Half a pair left by the cut to the face length is no character.
    std::string cut = FaceThroughWriter("\\fswiss " + std::string(30, 'a') + "\\u-10179?\\u-8694?");
    EXPECT_EQ(cut, std::string(30, 'a') + "\uFFFD");
}

// Not a face name, but the same round trip: a DEL in the text is written
// as a byte escape, since a raw one is skipped when read.
TEST(RtfWriterRoundTrip, ADeleteCharacterInTheTextStays) {
    RichTextControl first = Load("{\\rtf1\\ansi a\\'7fb}");
    ASSERT_EQ(first.Text(), u"a\u007Fb");
    EXPECT_EQ(Load(first.StreamOutRtf()).Text(), first.Text());
}

}  // namespace
}  // namespace qb

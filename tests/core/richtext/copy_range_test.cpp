// A range of a control copied with its formats (what a copied selection
// carries), and appending whole controls one after another.
#include <gtest/gtest.h>

#include "rt_helpers.h"

namespace qb {
namespace {

TEST(CopyRange, KeepsCharacterAndParagraphFormatsOfTheRange) {
    RichTextControl c = Load("{\\rtf1 ab\\b cd\\b0 ef\\par\\qr gh\\i ij\\par\\qc kl}");
    // "b cd ef\rgh i" : from inside the first run to inside the italic one.
    RichTextControl r = c.CopyRange(1, 10);
    EXPECT_EQ(r.Text(), u"bcdef\rghi");
    EXPECT_FALSE(r.CharFormatAt(0).Has(kEffectBold));
    EXPECT_TRUE(r.CharFormatAt(1).Has(kEffectBold));
    EXPECT_FALSE(r.CharFormatAt(3).Has(kEffectBold));
    EXPECT_TRUE(r.CharFormatAt(8).Has(kEffectItalic));
    EXPECT_EQ(r.ParagraphCount(), 2);
    EXPECT_EQ(r.ParaFormatAt(0).alignment, Align::kLeft);
    EXPECT_EQ(r.ParaFormatAt(6).alignment, Align::kRight);
    // Its RTF reads back to the same control.
    EXPECT_EQ(Load(r.StreamOutRtf()), r);
}

TEST(CopyRange, EndingAfterACrGivesAnEmptyParagraphOfTheNextFormat) {
    RichTextControl c = Load("{\\rtf1 one\\par\\qc two}");
    RichTextControl r = c.CopyRange(0, 4);
    EXPECT_EQ(r.Text(), u"one\r");
    ASSERT_EQ(r.ParagraphCount(), 2);
    EXPECT_EQ(r.ParagraphFormat(1).alignment, Align::kCenter);
    EXPECT_EQ(Load(r.StreamOutRtf()), r);
}

TEST(CopyRange, WholeCopyEqualsTheControlAndBoundsAreClamped) {
    RichTextControl c = Load("{\\rtf1 x\\b y\\par z}");
    EXPECT_EQ(c.CopyRange(0, -1), c);
    EXPECT_EQ(c.CopyRange(-10, 1000), c);
    RichTextControl empty = c.CopyRange(3, 2);
    EXPECT_EQ(empty.TextLength(), 0);
    // An empty range at the end is in the final mark's format.
    EXPECT_TRUE(c.CopyRange(c.TextLength(), c.TextLength()).CharFormatAt(0).Has(kEffectBold));
}

TEST(CopyRange, PicturesInTheRangeMoveWithIt) {
    RichTextControl c =
        Load("{\\rtf1 ab{\\pict\\pngblip\\picw1\\pich1 0102}cd{\\pict\\pngblip 03}}");
    ASSERT_EQ(c.Pictures().size(), 2u);
    RichTextControl r = c.CopyRange(1, 4);
    ASSERT_EQ(r.Pictures().size(), 1u);
    EXPECT_EQ(r.Pictures()[0].position, 1);
    EXPECT_EQ(r.Pictures()[0].data, std::string("\x01\x02", 2));
    EXPECT_EQ(r.StreamOutText(TextEncoding::kUtf8), "bc");
    EXPECT_TRUE(c.CopyRange(0, 2).Pictures().empty());
}

TEST(AppendControl, SameAsStreamingInAppendedAndSeamMerged) {
    const char* parts[] = {"{\\rtf1 plain \\b bold\\par}", "{\\rtf1\\b more bold\\b0  x}",
                           "{\\rtf1\\qc centre\\par\\par}", "{\\rtf1 tail}"};
    RichTextControl appended, streamed;
    for (const char* p : parts) {
        appended.Append(Load(p));
        ASSERT_TRUE(streamed.StreamInRtf(p, StreamMode::kAppend));
    }
    EXPECT_EQ(appended, streamed);
    // "bold" of the first part and "more bold" of the second are one run.
    int32_t bold = appended.FindText(0, -1, u"bold", kFindDown);
    int32_t more = appended.FindText(0, -1, u"more", kFindDown);
    EXPECT_EQ(appended.RunFromChar(bold), appended.RunFromChar(more));
    RichTextControl whole = Load(appended.StreamOutRtf());
    EXPECT_EQ(whole, appended);
}

TEST(AppendControl, TextUtf8AppendsInTheFormatBefore) {
    RichTextControl c = Load("{\\rtf1\\i it}");
    c.AppendTextUtf8("\xC3\xA9\xF0\x9F\x98\x80\n\xFF");
    EXPECT_EQ(c.Text(), u"it\u00E9\U0001F600\r\uFFFD");
    EXPECT_TRUE(c.CharFormatAt(3).Has(kEffectItalic));
}

}  // namespace
}  // namespace qb

// The control's building interface, and the const accessors the writer
// reads through.
#include <gtest/gtest.h>

#include "richtext/rich_text.h"
#include "richtext/rich_text_builder.h"
#include "rt_helpers.h"

namespace qb {
namespace {

CharFormat Bold() {
    CharFormat f;
    f.effects = kEffectBold;
    return f;
}

TEST(RichTextBuilder, RunsFollowTheFormatChosenLast) {
    RichTextControl rt;
    RichTextControl::Builder b(rt);
    int32_t plain = b.InternCharFormat(CharFormat());
    int32_t bold = b.InternCharFormat(Bold());
    EXPECT_EQ(b.InternCharFormat(Bold()), bold);  // interned once
    EXPECT_EQ(b.CharFormatId(), plain);           // the default format to begin with
    b.SetCharFormatId(bold);
    b.SetCharFormatId(plain);  // nothing was appended in bold: no run for it
    b.Append(u"ab", 2);
    b.SetCharFormatId(bold);
    b.Append(u'c');
    b.SetCharFormatId(bold);
    b.Append(u'd');
    b.Finish();
    EXPECT_EQ(rt.Text(), u"abcd");
    ASSERT_EQ(rt.RunCount(), 2);
    EXPECT_EQ(rt.RunStart(1), 2);
    EXPECT_TRUE(rt.RunFormat(1).Has(kEffectBold));
    EXPECT_FALSE(rt.RunFormat(0).Has(kEffectBold));
}

TEST(RichTextBuilder, ParagraphsAndPictures) {
    RichTextControl rt;
    RichTextControl::Builder b(rt);
    ParaFormat centred;
    centred.alignment = Align::kCenter;
    b.Append(u"one", 3);
    b.SetParaFormatId(b.InternParaFormat(centred));
    b.EndParagraph();
    Picture pic;
    pic.kind = PictureKind::kPng;
    pic.data = "png";
    b.AddPicture(pic);
    b.Append(u'x');
    b.Finish();
    EXPECT_EQ(rt.Text(), u"one\r\uFFFCx");
    ASSERT_EQ(rt.ParagraphCount(), 2);
    // The next paragraph starts in the format of the one ended.
    EXPECT_EQ(rt.ParaFormatAt(5).alignment, Align::kCenter);
    EXPECT_EQ(rt.LineCount(), 2);
    const Picture* at = rt.PictureAt(4);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(at->data, "png");
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kUtf8), "one\r\nx");
}

TEST(RichTextBuilder, FinishMergesRunsThatEndedEqual) {
    RichTextControl rt;
    RichTextControl::Builder b(rt);
    int32_t plain = b.CharFormatId();
    int32_t bold = b.InternCharFormat(Bold());
    b.Append(u'a');
    b.SetCharFormatId(bold);
    b.Append(u'b');
    b.SetCharFormatId(plain);
    b.SetCharFormatId(bold);  // the empty plain run becomes a second bold one
    b.Append(u'c');
    b.SetCharFormatId(plain);  // left empty at the end
    b.Finish();
    ASSERT_EQ(rt.RunCount(), 3);
    EXPECT_EQ(rt.RunStart(1), 1);
    EXPECT_EQ(rt.RunEnd(1), 3);
    // The empty last run is the format of text appended next.
    EXPECT_EQ(rt.RunStart(2), 3);
    rt.AppendText(u"d");
    EXPECT_FALSE(rt.CharFormatAt(3).Has(kEffectBold));
    EXPECT_EQ(rt, Load(rt.StreamOutRtf()));
}

TEST(RichTextControl, FormatIdsAndParagraphFormatsForWriters) {
    RichTextControl rt = Load("{\\rtf1 a\\b b\\b0 c\\par\\pard\\qc d}");
    ASSERT_EQ(rt.RunCount(), 3);
    EXPECT_EQ(rt.RunFormatId(0), rt.RunFormatId(2));
    EXPECT_NE(rt.RunFormatId(0), rt.RunFormatId(1));
    for (int32_t r = 0; r < rt.RunCount(); ++r)
        EXPECT_LT(std::size_t(rt.RunFormatId(r)), rt.CharFormatCount());
    ASSERT_EQ(rt.ParagraphCount(), 2);
    for (int32_t p = 0; p < rt.ParagraphCount(); ++p)
        EXPECT_EQ(rt.ParagraphFormat(p), rt.ParaFormatAt(rt.ParagraphStart(p)));
    EXPECT_EQ(rt.ParagraphFormat(1).alignment, Align::kCenter);
}

}  // namespace
}  // namespace qb

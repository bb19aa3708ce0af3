// Reading RTF feature by feature: what the control reports afterwards.
#include <gtest/gtest.h>

#include "richtext/rich_text.h"
#include "rt_helpers.h"

namespace qb {
namespace {

const char* const kRichEdit =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset2 Symbol;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green255\\blue0;}\r\n"
    "{\\*\\generator Msftedit 5.41.15.1503;}\\viewkind4\\uc1\\pard\\f0\\fs20 "
    "\\b\\cf1 Bold\\b0  red\\cf0\\par\r\n"
    "\\pard{\\pntext\\f2\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'B7}}"
    "\\fi-360\\li720 item\\par\r\n"
    "\\pard\\qc\\f1\\fs28\\i centred\\i0\\par\r\n}\r\n";

TEST(RtfReader, RichEditDocumentTextAndParagraphs) {
    RichTextControl rt = Load(kRichEdit);
    EXPECT_EQ(Utf8(rt.Text()), "Bold red\ritem\rcentred\r");
    ASSERT_EQ(rt.ParagraphCount(), 4);
    EXPECT_EQ(rt.ParagraphLength(0), 8);
    EXPECT_EQ(rt.ParagraphStart(1), 9);

    ParaFormat bullet = rt.ParaFormatAt(9);
    EXPECT_EQ(bullet.numbering, Numbering::kBullet);
    // \fi-360\li720: the first line (the bullet) at 360, the text 360 further.
    EXPECT_EQ(bullet.startIndent, 360);
    EXPECT_EQ(bullet.offset, 360);
    EXPECT_EQ(rt.ParaFormatAt(14).alignment, Align::kCenter);
    EXPECT_EQ(rt.ParaFormatAt(0).numbering, Numbering::kNone);
}

TEST(RtfReader, RichEditDocumentCharacterFormats) {
    RichTextControl rt = Load(kRichEdit);
    CharFormat bold = rt.CharFormatAt(0);
    EXPECT_EQ(bold.face, "Arial");
    EXPECT_EQ(bold.height, 200);
    EXPECT_TRUE(bold.Has(kEffectBold));
    EXPECT_EQ(bold.colour, MakeColour(255, 0, 0));
    CharFormat red = rt.CharFormatAt(5);
    EXPECT_FALSE(red.Has(kEffectBold));
    EXPECT_EQ(red.colour, MakeColour(255, 0, 0));
    CharFormat times = rt.CharFormatAt(14);
    EXPECT_EQ(times.face, "Times New Roman");
    EXPECT_EQ(times.height, 280);
    EXPECT_TRUE(times.Has(kEffectItalic));
    EXPECT_EQ(times.pitchAndFamily, 0x12);
    EXPECT_EQ(times.colour, kAutoColour);
}

}  // namespace
}  // namespace qb

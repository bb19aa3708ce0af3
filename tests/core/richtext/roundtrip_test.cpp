// RTF in, out and in again must give an equal model, for our own samples,
// LibreOffice's output and documents changed through the control.
#include <gtest/gtest.h>

#include "richtext/rich_text.h"
#include "rt_helpers.h"

namespace qb {
namespace {

void ExpectRoundTrip(const RichTextControl& first) {
    std::string rtf = first.StreamOutRtf();
    RichTextControl second;
    ASSERT_TRUE(second.StreamInRtf(rtf));
    EXPECT_EQ(first.Text(), second.Text());
    for (int32_t i = 0; i < first.TextLength(); ++i) {
        ASSERT_EQ(first.CharFormatAt(i), second.CharFormatAt(i)) << "char format at " << i;
        ASSERT_EQ(first.ParaFormatAt(i), second.ParaFormatAt(i)) << "para format at " << i;
    }
    EXPECT_TRUE(first == second) << rtf;
    // Writing again gives the same bytes.
    EXPECT_EQ(second.StreamOutRtf(), rtf);
}

TEST(RtfRoundTrip, Samples) {
    for (const char* name : {"richedit_article.rtf", "lo_sample.rtf"}) {
        SCOPED_TRACE(name);
        ExpectRoundTrip(Load(ReadSample(name)));
    }
}

TEST(RtfRoundTrip, EveryFeatureAtOnce) {
    RichTextControl rt = Load(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 Arial Cyr;}"
        "{\\f2\\fmodern\\fprq1 Courier New;}{\\f3\\fcharset2 Symbol;}}"
        "{\\colortbl;\\red1\\green2\\blue3;\\red200\\green100\\blue0;}"
        "\\pard\\qj\\li100\\ri50\\fi-30\\sb10\\sa20\\sl-250\\slmult0\\tqdec\\tleq\\tx300\\tb900 "
        "\\f1\\'cf\\u8364?\\f0\\b\\i\\ulw x\\ulwave y\\uldash z\\ulth w\\ul0\\strike\\v\\protect "
        "\\cf1\\highlight2\\super s\\sub t\\nosupersub\\up4 u\\dn2 v\\plain\\f2\\fs17 mono\\par"
        "\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart4\\pnindent200{\\pntxtb (}{\\pntxta )}}i\\par"
        "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta )}}a\\par"
        "\\pard{\\*\\pn\\pnlvlblt\\pnindent100}b\\par\\pard\\sl360\\slmult1 c\\tab\\line d\\~\\-\\_"
        "\\{\\}\\\\\\f3\\'b7\\u-3913?\\par\\pard\\qr{\\pict\\dibitmap0\\picw3\\pich4 00ff}"
        "{\\pict\\emfblip\\picscalex50\\picscaley70 0102}{\\pict 0304}\\par\\pard\\qc last}");
    ExpectRoundTrip(rt);
    EXPECT_EQ(rt.Pictures().size(), 3u);
}

TEST(RtfRoundTrip, FormatsSetThroughTheControl) {
    RichTextControl rt;
    rt.SetText(u"Title\rBody with a link and \u20AC and \U0001F600.\r");
    CharFormat f;
    f.face = "Times New Roman";
    f.height = 320;
    f.effects = kEffectBold;
    f.colour = MakeColour(0, 127, 0);
    f.background = MakeColour(255, 255, 0);
    rt.SetCharFormat(
        0, 5, f,
        kCharMaskFace | kCharMaskSize | kCharMaskBold | kCharMaskColour | kCharMaskBackground);
    CharFormat link;
    link.effects = kEffectUnderline | kEffectProtected;
    link.colour = MakeColour(0, 0x7F, 0);
    rt.SetCharFormat(16, 20, link, kCharMaskUnderline | kCharMaskProtected | kCharMaskColour);
    ParaFormat p;
    p.startIndent = 0;
    p.alignment = Align::kCenter;
    p.tabs = {{720, TabKind::kRight, TabLeader::kDots}};
    rt.SetParaFormat(0, 1, p, kParaMaskAlignment | kParaMaskTabStops | kParaMaskStartIndent);
    ExpectRoundTrip(rt);
}

TEST(RtfRoundTrip, EmptyControl) {
    RichTextControl rt;
    ExpectRoundTrip(rt);
    RichTextControl back = Load(rt.StreamOutRtf());
    EXPECT_EQ(back.TextLength(), 0);
    EXPECT_EQ(back.LineCount(), 1);
}

TEST(RtfRoundTrip, MultipleSpacingBelowOneTwentiethOfALineIsSingle) {
    RichTextControl rt = Load("{\\rtf1 \\sl6\\slmult1 a\\par\\pard\\sl-480\\slmult1 b}");
    EXPECT_EQ(rt.ParaFormatAt(0).lineSpacingRule, ParaFormat().lineSpacingRule);
    EXPECT_EQ(rt.ParaFormatAt(2).lineSpacingRule, 5);
    EXPECT_EQ(rt.ParaFormatAt(2).lineSpacing, 40);
    ExpectRoundTrip(rt);
}

}  // namespace
}  // namespace qb

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
    EXPECT_EQ(Utf8(rt.Text()), "Bold red\ritem\rcentred");
    ASSERT_EQ(rt.ParagraphCount(), 3);
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

namespace qb {
namespace {

RichTextControl Body(const std::string& body) {
    return Load(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fcharset204 Arial Cyr;}"
        "{\\f2\\fcharset128 MS Mincho;}{\\f3\\fcharset2 Symbol;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" +
        body + "}");
}

TEST(RtfReader, SpecialCharactersAndEscapes) {
    RichTextControl rt = Body(
        "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_\\{\\}\\\\"
        "\\tab x");
    EXPECT_EQ(rt.Text(), u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0\u00AD\u2011{}\\\tx");
}

TEST(RtfReader, HexBytesInTheFontsCodePage) {
    EXPECT_EQ(Body("caf\\'e9 \\'80\\'93").Text(), u"café €“");
    EXPECT_EQ(Body("\\f1 \\'cf\\'f0\\'e8").Text(), u"При");        // Windows-1251
    EXPECT_EQ(Body("\\f2 \\'82\\'a0\\'93\\'fa").Text(), u"あ日");  // Shift-JIS pairs
    EXPECT_EQ(Body("\\f3 \\'b7").Text(), u"\u00B7");               // symbol: the byte itself
    EXPECT_EQ(Body("\\'81\\'8d").Text(), u"\u0081\u008D");         // undefined bytes kept
}

TEST(RtfReader, UnicodeWithFallbackSkipping) {
    EXPECT_EQ(Body("\\u8364?a").Text(), u"€a");
    EXPECT_EQ(Body("\\uc2\\u8364\\'80\\'80b").Text(), u"€b");
    EXPECT_EQ(Body("\\uc0\\u8364 c").Text(), u"€c");
    EXPECT_EQ(Body("\\u-3913?").Text(), u"\uF0B7");
    // A group ends the skipping; the fallback of a control word counts as one.
    EXPECT_EQ(Body("{\\uc3\\u8364}d").Text(), u"€d");
    EXPECT_EQ(Body("\\uc1\\u8364\\par e").Text(), u"€e");
    // \upr: the Unicode half wins over the ANSI half.
    EXPECT_EQ(Body("{\\upr{ansi}{\\*\\ud{uni}}}").Text(), u"uni");
}

TEST(RtfReader, SkippedDestinationsLeaveNoText) {
    RichTextControl rt = Body(
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\*\\unknownthing junk}"
        "{\\*\\bkmkstart b}{\\pntext\\'b7\\tab}text{\\footnote note}"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}");
    EXPECT_EQ(rt.Text(), u"textshown");
}

TEST(RtfReader, BinarySkippedAndBracesInsideIt) {
    std::string body = "a{\\*\\objdata \\bin4 }}}}}b\\bin3 {{{c";
    EXPECT_EQ(Body(body).Text(), u"abc");
}

TEST(RtfReader, PicturesBecomeOneObjectCharacter) {
    RichTextControl rt = Body(
        "x{\\pict\\pngblip\\picw10\\pich20\\picwgoal150\\pichgoal300 89504e47\r\n0d0a}y"
        "{\\*\\shppict{\\pict\\jpegblip ffd8}}{\\nonshppict{\\pict\\wmetafile8 0102}}"
        "{\\pict\\wmetafile8\\bin2 \x01\x02}");
    EXPECT_EQ(rt.Text(), u"x\uFFFCy\uFFFC\uFFFC");
    ASSERT_EQ(rt.Pictures().size(), 3u);
    const Picture& png = rt.Pictures()[0];
    EXPECT_EQ(png.position, 1);
    EXPECT_EQ(png.kind, PictureKind::kPng);
    EXPECT_EQ(png.data, std::string("\x89PNG\r\n", 6));
    EXPECT_EQ(png.goalWidth, 150);
    EXPECT_EQ(rt.Pictures()[1].kind, PictureKind::kJpeg);
    EXPECT_EQ(rt.Pictures()[2].kind, PictureKind::kWmf);
    EXPECT_EQ(rt.Pictures()[2].data, std::string("\x01\x02"));
    // The text stream leaves pictures out.
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kUtf8), "xy");
}

TEST(RtfReader, APictureIsOfTheLastKindNamedWithOnlyItsOwnMode) {
    // A mapping mode left from an earlier \wmetafile would not come back
    // through the writer, which gives one only to metafiles.
    RichTextControl rt = Body("{\\pict\\wmetafile8\\pngblip 89}{\\pict\\pngblip\\wmetafile8 01}");
    ASSERT_EQ(rt.Pictures().size(), 2u);
    EXPECT_EQ(rt.Pictures()[0].kind, PictureKind::kPng);
    EXPECT_EQ(rt.Pictures()[0].metafileMode, 0);
    EXPECT_EQ(rt.Pictures()[1].kind, PictureKind::kWmf);
    EXPECT_EQ(rt.Pictures()[1].metafileMode, 8);
    RichTextControl again;
    ASSERT_TRUE(again.StreamInRtf(rt.StreamOutRtf()));
    EXPECT_TRUE(again == rt);
}

TEST(RtfReader, CharacterEffects) {
    RichTextControl rt = Body(
        "\\b a\\b0\\i b\\i0\\ul c\\ulnone\\uldb d\\ul0\\strike e\\strike0\\v f\\v0"
        "\\protect g\\protect0\\super h\\nosupersub\\sub i\\sub0\\up6 j\\up0\\dn4 k\\dn0"
        "\\cf1\\highlight2 l\\plain m\\fs0 n\\fs99999 o");
    auto at = [&](int i) { return rt.CharFormatAt(i); };
    EXPECT_TRUE(at(0).Has(kEffectBold));
    EXPECT_TRUE(at(1).Has(kEffectItalic) && !at(1).Has(kEffectBold));
    EXPECT_EQ(at(2).underlineType, UnderlineType::kSingle);
    EXPECT_TRUE(at(2).Has(kEffectUnderline));
    EXPECT_EQ(at(3).underlineType, UnderlineType::kDouble);
    EXPECT_TRUE(at(4).Has(kEffectStrikeout) && !at(4).Has(kEffectUnderline));
    EXPECT_TRUE(at(5).Has(kEffectHidden));
    EXPECT_TRUE(at(6).Has(kEffectProtected));
    EXPECT_TRUE(at(7).Has(kEffectSuperscript));
    EXPECT_TRUE(at(8).Has(kEffectSubscript) && !at(8).Has(kEffectSuperscript));
    EXPECT_EQ(at(9).offset, 60);
    EXPECT_EQ(at(10).offset, -40);
    EXPECT_EQ(at(11).colour, MakeColour(255, 0, 0));
    EXPECT_EQ(at(11).background, MakeColour(0, 0, 255));
    EXPECT_EQ(at(12).colour, kAutoColour);
    EXPECT_EQ(at(12).height, 240);  // \plain: 12 points
    EXPECT_EQ(at(13).height, 240);  // \fs0 is no size
    EXPECT_EQ(at(14).height, 32760);
}

TEST(RtfReader, GroupsRestoreFormatting) {
    RichTextControl rt = Body("\\b a{\\b0\\i b{\\ul c}d}e");
    EXPECT_TRUE(rt.CharFormatAt(4).Has(kEffectBold));
    EXPECT_FALSE(rt.CharFormatAt(4).Has(kEffectItalic));
    EXPECT_TRUE(rt.CharFormatAt(3).Has(kEffectItalic));
    EXPECT_FALSE(rt.CharFormatAt(3).Has(kEffectUnderline));
}

TEST(RtfReader, ParagraphProperties) {
    RichTextControl rt = Body(
        "\\pard\\qr\\li100\\ri200\\fi-50\\sb60\\sa120 a\\par"
        "\\pard\\qj\\sl-300\\slmult0 b\\par\\pard\\sl480\\slmult1 c\\par\\pard\\sl250 d\\par"
        "\\pard\\tqc\\tldot\\tx2000\\tx1000\\tqr\\tx3000\\tb4000 e");
    ParaFormat a = rt.ParaFormatAt(0);
    EXPECT_EQ(a.alignment, Align::kRight);
    EXPECT_EQ(a.startIndent, 50);
    EXPECT_EQ(a.offset, 50);
    EXPECT_EQ(a.rightIndent, 200);
    EXPECT_EQ(a.spaceBefore, 60);
    EXPECT_EQ(a.spaceAfter, 120);
    ParaFormat b = rt.ParaFormatAt(2);
    EXPECT_EQ(b.alignment, Align::kJustify);
    EXPECT_EQ(b.lineSpacingRule, 4);
    EXPECT_EQ(b.lineSpacing, 300);
    EXPECT_EQ(rt.ParaFormatAt(4).lineSpacingRule, 5);
    EXPECT_EQ(rt.ParaFormatAt(4).lineSpacing, 40);  // double: 40 / 20 lines
    EXPECT_EQ(rt.ParaFormatAt(6).lineSpacingRule, 3);
    ParaFormat e = rt.ParaFormatAt(8);
    ASSERT_EQ(e.tabs.size(), 4u);
    EXPECT_EQ(e.tabs[0].position, 1000);
    EXPECT_EQ(e.tabs[0].kind, TabKind::kLeft);
    EXPECT_EQ(e.tabs[1].kind, TabKind::kCenter);
    EXPECT_EQ(e.tabs[1].leader, TabLeader::kDots);
    EXPECT_EQ(e.tabs[2].kind, TabKind::kRight);
    EXPECT_EQ(e.tabs[3].kind, TabKind::kBar);
}

TEST(RtfReader, RichEditNumbering) {
    RichTextControl rt = Body(
        "\\pard{\\pntext 3.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart3\\pnindent360"
        "{\\pntxta .}}\\fi-360\\li720 three\\par{\\pntext 4.\\tab}four\\par"
        "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxtb (}{\\pntxta )}}x\\par\\pard plain");
    ParaFormat three = rt.ParaFormatAt(0);
    EXPECT_EQ(three.numbering, Numbering::kArabic);
    EXPECT_EQ(three.numberingStart, 3);
    EXPECT_EQ(three.numberingTab, 360);
    EXPECT_EQ(three.numberingStyle, kNumberPeriod);
    EXPECT_EQ(rt.ParaFormatAt(6).numbering, Numbering::kArabic);  // kept until \pard
    EXPECT_EQ(rt.ParaFormatAt(11).numbering, Numbering::kLowerLetter);
    EXPECT_EQ(rt.ParaFormatAt(11).numberingStyle, kNumberParens);
    EXPECT_EQ(rt.ParaFormatAt(13).numbering, Numbering::kNone);
    EXPECT_EQ(Utf8(rt.Text()), "three\rfour\rx\rplain");
}

TEST(RtfReader, ListTableNumbering) {
    RichTextControl rt = Load(
        "{\\rtf1\\ansi{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23"
        "{\\leveltext \\'01\\u8226 ?;}{\\levelnumbers;}}\\listid7}"
        "{\\list{\\listlevel\\levelnfc0\\levelstartat5{\\leveltext \\'02\\'00.;}}\\listid8}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid8\\listoverridecount0\\ls2}}"
        "\\pard\\ls1\\ilvl0{\\listtext \\'95\\tab}bullet\\par"
        "\\pard\\ls2{\\listtext 5.\\tab}five\\par\\pard\\ls9 unknown}");
    EXPECT_EQ(Utf8(rt.Text()), "bullet\rfive\runknown");
    EXPECT_EQ(rt.ParaFormatAt(0).numbering, Numbering::kBullet);
    EXPECT_EQ(rt.ParaFormatAt(7).numbering, Numbering::kArabic);
    EXPECT_EQ(rt.ParaFormatAt(7).numberingStart, 5);
    EXPECT_EQ(rt.ParaFormatAt(12).numbering, Numbering::kBullet);
}

TEST(RtfReader, FontTableForms) {
    RichTextControl rt = Load(
        "{\\rtf1\\ansi\\deff1{\\fonttbl\\f0\\fnil Plain Face;\\f1\\froman\\fcharset0 "
        "{\\*\\panose 02020603050405020304}Serif Face{\\*\\falt Other};}x\\f0 y\\f9 z}");
    EXPECT_EQ(rt.CharFormatAt(0).face, "Serif Face");
    EXPECT_EQ(rt.CharFormatAt(1).face, "Plain Face");
    EXPECT_EQ(rt.CharFormatAt(2).face, "Serif Face");  // unknown font: the default one
}

TEST(RtfReader, LineBreaksAndParagraphEnds) {
    RichTextControl rt = Body("a\\line b\\par c\r\nd\\\r\ne\\row f\\cell g");
    EXPECT_EQ(rt.Text(), u"a\u000Bb\rcd\re\rf\tg");
    EXPECT_EQ(rt.ParagraphCount(), 4);
    // CR and LF bytes in the text end paragraphs like \par; CRLF counts once.
    EXPECT_EQ(Body("x\\'0d\\'0ay\\'0az").Text(), u"x\ry\rz");
}

TEST(RtfReader, NotRtfIsRefusedAndChangesNothing) {
    RichTextControl rt;
    rt.SetText(u"keep");
    EXPECT_FALSE(rt.StreamInRtf("plain text"));
    EXPECT_FALSE(rt.StreamInRtf(""));
    EXPECT_EQ(rt.Text(), u"keep");
    EXPECT_TRUE(rt.StreamInRtf("  \r\n{\\rtf1 ok}"));
    EXPECT_EQ(rt.Text(), u"ok");
}

TEST(RtfReader, TextAfterTheDocumentIsIgnored) {
    EXPECT_EQ(Load("{\\rtf1 a}b{c}").Text(), u"a");
}

TEST(RtfReader, RichEditSampleFile) {
    RichTextControl rt = Load(ReadSample("richedit_article.rtf"));
    EXPECT_EQ(rt.LineText(0), u"Garden notes");
    EXPECT_EQ(rt.LineText(1), u"Planted:\troses\ttulips\t12");
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(2)).numbering, Numbering::kBullet);
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(3)).numbering, Numbering::kBullet);
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(4)).numbering, Numbering::kArabic);
    EXPECT_EQ(rt.LineText(8), u"Café – naïve — ‘q’ “dq” • € \uF0B7\u00A0nb\u00ADsh");
    EXPECT_EQ(rt.LineText(10), u"second line");
    EXPECT_EQ(rt.LineText(11), u"example field");
    EXPECT_TRUE(rt.CharFormatAt(rt.LineIndex(9)).Has(kEffectProtected));
    EXPECT_EQ(rt.CharFormatAt(rt.LineIndex(9)).face, "Courier New");
    EXPECT_EQ(rt.CharFormatAt(rt.LineIndex(11)).colour, MakeColour(0, 0, 255));
    EXPECT_EQ(rt.Pictures().size(), 1u);
}

TEST(RtfReader, LibreOfficeSampleFile) {
    RichTextControl rt = Load(ReadSample("lo_sample.rtf"));
    EXPECT_EQ(Utf8(rt.LineText(0)), "Bold italic under struck red x2 H2O");
    EXPECT_EQ(Utf8(rt.LineText(1)), "Centred café — €");
    EXPECT_EQ(Utf8(rt.LineText(6)), "Right привет");
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(1)).alignment, Align::kCenter);
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(2)).numbering, Numbering::kBullet);
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(4)).numbering, Numbering::kArabic);
    EXPECT_EQ(rt.ParaFormatAt(rt.LineIndex(6)).alignment, Align::kRight);
    EXPECT_TRUE(rt.CharFormatAt(0).Has(kEffectBold));
    int32_t red = rt.FindText(0, -1, u"red", kFindMatchCase);
    EXPECT_EQ(rt.CharFormatAt(red).colour, MakeColour(255, 0, 0));
    int32_t two = rt.FindText(0, -1, u"x2", kFindMatchCase) + 1;
    EXPECT_EQ(rt.CharFormatAt(two).offset, 80);  // written as \\up8, not \\super
}

}  // namespace
}  // namespace qb

namespace qb {
namespace {

TEST(RtfReader, ListOverridesNameTheirListInEitherOrder) {
    std::string levels;
    for (int i = 0; i < 12; ++i)  // a list keeps nine levels; the rest are skipped
        levels += "{\\listlevel\\levelnfc" + std::to_string(i < 9 ? 4 : 2) + "}";
    RichTextControl rt = Load(
        "{\\rtf1\\ansi{\\*\\listtable{\\list\\listid7{\\listlevel\\levelnfc3\\levelstartat2}}"
        "{\\list\\listid8" +
        levels +
        "}}{\\*\\listoverridetable{\\listoverride\\ls1\\listid7}{\\listoverride\\listid8\\ls2}}"
        "\\pard\\ls1 a\\par\\pard\\ls2\\ilvl8 b\\par\\pard\\ls2\\ilvl11 c}");
    EXPECT_EQ(rt.ParaFormatAt(0).numbering, Numbering::kUpperLetter);
    EXPECT_EQ(rt.ParaFormatAt(0).numberingStart, 2);
    EXPECT_EQ(rt.ParaFormatAt(0).numberingStyle, kNumberPeriod);
    EXPECT_EQ(rt.ParaFormatAt(2).numbering, Numbering::kLowerLetter);
    EXPECT_EQ(rt.ParaFormatAt(4).numbering, Numbering::kLowerLetter);  // \ilvl stops at 8
}

TEST(RtfReader, TabStopAtATakenPositionReplacesIt) {
    ParaFormat f = Body("\\pard\\tx500\\tqr\\tldot\\tx100\\tqc\\tx500\\tx300 x").ParaFormatAt(0);
    ASSERT_EQ(f.tabs.size(), 3u);
    EXPECT_EQ(f.tabs[0], (TabStop{100, TabKind::kRight, TabLeader::kDots}));
    EXPECT_EQ(f.tabs[1], (TabStop{300, TabKind::kLeft, TabLeader::kNone}));  // kind used up
    EXPECT_EQ(f.tabs[2], (TabStop{500, TabKind::kCenter, TabLeader::kNone}));
}

TEST(RtfReader, WordsOutOfTheirPlaceChangeNothing) {
    // Table and picture words in the text, text words inside {\pn}.
    RichTextControl rt = Body("\\red9\\fcharset2\\listid3\\picw5\\pnlvlblt a{\\*\\pn\\par\\b}b");
    EXPECT_EQ(rt.Text(), u"ab");
    EXPECT_EQ(rt.RunCount(), 1);
    EXPECT_EQ(rt.CharFormatAt(0).colour, kAutoColour);
    EXPECT_EQ(rt.ParaFormatAt(0).numbering, Numbering::kArabic);  // from the \pn alone
}

TEST(RtfReader, UnicodeAndAnsiAlternativesOfUpr) {
    EXPECT_EQ(Body("{\\upr{ansi text}{\\*\\ud{caf\\u233?}}} x").Text(), u"café x");
}

TEST(RtfReader, ColourTableEntriesAndAutomaticOnes) {
    RichTextControl rt = Load(
        "{\\rtf1{\\colortbl;\\red1\\green2\\blue3;;\\blue9;}\\cf1 a\\cf2 b\\cf3 c\\cf4 d"
        "\\highlight3 e}");
    EXPECT_EQ(rt.CharFormatAt(0).colour, MakeColour(1, 2, 3));
    EXPECT_EQ(rt.CharFormatAt(1).colour, kAutoColour);  // an empty entry
    EXPECT_EQ(rt.CharFormatAt(2).colour, MakeColour(0, 0, 9));
    EXPECT_EQ(rt.CharFormatAt(3).colour, kAutoColour);  // past the table
    EXPECT_EQ(rt.CharFormatAt(4).background, MakeColour(0, 0, 9));
}

}  // namespace
}  // namespace qb

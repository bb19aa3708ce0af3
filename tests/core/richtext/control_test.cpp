// The operations that find, export, printing and link marking ask of the
// control: lines, formats at a position, masked format changes, find, words.
#include <gtest/gtest.h>

#include "richtext/rich_text.h"
#include "rt_helpers.h"

namespace qb {
namespace {

TEST(ControlLines, OneLinePerParagraphAndPerLineBreak) {
    RichTextControl rt = Load("{\\rtf1 first\\par second\\line third\\par}");
    ASSERT_EQ(rt.LineCount(), 3);  // the last \par is the final mark, not an empty line
    EXPECT_EQ(rt.LineIndex(0), 0);
    EXPECT_EQ(rt.LineIndex(1), 6);
    EXPECT_EQ(rt.LineIndex(2), 13);
    EXPECT_EQ(rt.LineIndex(3), -1);
    EXPECT_EQ(rt.LineLength(1), 6);
    EXPECT_EQ(rt.LineText(2), u"third");
    EXPECT_EQ(rt.LineLength(2), 5);
    EXPECT_EQ(rt.LineFromChar(18), 2);  // the final mark ends the last line
    EXPECT_EQ(rt.LineFromChar(12), 1);  // the line break belongs to its line
    EXPECT_EQ(rt.LineFromChar(13), 2);
    EXPECT_EQ(rt.ParagraphCount(), 2);
    EXPECT_EQ(rt.ParagraphLength(1), 12);
}

TEST(ControlLines, EmptyControlHasOneEmptyLine) {
    RichTextControl rt;
    EXPECT_EQ(rt.LineCount(), 1);
    EXPECT_EQ(rt.LineLength(0), 0);
    EXPECT_EQ(rt.TextLength(), 0);
    EXPECT_EQ(rt.CharFormatAt(0), rt.DefaultCharFormat());
}

TEST(ControlText, SetTextTurnsEveryLineEndIntoOneParagraphEnd) {
    RichTextControl rt;
    rt.SetText(u"a\r\nb\nc\rd");
    EXPECT_EQ(rt.Text(), u"a\rb\rc\rd");
    EXPECT_EQ(rt.LineCount(), 4);
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kUtf8), "a\r\nb\r\nc\r\nd");
}

TEST(ControlText, TextStreamEncodings) {
    RichTextControl rt = Load("{\\rtf1\\ansi caf\\'e9 \\u8364? \\u1087?\\line x\\par}");
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kUtf8), "café € п\r\nx");
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kWindows1252), "caf\xe9 \x80 ?\r\nx");
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kWindows1252, '_'), "caf\xe9 \x80 _\r\nx");
}

TEST(ControlText, AppendTextTakesTheFormatOfTheTextBefore) {
    RichTextControl rt = Load("{\\rtf1 plain \\b bold}");
    rt.AppendText(u" more\r\nnext");
    EXPECT_EQ(rt.Text(), u"plain bold more\rnext");
    EXPECT_TRUE(rt.CharFormatAt(rt.TextLength() - 1).Has(kEffectBold));
    EXPECT_EQ(rt.ParagraphCount(), 2);
}

TEST(ControlText, StreamInAppendsAtTheEnd) {
    RichTextControl rt;
    rt.SetText(u"Title\r");
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 \\pard\\qc\\b body\\par tail}", StreamMode::kAppend));
    EXPECT_EQ(rt.Text(), u"Title\rbody\rtail");
    // The empty last paragraph took the inserted paragraph's format.
    EXPECT_EQ(rt.ParaFormatAt(6).alignment, Align::kCenter);
    EXPECT_EQ(rt.ParaFormatAt(0).alignment, Align::kLeft);
    EXPECT_FALSE(rt.CharFormatAt(0).Has(kEffectBold));
    EXPECT_TRUE(rt.CharFormatAt(6).Has(kEffectBold));
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 {\\pict\\pngblip 0102}}", StreamMode::kAppend));
    ASSERT_EQ(rt.Pictures().size(), 1u);
    EXPECT_EQ(rt.Pictures()[0].position, 15);
}

TEST(ControlFormats, MaskedCharacterFormatOnARange) {
    RichTextControl rt = Load("{\\rtf1 \\b\\fs20 see www.example.com now}");
    // Link marking: blue and underline, nothing else changes.
    CharFormat link;
    link.colour = MakeColour(0, 0, 255);
    link.effects = kEffectUnderline;
    rt.SetCharFormat(4, 19, link, kCharMaskColour | kCharMaskUnderline);
    CharFormat in = rt.CharFormatAt(4);
    EXPECT_EQ(in.colour, MakeColour(0, 0, 255));
    EXPECT_TRUE(in.Has(kEffectUnderline));
    EXPECT_EQ(in.underlineType, UnderlineType::kSingle);
    EXPECT_TRUE(in.Has(kEffectBold));
    EXPECT_EQ(in.height, 200);
    EXPECT_EQ(rt.CharFormatAt(18), in);
    EXPECT_EQ(rt.CharFormatAt(3).colour, kAutoColour);
    EXPECT_EQ(rt.CharFormatAt(19).colour, kAutoColour);
    EXPECT_EQ(rt.RunCount(), 3);

    // Removing the protected effect from all text leaves the rest alone.
    CharFormat none;
    none.effects = 0;
    rt.SetCharFormat(0, -1, none, kCharMaskProtected | kCharMaskUnderline);
    EXPECT_FALSE(rt.CharFormatAt(4).Has(kEffectUnderline));
    EXPECT_EQ(rt.CharFormatAt(4).colour, MakeColour(0, 0, 255));
    // Adjacent runs that became equal are one run again.
    rt.SetCharFormat(0, -1, none, kCharMaskColour);
    EXPECT_EQ(rt.RunCount(), 1);
}

TEST(ControlFormats, FormatsSetAtTheEndApplyToAppendedText) {
    RichTextControl rt;
    rt.SetText(u"Header");
    CharFormat big;
    big.height = 320;
    big.effects = kEffectBold;
    rt.SetCharFormat(0, -1, big, kCharMaskSize | kCharMaskBold);
    rt.SetCharFormat(rt.TextLength(), rt.TextLength(), CharFormat(), kCharMaskBold);
    rt.AppendText(u" next");
    EXPECT_TRUE(rt.CharFormatAt(0).Has(kEffectBold));
    EXPECT_FALSE(rt.CharFormatAt(7).Has(kEffectBold));
    EXPECT_EQ(rt.CharFormatAt(7).height, 320);
}

TEST(ControlFormats, ParagraphFormatOnEveryTouchedParagraph) {
    RichTextControl rt;
    rt.SetText(u"one\rtwo\rthree");
    ParaFormat f;
    f.startIndent = 100;
    f.tabs = {{500, TabKind::kLeft, TabLeader::kNone}, {1000, TabKind::kLeft, TabLeader::kNone}};
    f.alignment = Align::kRight;
    rt.SetParaFormat(2, 5, f, kParaMaskStartIndent | kParaMaskTabStops);
    EXPECT_EQ(rt.ParaFormatAt(0).startIndent, 100);
    EXPECT_EQ(rt.ParaFormatAt(4).tabs.size(), 2u);
    EXPECT_EQ(rt.ParaFormatAt(4).alignment, Align::kLeft);  // not in the mask
    EXPECT_EQ(rt.ParaFormatAt(8).startIndent, 0);
    // A range ending right after a paragraph's CR does not reach the next one.
    rt.SetParaFormat(0, 4, ParaFormat(), kParaMaskStartIndent);
    EXPECT_EQ(rt.ParaFormatAt(0).startIndent, 0);
    EXPECT_EQ(rt.ParaFormatAt(4).startIndent, 100);
}

TEST(ControlFind, FlagsAndRanges) {
    RichTextControl rt;
    rt.SetText(u"The cat scattered; CAT cat.");
    EXPECT_EQ(rt.FindText(0, -1, u"cat", kFindDown), 4);
    EXPECT_EQ(rt.FindText(5, -1, u"cat", kFindDown), 9);
    EXPECT_EQ(rt.FindText(5, -1, u"cat", kFindDown | kFindWholeWord), 19);
    EXPECT_EQ(rt.FindText(5, -1, u"cat", kFindDown | kFindWholeWord | kFindMatchCase), 23);
    EXPECT_EQ(rt.FindText(5, -1, u"CAT", kFindDown | kFindMatchCase), 19);
    EXPECT_EQ(rt.FindText(0, 6, u"cat", kFindDown), -1);  // must lie inside the range
    EXPECT_EQ(rt.FindText(0, -1, u"dog", kFindDown), -1);
    EXPECT_EQ(rt.FindText(0, -1, u"", kFindDown), -1);
    // "cat." ends the text: the end of the text is a word boundary too.
    EXPECT_EQ(rt.FindText(24, -1, u"at.", kFindDown | kFindWholeWord), -1);
}

TEST(ControlFind, CaseFoldingBeyondAscii) {
    RichTextControl rt;
    rt.SetText(u"Über ÉCOLE straße");
    EXPECT_EQ(rt.FindText(0, -1, u"über", 0), 0);
    EXPECT_EQ(rt.FindText(0, -1, u"école", kFindWholeWord), 5);
    EXPECT_EQ(rt.FindText(0, -1, u"école", kFindMatchCase), -1);
}

TEST(ControlFind, WholeWordAcrossParagraphsAndPunctuation) {
    RichTextControl rt;
    rt.SetText(u"end\rstart (word) x-word word2");
    EXPECT_EQ(rt.FindText(0, -1, u"start", kFindWholeWord), 4);
    EXPECT_EQ(rt.FindText(0, -1, u"end", kFindWholeWord), 0);
    EXPECT_EQ(rt.FindText(0, -1, u"word", kFindWholeWord), 11);
    EXPECT_EQ(rt.FindText(12, -1, u"word", kFindWholeWord), 19);
    EXPECT_EQ(rt.FindText(20, -1, u"word", kFindWholeWord), -1);  // "word2"
}

TEST(ControlWords, BoundariesAtAPosition) {
    RichTextControl rt;
    rt.SetText(u"say hello,  world\rnext");
    EXPECT_EQ(rt.WordAt(5), std::make_pair(4, 9));   // hello
    EXPECT_EQ(rt.WordAt(9), std::make_pair(9, 10));  // the comma
    EXPECT_EQ(rt.WordAt(10), std::make_pair(10, 12));
    EXPECT_EQ(rt.WordAt(17), std::make_pair(17, 18));  // a paragraph end stands alone
    EXPECT_EQ(rt.WordAt(99), std::make_pair(22, 22));
    EXPECT_EQ(rt.MoveWordRight(0), 4);
    EXPECT_EQ(rt.MoveWordRight(4), 9);
    EXPECT_EQ(rt.MoveWordRight(9), 12);
    EXPECT_EQ(rt.MoveWordLeft(12), 9);
    EXPECT_EQ(rt.MoveWordLeft(9), 4);
    EXPECT_EQ(rt.MoveWordLeft(0), 0);
}

}  // namespace
}  // namespace qb

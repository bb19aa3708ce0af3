// The story ends in one final paragraph mark that is not text: the last \par
// of a stream becomes it, and nothing given out includes it.
#include <gtest/gtest.h>

#include <string>

#include "richtext/article_content.h"
#include "richtext/rich_text.h"
#include "rt_helpers.h"

namespace qb {
namespace {

// \par words written (not \pard).
int CountPar(const std::string& rtf) {
    int n = 0;
    for (std::size_t at = rtf.find("\\par"); at != std::string::npos;
         at = rtf.find("\\par", at + 1))
        if (at + 4 >= rtf.size() || rtf[at + 4] != 'd') ++n;
    return n;
}

TEST(FinalMark, TheLastParOfAStreamIsTheFinalMark) {
    struct Case {
        const char* rtf;
        const char16_t* text;
        int32_t paragraphs;
    };
    for (const Case& c : {
             Case{"{\\rtf1 Hello\\par}", u"Hello", 1}, Case{"{\\rtf1 Hello}", u"Hello", 1},
             Case{"{\\rtf1 a\\par b\\par}", u"a\rb", 2}, Case{"{\\rtf1 a\\par b}", u"a\rb", 2},
             Case{"{\\rtf1 a\\par\\par}", u"a\r", 2}, Case{"{\\rtf1 }", u"", 1},
             Case{"{\\rtf1 \\pard\\par}", u"", 1}, Case{"{\\rtf1 \\par\\par}", u"\r", 2},
             Case{"{\\rtf1 a\\line\\par}", u"a\v", 1}, Case{"{\\rtf1 a\\par\r\n}\r\n", u"a", 1},
             Case{"{\\rtf1 a\\par", u"a", 1},  // truncated
         }) {
        SCOPED_TRACE(c.rtf);
        RichTextControl rt = Load(c.rtf);
        EXPECT_EQ(rt.Text(), c.text);
        EXPECT_EQ(rt.ParagraphCount(), c.paragraphs);
    }
    RichTextControl hello = Load("{\\rtf1 Hello\\par}");
    EXPECT_EQ(hello.LineCount(), 1);
    EXPECT_EQ(hello.LineText(0), u"Hello");
    EXPECT_EQ(Load("{\\rtf1 }").LineCount(), 1);
    EXPECT_EQ(Load("{\\rtf1 \\pard\\par}").LineCount(), 1);
    EXPECT_EQ(Load("{\\rtf1 a\\par\\par}").LineCount(), 2);
}

TEST(FinalMark, HasAPositionAndTheLastRunsFormat) {
    RichTextControl rt = Load("{\\rtf1 plain \\b Hello\\par}");
    int32_t end = rt.TextLength();
    ASSERT_EQ(end, 11);
    EXPECT_TRUE(rt.CharFormatAt(end).Has(kEffectBold));
    EXPECT_EQ(rt.LineFromChar(end), 0);
    EXPECT_EQ(rt.ParagraphFromChar(end), 0);
    // A \par in a format of its own leaves no run behind.
    RichTextControl own = Load("{\\rtf1 a{\\b\\par}}");
    EXPECT_EQ(own.RunCount(), 1);
    EXPECT_FALSE(own.CharFormatAt(own.TextLength()).Has(kEffectBold));
    // A format set at the end (for text appended next) is the mark's.
    RichTextControl set;
    set.SetText(u"x");
    CharFormat italic;
    italic.effects = kEffectItalic;
    set.SetCharFormat(1, 1, italic, kCharMaskItalic);
    EXPECT_TRUE(set.CharFormatAt(1).Has(kEffectItalic));
    EXPECT_FALSE(set.CharFormatAt(0).Has(kEffectItalic));
    // A link that ends at the end of the text is still a valid range.
    RichTextControl link = Load("{\\rtf1 see {\\ul here}\\par}");
    EXPECT_EQ(link.TextRange(4, link.TextLength()), u"here");
    EXPECT_TRUE(link.CharFormatAt(link.TextLength() - 1).Has(kEffectUnderline));
}

TEST(FinalMark, ParagraphFormatsStayWithTheirParagraphs) {
    RichTextControl rt = Load("{\\rtf1 \\pard a\\par\\pard\\qc b\\par}");
    ASSERT_EQ(rt.ParagraphCount(), 2);
    EXPECT_EQ(rt.ParaFormatAt(0).alignment, Align::kLeft);
    EXPECT_EQ(rt.ParaFormatAt(2).alignment, Align::kCenter);
    EXPECT_EQ(rt.ParaFormatAt(rt.TextLength()).alignment, Align::kCenter);
    // Format words after the last \par describe no paragraph of the text.
    RichTextControl after = Load("{\\rtf1 \\pard\\qr a\\par\\pard\\qc}");
    ASSERT_EQ(after.ParagraphCount(), 1);
    EXPECT_EQ(after.ParaFormatAt(0).alignment, Align::kRight);
}

TEST(FinalMark, IsNotInAnyTextGivenOut) {
    RichTextControl rt = Load("{\\rtf1 Hello\\par}");
    EXPECT_EQ(rt.TextLength(), 5);
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kUtf8), "Hello");
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kWindows1252), "Hello");
    EXPECT_EQ(rt.TextRange(0, -1), u"Hello");
    EXPECT_EQ(rt.FindText(0, -1, u"\r", kFindDown), -1);
    EXPECT_EQ(rt.FindText(0, -1, u"Hello", kFindDown | kFindWholeWord), 0);
    EXPECT_EQ(rt.WordAt(2), std::make_pair(0, 5));
    EXPECT_EQ(rt.WordAt(5), std::make_pair(5, 5));
    EXPECT_EQ(rt.MoveWordRight(0), 5);
    EXPECT_EQ(rt.MoveWordLeft(5), 0);
    // An empty paragraph before the mark is text: one CR LF.
    EXPECT_EQ(Load("{\\rtf1 a\\par\\par}").StreamOutText(TextEncoding::kUtf8), "a\r\n");
}

TEST(FinalMark, TheWriterWritesNoParForIt) {
    RichTextControl rt = Load("{\\rtf1 Hello\\par}");
    std::string rtf = rt.StreamOutRtf();
    EXPECT_EQ(CountPar(rtf), 0) << rtf;
    RichTextControl back = Load(rtf);
    EXPECT_EQ(back.ParagraphCount(), 1);
    EXPECT_TRUE(back == rt);
    RichTextControl typed;
    typed.SetText(u"Hello");
    EXPECT_EQ(CountPar(typed.StreamOutRtf()), 0);
    // An empty paragraph before the mark is written as one \par more.
    EXPECT_EQ(CountPar(Load("{\\rtf1 a\\par\\par}").StreamOutRtf()), 2);
    EXPECT_EQ(CountPar(Load("{\\rtf1 a\\par b\\par}").StreamOutRtf()), 1);
}

// In, out, in again: the same model and the same bytes.
void ExpectStable(std::string_view rtf) {
    SCOPED_TRACE(std::string(rtf));
    RichTextControl first = Load(rtf);
    std::string written = first.StreamOutRtf();
    RichTextControl second = Load(written);
    EXPECT_TRUE(first == second) << written;
    EXPECT_EQ(second.ParagraphCount(), first.ParagraphCount());
    EXPECT_EQ(second.LineCount(), first.LineCount());
    EXPECT_EQ(second.CharFormatAt(second.TextLength()), first.CharFormatAt(first.TextLength()));
    EXPECT_EQ(second.StreamOutRtf(), written);
}

TEST(FinalMark, RoundTripsAreStable) {
    for (const char* rtf : {
             "{\\rtf1 Hello\\par}",
             "{\\rtf1 Hello}",
             "{\\rtf1 a\\par b\\par}",
             "{\\rtf1 a\\par\\par}",
             "{\\rtf1 a\\par\\par\\par}",
             "{\\rtf1 }",
             "{\\rtf1 \\pard\\par}",
             "{\\rtf1 \\par\\par}",
             "{\\rtf1 a\\line\\par}",
             "{\\rtf1 a{\\b\\par}}",
             "{\\rtf1 \\b a\\b0\\par}",
             "{\\rtf1 \\qc a\\par\\pard\\par}",
             "{\\rtf1 {\\pict\\pngblip 0102}\\par}",
             "{\\rtf1 a\\par\\qc\\b}",
         })
        ExpectStable(rtf);
    for (const char* name : {"richedit_article.rtf", "lo_sample.rtf"})
        ExpectStable(ReadSample(name));
    // Controls filled as plain text, ending in an empty paragraph or not.
    for (const char16_t* text : {u"a\r\n", u"a", u"\r\n", u"", u"a\r\n\r\n"}) {
        RichTextControl rt;
        rt.SetText(text);
        RichTextControl back = Load(rt.StreamOutRtf());
        EXPECT_EQ(back.Text(), rt.Text());
        EXPECT_EQ(back.ParagraphCount(), rt.ParagraphCount());
    }
}

TEST(FinalMark, AppendingKeepsExactlyOneFinalMark) {
    RichTextControl rt;
    rt.SetText(u"Title");
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 body\\par}", StreamMode::kAppend));
    EXPECT_EQ(rt.Text(), u"Titlebody");
    EXPECT_EQ(rt.ParagraphCount(), 1);
    rt.AppendText(u"\r\n");
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 a\\par b\\par}", StreamMode::kAppend));
    EXPECT_EQ(rt.Text(), u"Titlebody\ra\rb");
    EXPECT_EQ(rt.ParagraphCount(), 3);
    EXPECT_EQ(rt.LineCount(), 3);
    // An empty paragraph in the stream stays one.
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 \\par\\par}", StreamMode::kAppend));
    EXPECT_EQ(rt.Text(), u"Titlebody\ra\rb\r");
    EXPECT_EQ(rt.ParagraphCount(), 4);
    EXPECT_EQ(rt.StreamOutText(TextEncoding::kUtf8), "Titlebody\r\na\r\nb\r\n");
}

TEST(ArticleContent, RichTextLevelsReadRtfAndAnythingElseAsText) {
    RichTextControl rt;
    EXPECT_TRUE(LoadArticleContent(rt, true, "{\\rtf1 \\b Hello\\par}"));
    EXPECT_EQ(rt.Text(), u"Hello");
    EXPECT_TRUE(rt.CharFormatAt(0).Has(kEffectBold));
    EXPECT_TRUE(LoadArticleContent(rt, true, "  \r\n{\\rtf1 x}"));
    EXPECT_EQ(rt.Text(), u"x");
    // Content at a rich-text level that is not RTF is shown as plain text.
    EXPECT_FALSE(LoadArticleContent(rt, true, "plain caf\xe9\r\nnext"));
    EXPECT_EQ(rt.Text(), u"plain caf\u00e9\rnext");
    EXPECT_FALSE(rt.CharFormatAt(0).Has(kEffectBold));
    EXPECT_FALSE(LoadArticleContent(rt, true, "{\\rt"));
    EXPECT_EQ(rt.Text(), u"{\\rt");
    // Older levels are plain text even when the text looks like RTF.
    EXPECT_FALSE(LoadArticleContent(rt, false, "{\\rtf1 x}"));
    EXPECT_EQ(rt.Text(), u"{\\rtf1 x}");
    EXPECT_FALSE(LoadArticleContent(rt, true, ""));
    EXPECT_EQ(rt.TextLength(), 0);
    EXPECT_EQ(rt.ParagraphCount(), 1);
}

TEST(ArticleContent, PlainTextIsReadInTheFilesCodePage) {
    RichTextControl rt;
    CodePage cyrillic = *CodePage::Windows(1251);
    EXPECT_FALSE(LoadArticleContent(rt, false, "\xCF\xF0\xE8\r\n\xE2", cyrillic));
    EXPECT_EQ(rt.Text(), u"\u041F\u0440\u0438\r\u0432");
    // RTF names its own code page; the file's does not change it.
    EXPECT_TRUE(LoadArticleContent(rt, true, "{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", cyrillic));
    EXPECT_EQ(rt.Text(), u"caf\u00e9");
}

}  // namespace
}  // namespace qb

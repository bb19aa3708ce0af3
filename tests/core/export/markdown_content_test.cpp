// An article's content as Markdown: what cmark renders from the written
// Markdown must be the article's text with its emphasis, breaks, lists and
// code, and nothing the text only looked like.
#include "markdown_fixture.h"

namespace qb::testing {
namespace {

const char kFonts[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}"
    "{\\f2\\fnil Consolas;}{\\f3\\fnil\\fprq1 Fixed Thing;}}\\f0 ";

std::string Rtf(const std::string& body) {
    return kFonts + body + "}";
}

std::string Html(const std::string& body, MarkdownContentOptions options = {}) {
    return RenderCommonMark(ContentMarkdown(Rtf(body), options));
}

TEST(MarkdownContent, EmphasisRendersAsTheRunsWere) {
    EXPECT_EQ(Html("plain \\b bold\\b0  \\i italic\\i0  end\\par"),
              "<p>plain <strong>bold</strong> <em>italic</em> end</p>\n");
    EXPECT_EQ(Html("\\b\\i both\\b0\\i0  x\\par"), "<p><strong><em>both</em></strong> x</p>\n");
    // Inside words, and bold over italic ending at different places.
    EXPECT_EQ(Html("mid\\b dle\\b0 word \\b a\\i b\\b0 c\\i0\\par"),
              "<p>mid<strong>dle</strong>word <strong>a<em>b</em></strong><em>c</em></p>\n");
    // A run ending in a space: the delimiter goes before the space.
    EXPECT_EQ(Html("\\b bold \\b0 next\\par"), "<p><strong>bold</strong> next</p>\n");
}

// Where "**" would not be read as emphasis (punctuation inside, a letter
// outside) the HTML form keeps it.
TEST(MarkdownContent, EmphasisNextToPunctuation) {
    EXPECT_EQ(Html("\\b a.\\b0 b \\i (x)\\i0 y \\b \"q\"\\b0\\par"),
              "<p><strong>a.</strong>b <em>(x)</em>y <strong>&quot;q&quot;</strong></p>\n");
    EXPECT_EQ(Html("x\\b *\\b0  y\\par"), "<p>x<strong>*</strong> y</p>\n");
    EXPECT_EQ(Html("x\\b *\\b0 y\\par"), "<p>x<strong>*</strong>y</p>\n");
}

TEST(MarkdownContent, StrikethroughAndUnderline) {
    std::string md = ContentMarkdown(Rtf("a \\strike gone\\strike0  \\ul under\\ul0\\par"));
    EXPECT_EQ(md, "a ~~gone~~ under\n");
    MarkdownContentOptions underline;
    underline.underline = true;
    EXPECT_EQ(Html("a \\ul under\\ul0  b\\par", underline), "<p>a <u>under</u> b</p>\n");
    EXPECT_EQ(Html("\\b\\ul x\\ul0\\b0\\par", underline), "<p><strong><u>x</u></strong></p>\n");
}

TEST(MarkdownContent, ParagraphsBreaksAndTabs) {
    EXPECT_EQ(Html("one\\par two\\line three\\tab 3\\par\\par four\\par"),
              "<p>one</p>\n<p>two<br />\nthree\t3</p>\n<p>four</p>\n");
    // Two breaks in a row, and a break at the end of the paragraph.
    EXPECT_EQ(Html("a\\line\\line b\\line\\par"), "<p>a<br />\n<br />\nb</p>\n");
    // White space starting a line is kept, not read as code.
    EXPECT_EQ(Html("    four spaces\\line\\tab tab\\par"), "<p>    four spaces<br />\n\ttab</p>\n");
}

TEST(MarkdownContent, MonospaceRunsAreCode) {
    EXPECT_EQ(Html("use \\f1 x*y\\f0  or \\f2 a`b\\f0  or \\f3 ``\\f0 .\\par"),
              "<p>use <code>x*y</code> or <code>a`b</code> or <code>``</code>.</p>\n");
    // One code span over runs that differ only in colour.
    EXPECT_EQ(Html("{\\colortbl;\\red255\\green0\\blue0;}\\f1 ab\\cf1 cd\\cf0\\f0\\par"),
              "<p><code>abcd</code></p>\n");
    EXPECT_EQ(Html("\\b\\f1 bold code\\f0\\b0\\par"),
              "<p><strong><code>bold code</code></strong></p>\n");
}

TEST(MarkdownContent, TextThatLooksLikeSyntaxStaysText) {
    EXPECT_EQ(Html("# not a heading\\par 1. not a list\\par - nor this\\par > nor a quote\\par"),
              "<p># not a heading</p>\n<p>1. not a list</p>\n<p>- nor this</p>\n"
              "<p>&gt; nor a quote</p>\n");
    EXPECT_EQ(Html("*a* _b_ [c](d) <e> &amp; `f` a|b\\par"),
              "<p>*a* _b_ [c](d) &lt;e&gt; &amp;amp; `f` a|b</p>\n");
    EXPECT_EQ(Html("---\\par line\\line ===\\par"), "<p>---</p>\n<p>line<br />\n===</p>\n");
}

TEST(MarkdownContent, ListsFollowTheirIndents) {
    const std::string bullet = "\\pard{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}";
    const std::string number = "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent360}";
    std::string body = bullet + "\\li360 one\\par" + bullet + "\\li720 nested\\par" + number +
                       "\\li1080 first\\par" + number + "\\li1080 second\\par" + bullet +
                       "\\li360 two\\par\\pard after\\par";
    std::string md = ContentMarkdown(Rtf(body));
    EXPECT_EQ(RenderCommonMark(md),
              "<ul>\n<li>one\n<ul>\n<li>nested\n<ol>\n<li>first</li>\n<li>second</li>\n"
              "</ol>\n</li>\n</ul>\n</li>\n<li>two</li>\n</ul>\n<p>after</p>\n")
        << md;
    // A numbered list keeps its first number.
    std::string from3 = "\\pard{\\*\\pn\\pnlvlbody\\pndec\\pnstart3\\pnindent360}\\li360 ";
    EXPECT_EQ(Html(from3 + "c\\par" + from3 + "d\\par"),
              "<ol start=\"3\">\n<li>c</li>\n<li>d</li>\n</ol>\n");
    // A break inside an item stays in the item.
    EXPECT_EQ(Html(bullet + "\\li360 a\\line b\\par"), "<ul>\n<li>a<br />\nb</li>\n</ul>\n");
}

TEST(MarkdownContent, LargeBoldFirstLineIsAHeadingOnlyWhenAsked) {
    const std::string body = "\\b\\fs32 Big #1 title #\\b0\\fs20\\par text\\par";
    MarkdownContentOptions headings;
    headings.headings = true;
    EXPECT_EQ(Html(body, headings), "<h1>Big #1 title #</h1>\n<p>text</p>\n");
    EXPECT_EQ(Html(body), "<p><strong>Big #1 title #</strong></p>\n<p>text</p>\n");
    // Small bold, or bold only in part, is no heading.
    EXPECT_EQ(Html("\\b\\fs20 small\\b0\\par", headings), "<p><strong>small</strong></p>\n");
    EXPECT_EQ(Html("\\b\\fs32 half\\b0  not\\par", headings), "<p><strong>half</strong> not</p>\n");
    // Only the first paragraph.
    EXPECT_EQ(Html("x\\par\\b\\fs32 later\\b0\\par", headings),
              "<p>x</p>\n<p><strong>later</strong></p>\n");
}

TEST(MarkdownContent, RecognisedAddressesKeepTheirText) {
    EXPECT_EQ(Html("see http://example.com/a_b*c and www.example.org, or "
                   "mail name@host.example.\\par"),
              "<p>see <a href=\"http://example.com/a_b*c\">http://example.com/a_b*c</a> and "
              "<a href=\"http://www.example.org\">www.example.org</a>, or mail "
              "<a href=\"mailto:name@host.example\">name@host.example</a>.</p>\n");
}

TEST(MarkdownContent, StoredLinksAndPicturesGoThroughTheRun) {
    StoredLink link;
    link.start = 4;
    link.end = 9;
    link.kind = 2;
    RecordingTargets targets;
    std::string md =
        ContentMarkdown(Rtf("see th*re {\\pict\\pngblip 0102} end\\par"), {}, {link}, &targets);
    EXPECT_EQ(md, "see [th\\*re](link2) ![](picture.png) end\n");
    EXPECT_EQ(targets.links, (std::vector<std::string>{"th*re"}));
    EXPECT_EQ(targets.pictures, 1);
}

TEST(MarkdownContent, PlainTextLinesAndParagraphs) {
    MarkdownContentOptions plain;
    plain.plainLines = true;
    std::string md = ContentMarkdown("first *line*\r\n\tsecond\r\n\r\n# third\r\n", plain);
    EXPECT_EQ(RenderCommonMark(md), "<p>first *line*<br />\n\tsecond</p>\n<p># third</p>\n") << md;
}

TEST(MarkdownContent, MonospaceFaces) {
    CharFormat f;
    f.face = "Courier New";
    EXPECT_TRUE(IsMonospace(f));
    f.face = "Arial";
    EXPECT_FALSE(IsMonospace(f));
    f.pitchAndFamily = 0x31;  // fixed pitch, modern family
    EXPECT_TRUE(IsMonospace(f));
}

}  // namespace
}  // namespace qb::testing

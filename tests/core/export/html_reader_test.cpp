#include "export/html_reader.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/font_families.h"
#include "resources/html_colours.h"

namespace qb {
namespace {

class FixedFonts : public FontFamilies {
public:
    explicit FixedFonts(std::set<std::string> names) : names_(std::move(names)) {}
    bool IsInstalled(std::string_view family) const override {
        std::string lower(family);
        for (char& c : lower)
            c = char(std::tolower((unsigned char)c));
        return names_.count(lower) > 0;
    }

private:
    std::set<std::string> names_;
};

struct Read {
    RichTextControl rt;
    std::vector<HtmlLink> links;
};

Read Convert(std::string_view html, HtmlReaderSettings s = {}) {
    Read r;
    r.links = ReadHtml(html, s, r.rt);
    return r;
}

std::u16string TextOf(std::string_view html) {
    return Convert(html).rt.Text();
}

TEST(HtmlColours, TableHasTheKeywordsWithoutTheRepeatedGreys) {
    EXPECT_EQ(HtmlColourCount(), 140u);
    EXPECT_EQ(FindHtmlColour("AliceBlue"), 0xF0F8FFu);
    EXPECT_EQ(FindHtmlColour("lightgrey"), 0xD3D3D3u);
    EXPECT_EQ(FindHtmlColour("yellowgreen"), 0x9ACD32u);
    EXPECT_FALSE(FindHtmlColour("lightgray"));
    EXPECT_FALSE(FindHtmlColour("grey"));
    EXPECT_FALSE(FindHtmlColour(""));
    EXPECT_FALSE(FindHtmlColour(std::string(100, 'a')));
}

TEST(HtmlReader, TextBeforeAnyTagAndInTheHeadIsNotWritten) {
    EXPECT_EQ(TextOf("header line <html><head><title>Cloud</title></head><body>x</body>"), u"x");
    EXPECT_EQ(TextOf("plain text only"), u"");
}

TEST(HtmlReader, EscapedTagStaysText) {
    Read r = Convert("<body>&lt;b&gt;bold?&lt;/b&gt;");
    EXPECT_EQ(r.rt.Text(), u"<b>bold?</b>");
    EXPECT_FALSE(r.rt.CharFormatAt(4).Has(kEffectBold));
}

TEST(HtmlReader, EntitiesNumericAndUnknown) {
    EXPECT_EQ(TextOf("<p>&eacute;&#233;&#128;&#8364;&bogus;&amp x&#;"),
              u"\u00E9\u00E9\u20AC\u20AC&bogus;&amp x&#;");
    EXPECT_EQ(TextOf("<p>&#0;&#99999999999;"), u"\uFFFD\uFFFD");
    EXPECT_EQ(TextOf("<p>&#128512;"), u"\U0001F600");
}

TEST(HtmlReader, WhiteSpaceCollapsesOutsidePre) {
    EXPECT_EQ(TextOf("<p>  a  \r\n  b  "), u"a b ");
    EXPECT_EQ(TextOf("<pre>a  b\nc</pre>"), u"a  b\rc");
    EXPECT_EQ(TextOf("<p>< a 3<4"), u"< a 3<4");
}

TEST(HtmlReader, ParagraphsAddAtMostOneEmptyLineButBreaksAlwaysCount) {
    EXPECT_EQ(TextOf("<body>a<p><p><p>b"), u"a\r\rb");
    EXPECT_EQ(TextOf("<body>a<br><br><br>b"), u"a\r\r\rb");
    EXPECT_EQ(TextOf("<p>first"), u"first");  // no empty lines before the first text
}

TEST(HtmlReader, EffectsAndTheirEnds) {
    Read r = Convert("<body><b>B</b><i>I</i><u>U</u><strike>S</strike><sub>d</sub><sup>u</sup>n");
    EXPECT_TRUE(r.rt.CharFormatAt(0).Has(kEffectBold));
    EXPECT_TRUE(r.rt.CharFormatAt(1).Has(kEffectItalic));
    EXPECT_TRUE(r.rt.CharFormatAt(2).Has(kEffectUnderline));
    EXPECT_TRUE(r.rt.CharFormatAt(3).Has(kEffectStrikeout));
    EXPECT_TRUE(r.rt.CharFormatAt(4).Has(kEffectSubscript));
    EXPECT_TRUE(r.rt.CharFormatAt(5).Has(kEffectSuperscript));
    EXPECT_EQ(r.rt.CharFormatAt(6).effects, 0u);
    // An unbalanced closing tag is ignored.
    EXPECT_EQ(TextOf("<body></b></font></ul>x"), u"x");
}

TEST(HtmlReader, CloudLineGivesColourAndLimitedSize) {
    Read r = Convert(
        "<HTML>\n<HEAD><TITLE>Keyword Cloud</TITLE></HEAD>\n<BODY>\n"
        "<FONT COLOR=\"#ff0000\" SIZE=\"1\">alpha</FONT>\n"
        "<FONT COLOR=\"#00007f\" SIZE=\"8\">beta</FONT>\n<P></P>\n</BODY>\n</HTML>\n");
    EXPECT_EQ(r.rt.Text().substr(0, 11), u"alpha beta ");
    CharFormat a = r.rt.CharFormatAt(0), b = r.rt.CharFormatAt(6);
    EXPECT_EQ(a.colour, MakeColour(255, 0, 0));
    EXPECT_EQ(a.height, 160);
    EXPECT_EQ(b.colour, MakeColour(0, 0, 0x7f));
    EXPECT_EQ(b.height, 720);  // 8 is shown as 7: 36 points
}

TEST(HtmlReader, ColourValues) {
    HtmlReaderSettings s;
    s.textColour = MakeColour(1, 2, 3);
    auto colourOf = [&](std::string attr) {
        Read r = Convert("<body><font color=" + attr + ">x", s);
        return r.rt.CharFormatAt(0).colour;
    };
    EXPECT_EQ(colourOf("\"#fff\""), MakeColour(0xff, 0xf0, 0));  // missing digits count as 0
    EXPECT_EQ(colourOf("#zz0000"), MakeColour(0, 0, 0));
    EXPECT_EQ(colourOf("Teal"), MakeColour(0, 128, 128));
    EXPECT_EQ(colourOf("nosuchcolour"), MakeColour(0, 0, 0));
    // White on the white window is shown in the default text colour.
    EXPECT_EQ(colourOf("white"), MakeColour(1, 2, 3));
    EXPECT_EQ(colourOf("'#FFFFFF'"), MakeColour(1, 2, 3));
}

TEST(HtmlReader, SizesRelativeToTheBaseFont) {
    auto heightOf = [](std::string html) { return Convert(html).rt.CharFormatAt(0).height; };
    EXPECT_EQ(heightOf("<body><font size=+1>x"), 280);
    EXPECT_EQ(heightOf("<body><font size=-5>x"), 160);
    EXPECT_EQ(heightOf("<body><basefont size=6><font size=+3>x"), 720);
    EXPECT_EQ(heightOf("<body><font size=0>x"), 160);
    EXPECT_EQ(heightOf("<body><h1>x"), 480);
    EXPECT_EQ(heightOf("<body><small><small><small><small>x"), 160);
}

TEST(HtmlReader, FaceTakesTheFirstInstalledFamily) {
    FixedFonts fonts({"arial", "dejavu sans"});
    HtmlReaderSettings s;
    s.defaultFace = "Display Face";
    s.fonts = &fonts;
    auto faceOf = [&](std::string html) { return Convert(html, s).rt.CharFormatAt(0).face; };
    EXPECT_EQ(faceOf("<body><font face=\"Not Installed, Arial\">x"), "Arial");
    EXPECT_EQ(faceOf("<body><font face='Nope,\"DejaVu Sans\"'>x"), "DejaVu Sans");
    EXPECT_EQ(faceOf("<body><font face=\"Nope\">x"), "Display Face");
    EXPECT_EQ(faceOf("<body>x"), "Display Face");
    EXPECT_EQ(faceOf("<body><tt>x"), "Courier New");
}

TEST(HtmlReader, ListsTablesAndDefinitionLists) {
    EXPECT_EQ(TextOf("<body><ul><li>a<li>b</ul>c"), u"   \u00B7 a\r   \u00B7 b\rc");
    EXPECT_EQ(TextOf("<body><ol><li>a<ol><li>b</ol></ol>"), u"  1. a\r\t  1. b");
    EXPECT_EQ(TextOf("<body><table><tr><td>a<td>b<tr><td>c</table>d"), u"a\tb\rc\rd");
    EXPECT_EQ(TextOf("<body><blockquote>q</blockquote>"), u"\tq");
    EXPECT_EQ(TextOf("<body><img alt=\"pic\" src=x>"), u"[pic]");
}

TEST(HtmlReader, LinksAreCollectedWithTheirPositions) {
    Read r = Convert("<body>see <a href=\"http://a.example/?x=1&amp;y\">the <b>site</b></a>.");
    EXPECT_EQ(r.rt.Text(), u"see the site.");
    ASSERT_EQ(r.links.size(), 1u);
    EXPECT_EQ(r.links[0].start, 4);
    EXPECT_EQ(r.links[0].end, 12);
    EXPECT_EQ(r.links[0].target, "http://a.example/?x=1&y");
    // An unclosed link ends with the page.
    EXPECT_EQ(Convert("<body><a href=x>open").links.at(0).end, 4);
    // The paragraph end that closes the page is the final mark, not text:
    // no link reaches past the text.
    for (const char* page : {"<body><a href=x>ab<p></a>", "<body>ab<p><a href=x></a>",
                             "<body>ab<br><a href=x><p></a><p>"}) {
        SCOPED_TRACE(page);
        Read end = Convert(page);
        for (const HtmlLink& l : end.links) {
            EXPECT_LE(l.end, end.rt.TextLength());
            EXPECT_LE(l.start, l.end);
        }
    }
}

TEST(HtmlReader, ScriptsAndCommentsAreSkipped) {
    EXPECT_EQ(TextOf("<body>a<script>if (a<b) x();</SCRIPT>b<!-- <b>c</b> -->d"), u"abd");
    EXPECT_EQ(TextOf("<body>a<script>never closed"), u"a");
    EXPECT_EQ(TextOf("<body>a<!-- never closed"), u"a");
    EXPECT_EQ(TextOf("<body>a<font color=\"never closed"), u"a");
}

TEST(HtmlReader, TenMegabytesOfNestedUnclosedTagsStayBounded) {
    std::string page = "<html><body>";
    const std::string unit = "<font color=red><big><b><ul><li><blockquote><dl><table><td>x";
    while (page.size() < 10'000'000)
        page += unit;
    Read r = Convert(page);
    std::size_t units = (page.size() - 12) / unit.size();
    // Each unit writes its "x", a bullet and at most the capped indentation.
    EXPECT_GE(r.rt.TextLength(), int32_t(units));
    EXPECT_LE(std::size_t(r.rt.TextLength()), units * 64);
    EXPECT_EQ(r.rt.CharFormatAt(r.rt.TextLength() - 1).height, 720);
}

}  // namespace
}  // namespace qb

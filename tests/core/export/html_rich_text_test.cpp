#include "export/html_rich_text.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "core/export/html_fixture.h"
#include "export/html_writer.h"

namespace qb {
namespace {

using testing::ConvertRtf;
using testing::Count;
using testing::Rtf;

const std::string kFont = "<FONT FACE=\"Arial\" SIZE=\"2\" COLOR=\"#000000\">";

TEST(HtmlRichText, OneParagraphExactly) {
    EXPECT_EQ(ConvertRtf(Rtf("Hello")), kFont + "Hello<br>\r\n</FONT>\r\n<br>\r\n");
}

TEST(HtmlRichText, SizesEffectsAndColours) {
    EXPECT_EQ(HtmlFontSize(36), 7);
    EXPECT_EQ(HtmlFontSize(35), 6);
    EXPECT_EQ(HtmlFontSize(24), 6);
    EXPECT_EQ(HtmlFontSize(23), 5);
    EXPECT_EQ(HtmlFontSize(18), 5);
    EXPECT_EQ(HtmlFontSize(14), 4);
    EXPECT_EQ(HtmlFontSize(13), 3);
    EXPECT_EQ(HtmlFontSize(12), 3);
    EXPECT_EQ(HtmlFontSize(11), 2);
    EXPECT_EQ(HtmlFontSize(9), 2);
    EXPECT_EQ(HtmlFontSize(8), 1);

    std::string out = ConvertRtf(
        Rtf("a{\\fs24 b}{\\fs72 c}{\\fs18\\super d}{\\sub e}{\\b\\i\\ul\\strike\\cf1 f}"));
    EXPECT_NE(out.find(kFont + "a</FONT><FONT FACE=\"Arial\" SIZE=\"3\" COLOR=\"#000000\">b"),
              std::string::npos);
    EXPECT_NE(out.find("SIZE=\"7\" COLOR=\"#000000\">c</FONT>"), std::string::npos);
    // 9 pt raised is read as 5 pt.
    EXPECT_NE(out.find("SIZE=\"1\" COLOR=\"#000000\"><SUP>d</SUP></FONT>"), std::string::npos);
    EXPECT_NE(out.find("SIZE=\"1\" COLOR=\"#000000\"><SUB>e</SUB></FONT>"), std::string::npos);
    EXPECT_NE(out.find("COLOR=\"#ff0000\"><STRIKE><U><I><B>f<br>\r\n</B></I></U></STRIKE></FONT>"),
              std::string::npos)
        << out;
}

TEST(HtmlRichText, AlignmentChanges) {
    std::string out =
        ConvertRtf(Rtf("\\qr right\\par\\pard\\qj just\\par\\pard\\qc mid\\par\\pard left"));
    EXPECT_EQ(out, "<p ALIGN=right>\r\n" + kFont + "right</FONT>\r\n</p>\r\n" +
                       "<p ALIGN=left>\r\n" + kFont + "just</FONT>\r\n</p>\r\n" +
                       "<p ALIGN=center>\r\n" + kFont + "mid</FONT>\r\n</p>\r\n" + kFont +
                       "left<br>\r\n</FONT>\r\n<br>\r\n");
}

TEST(HtmlRichText, ListsAtSeveralIndents) {
    const std::string bullet = "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}\\fi-360";
    const std::string number = "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent0}\\fi-360";
    std::string out =
        ConvertRtf(Rtf(bullet + "\\li720 a\\par\\pard" + bullet + "\\li1080 b\\par\\pard" + number +
                       "\\li720 c\\par\\pard" + number + "\\li1440 d"));
    std::string item = "<li>\r\n" + kFont;
    EXPECT_EQ(out,
              "<blockquote>\r\n<ul>\r\n" + kFont + item + "a<br>\r\n</FONT>\r\n</li>\r\n" +
                  "<blockquote>\r\n" + item + "b<br>\r\n</FONT>\r\n</li>\r\n</blockquote>\r\n" +
                  "</font>\r\n</ul>\r\n</blockquote>\r\n" + "<blockquote>\r\n<ol>\r\n" + kFont +
                  item + "c<br>\r\n</FONT>\r\n</li>\r\n" + item + "d<br>\r\n</FONT>\r\n</li>\r\n" +
                  "</font>\r\n</ol>\r\n</blockquote>\r\n<br>\r\n");
}

TEST(HtmlRichText, QuotationLevelsCloseOnce) {
    std::string out = ConvertRtf(Rtf("plain\\par\\pard\\li360 one\\par\\pard\\li720 two"));
    EXPECT_EQ(out, kFont + "plain<br>\r\n</FONT>\r\n<blockquote>\r\n" + kFont +
                       "one<br>\r\n</FONT>\r\n</blockquote>\r\n<blockquote>\r\n<blockquote>\r\n" +
                       kFont + "two<br>\r\n</FONT>\r\n</blockquote>\r\n</blockquote>\r\n<br>\r\n");
}

TEST(HtmlRichText, StoredAndRecognisedLinksSideBySide) {
    // "see link www.a.org and x": "link" is stored, the address recognised.
    std::vector<StoredLink> links(1);
    links[0].start = 4;
    links[0].end = 8;
    links[0].kind = 2;
    links[0].target = "WWW.q.com";
    std::string out = ConvertRtf(Rtf("see {\\ul\\cf1 link} www.a.org and x"), links);
    const std::string inLink = "<FONT FACE=\"Arial\" SIZE=\"2\">";
    EXPECT_NE(out.find(kFont + "see </FONT><a href=\"http://WWW.q.com\">" + inLink +
                       "link</FONT></a>" + kFont + " </FONT>" + kFont +
                       "<a href=\"http://www.a.org\">www.a.org</a></FONT>" + kFont + " and x"),
              std::string::npos)
        << out;
}

TEST(HtmlRichText, StoredTargetsByKind) {
    auto linkOf = [](int16_t kind, std::string target, int32_t article) {
        StoredLink l;
        l.start = 0;
        l.end = 3;
        l.kind = kind;
        l.target = std::move(target);
        l.articleId = article;
        return l;
    };
    // An article that is not exported: the text without colour, no anchor.
    std::string out = ConvertRtf(Rtf("{\\ul\\cf1 abc} d"), {linkOf(3, "", 7)});
    EXPECT_EQ(Count(out, "<a "), 0u);
    EXPECT_NE(out.find("<FONT FACE=\"Arial\" SIZE=\"2\">abc</FONT>"), std::string::npos);

    out = ConvertRtf(Rtf("abc d"), {linkOf(3, "", 7)}, {{7, "a0007.htm"}});
    EXPECT_NE(out.find("<a href=\"a0007.htm\"><FONT FACE=\"Arial\" SIZE=\"2\">abc</FONT></a>"),
              std::string::npos);

    out = ConvertRtf(Rtf("abc d"), {linkOf(1, "C:\\Notes\\a.txt", -1)});
    EXPECT_NE(out.find("<a href=\"file://C:/Notes/a.txt\">"), std::string::npos);

    // Mapped through the Drives settings, the link opens here.
    LinkContext mapped;
    mapped.drives = {{"C:", "/mnt/c"}};
    out = ConvertRtf(Rtf("abc d"), {linkOf(1, "C:\\Notes\\a.txt", -1)}, {}, mapped);
    EXPECT_NE(out.find("<a href=\"file:///mnt/c/Notes/a.txt\">"), std::string::npos);

    // A quote in a stored address cannot end the attribute.
    out = ConvertRtf(Rtf("abc d"), {linkOf(2, "http://x/\"><script>", -1)});
    EXPECT_NE(out.find("<a href=\"http://x/&quot;><script>\">"), std::string::npos);
}

TEST(HtmlRichText, EmailGetsMailtoOnceInItsHrefOnly) {
    std::string out = ConvertRtf(Rtf("write bob@host.com now"));
    EXPECT_EQ(Count(out, "mailto:"), 1u);
    EXPECT_NE(out.find("<a href=\"mailto:bob@host.com\">bob@host.com</a>"), std::string::npos);
}

TEST(HtmlRichText, CharactersOutsideTheCodePageBecomeReferences) {
    std::string out = ConvertRtf(Rtf("\\'e9 \\u8364? \\u4660? \\u-10179?\\u-8704? <"));
    EXPECT_NE(out.find("&eacute; \x80 &#4660; &#128512; &lt;"), std::string::npos) << out;
}

TEST(HtmlRichText, LongContentCrossesBuffersAndCancelStops) {
    std::string body;
    for (int i = 0; i < 3000; ++i)
        body += "paragraph number " + std::to_string(i) + "\\par ";
    std::string out = ConvertRtf(Rtf(body));
    ASSERT_GT(out.size(), 2 * HtmlWriter::kBufferSize);
    EXPECT_EQ(Count(out, "</FONT>\r\n"), 3001u);
    EXPECT_NE(out.find(">paragraph number 2999<br>"), std::string::npos);

    struct StoppedProgress : ProgressWindow {
        void SetText(const std::string&) override {}
        void SetRange(int64_t) override {}
        void SetPosition(int64_t) override {}
        bool Cancelled() const override { return true; }
    } cancelled;
    testing::TempDir dir;
    HtmlWriter w{HtmlSettings{}};
    w.Open(dir / "c.htm");
    CArticle a;
    a.level = 6;
    a.richText = Rtf(body);
    EXPECT_FALSE(w.WriteArticleContent(a, {}, &cancelled));
    NoProgressWindow going;
    EXPECT_TRUE(w.WriteArticleContent(a, {}, &going));
}

TEST(HtmlRichText, ListFontComesFromTheParagraphMark) {
    const std::string bullet = "{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720";
    // The item's text is 12 pt, its paragraph mark 10 pt.
    std::string out = ConvertRtf(Rtf(bullet + "\\fs24 a\\fs20\\par\\pard after"));
    EXPECT_NE(out.find("<ul>\r\n" + kFont + "<li>\r\n<FONT FACE=\"Arial\" SIZE=\"3\""),
              std::string::npos)
        << out;
}

TEST(HtmlRichText, QuotedFileLinkAndALinkPastTheEnd) {
    std::string out = ConvertRtf(Rtf("see file://\"C:\\\\My Notes\\\\a.txt\" now"));
    EXPECT_NE(out.find("<a href=\"file://C:\\My Notes\\a.txt\">"), std::string::npos) << out;

    // A stored link reaching beyond the text is still ended.
    StoredLink l;
    l.start = 2;
    l.end = 1000;
    l.kind = 2;
    l.target = "http://x.org";
    out = ConvertRtf(Rtf("ab cd"), {l});
    EXPECT_EQ(Count(out, "<a "), 1u);
    EXPECT_EQ(Count(out, "</a>"), 1u);
    EXPECT_LT(out.find("<a href=\"http://x.org\">"), out.find("</a>"));
}

TEST(HtmlRichText, AnotherCodePageKeepsOnlyTheAsciiEntities) {
    // Windows-1252 but for one byte that stands for U+0119 instead of U+00E9.
    std::array<char32_t, 256> decode{};
    for (int b = 0; b < 256; ++b)
        decode[std::size_t(b)] = b < 0x80 ? char32_t(b) : char32_t(0xFFFF);
    decode[0xE9] = 0x0119;
    decode[0xA0] = 0x00A0;
    HtmlSettings settings;
    settings.codePage = std::make_shared<OutputCodePage>(decode, false);
    CArticle a;
    a.level = 6;
    a.richText = Rtf("\\u281? \\'e9 \\'a0 <&>");
    std::string out =
        testing::Written([&](HtmlWriter& w) { w.WriteArticleContent(a, {}, nullptr); }, settings);
    EXPECT_NE(out.find(">\xE9 &#233; \xA0 &lt;&amp;&gt;"), std::string::npos) << out;
}

}  // namespace
}  // namespace qb

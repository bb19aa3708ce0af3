// The block of each article in a copy: its lines as text, and the RTF form
// read back through the engine.
#include <gtest/gtest.h>

#include "copy_fixture.h"
#include "richtext/rich_text.h"

namespace qb::testing {
namespace {

class CopyBlockTest : public CopyTest {};

TEST_F(CopyBlockTest, TwoAttachmentsAndThreeKeywordsInTheirOrder) {
    qbw::ArticleData a;
    a.title = "Trip \xE9t\xE9";  // Windows-1252
    a.articleDate = 20240102;
    a.richText = "{\\rtf1 line one\\par line two}";
    a.keywordIds = {0, 1, 2};
    a.attachments = {{1, "sub\\map.png", -1, 0}, {2, "http://x.example/a", -1, 0}};
    OpenArticles({qbw::EncodeArticleNew(a)});
    EXPECT_EQ(TextOf(0),
              "Trip \xC3\xA9t\xC3\xA9\r\n"
              "Date: 1/2/2024\r\n"
              "Attachment: " +
                  dir.Path() +
                  "/Docs/sub/map.png\r\n"
                  "Attachment: http://x.example/a\r\n"
                  "Keywords: Alpha, mid, zeta\r\n"
                  "\r\n"
                  "line one\r\nline two\r\n"
                  "\r\n");
}

TEST_F(CopyBlockTest, WithoutKeywordsDateOrContentTheLinesStay) {
    qbw::ArticleData a;
    a.title = "Bare";
    OpenArticles({qbw::EncodeArticleNew(a)});
    EXPECT_EQ(TextOf(0), "Bare\r\nDate: \r\nKeywords: \r\n\r\n\r\n\r\n");
}

TEST_F(CopyBlockTest, UnmappedFileAttachmentShowsItsWindowsForm) {
    qbw::ArticleData a;
    a.attachments = {{1, "Q:\\far\\away.txt", -1, 0}};
    OpenArticles({qbw::EncodeArticleNew(a)});
    EXPECT_NE(TextOf(0).find("\r\nAttachment: Q:\\far\\away.txt\r\n"), std::string::npos);
}

TEST_F(CopyBlockTest, RichContentAsItsTextAndPlainLevelsLiterally) {
    OpenArticles({qbw::EncodeArticleNew(Rich("R", "{\\rtf1 Rich \\b bold\\b0\\par second\\par}")),
                  qbw::EncodeArticleOld(Rich("P", ""), 4)});
    EXPECT_NE(TextOf(0).find("\r\n\r\nRich bold\r\nsecond\r\n\r\n"), std::string::npos)
        << TextOf(0);

    qbw::ArticleData p;
    p.title = "P";
    p.plainText = "{\\rtf1 not rich}\nbare LF";
    OpenArticles({qbw::EncodeArticleOld(p, 4)});
    CopiedArticle c = Read(0);
    EXPECT_FALSE(c.richText);
    std::string text;
    AppendCopyText(text, c);
    // Every line end of the content becomes CR LF.
    EXPECT_NE(text.find("\r\n\r\n{\\rtf1 not rich}\r\nbare LF\r\n\r\n"), std::string::npos);
}

TEST_F(CopyBlockTest, UnreadableKeywordStopsTheRead) {
    qbw::ArticleData a;
    a.keywordIds = {1, 999999};
    OpenArticles({qbw::EncodeArticleNew(a)});
    EXPECT_THROW(Read(0), CQuillError);
}

TEST_F(CopyBlockTest, RtfReadsBackToTheSameWordsAndFormats) {
    qbw::ArticleData plain;
    plain.title = "Plain";
    plain.articleDate = 20231231;
    plain.plainText = "just text";
    plain.keywordIds = {2};
    OpenArticles({qbw::EncodeArticleNew(Rich("Rich", "{\\rtf1 a \\b bold\\b0  end\\par}")),
                  qbw::EncodeArticleOld(plain, 4)});
    ArticleCopy copy;
    copy.Add(Read(0));
    copy.Add(Read(1));
    EXPECT_EQ(copy.Count(), 2u);

    RichTextControl back;
    ASSERT_TRUE(back.StreamInRtf(copy.Rtf()));
    // The RTF block ends with a line end and two empty lines where the
    // text ends with one: the same words, one line more.
    EXPECT_EQ(back.StreamOutText(TextEncoding::kUtf8),
              "Rich\r\nDate: \r\nKeywords: \r\n\r\na bold end\r\n\r\n\r\n"
              "Plain\r\nDate: 12/31/2023\r\nKeywords: mid\r\n\r\njust text\r\n\r\n\r\n");
    EXPECT_EQ(copy.Text(),
              "Rich\r\nDate: \r\nKeywords: \r\n\r\na bold end\r\n\r\n"
              "Plain\r\nDate: 12/31/2023\r\nKeywords: mid\r\n\r\njust text\r\n\r\n");
    int32_t bold = back.FindText(0, -1, u"bold", kFindDown);
    ASSERT_GE(bold, 0);
    EXPECT_TRUE(back.CharFormatAt(bold).Has(kEffectBold));
    // The next article's heading does not carry the bold on.
    EXPECT_FALSE(back.CharFormatAt(back.FindText(0, -1, u"Plain", kFindDown)).Has(kEffectBold));
}

TEST_F(CopyBlockTest, HeadingAfterAListIsNotAListItem) {
    OpenArticles({qbw::EncodeArticleNew(
                      Rich("A", "{\\rtf1 {\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fs40 item\\par}")),
                  qbw::EncodeArticleNew(Rich("B", "{\\rtf1 b}"))});
    ArticleCopy copy;
    copy.Add(Read(0));
    copy.Add(Read(1));
    RichTextControl back;
    ASSERT_TRUE(back.StreamInRtf(copy.Rtf()));
    int32_t item = back.FindText(0, -1, u"item", kFindDown);
    int32_t b = back.FindText(item, -1, u"B", kFindDown | kFindMatchCase);
    ASSERT_GE(b, 0);
    EXPECT_EQ(back.ParaFormatAt(item).numbering, Numbering::kBullet);
    EXPECT_EQ(back.ParaFormatAt(b).numbering, Numbering::kNone);
    EXPECT_EQ(back.CharFormatAt(b).height, back.DefaultCharFormat().height);
}

// The copy re-streamed after every article, the way the rich-edit control
// had to be driven: the one-pass copy must give the same RTF.
std::string RestreamedEachArticle(const std::vector<CopiedArticle>& articles) {
    RichTextControl c;
    std::string rtf;
    for (const CopiedArticle& a : articles) {
        AppendCopyRtf(c, a);
        rtf = c.StreamOutRtf();
        EXPECT_TRUE(c.StreamInRtf(rtf));
    }
    return rtf;
}

TEST_F(CopyBlockTest, OnePassRtfEqualsTheRestreamAfterEveryArticle) {
    qbw::ArticleData plain;
    plain.title = "Plain \x80";
    plain.plainText = "one\r\ntwo\r\n";
    plain.keywordIds = {0, 1};
    plain.attachments = {{2, "www.example.org", -1, 0}};
    OpenArticles({
        qbw::EncodeArticleNew(Rich("Fonts",
                                   "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\froman Times;}}"
                                   "{\\colortbl ;\\red255\\green0\\blue0;}"
                                   "\\f1\\cf1 red times\\par\\qc centred\\par}")),
        qbw::EncodeArticleOld(plain, 4),
        qbw::EncodeArticleNew(Rich("List", "{\\rtf1{\\*\\pn\\pnlvlbody\\pndec}one\\par two}")),
        qbw::EncodeArticleNew(Rich("Empty", "")),
        qbw::EncodeArticleNew(Rich("Unicode", "{\\rtf1\\uc1 caf\\u233?\\line x\\par\\par}")),
    });
    std::vector<CopiedArticle> articles;
    ArticleCopy copy;
    for (int32_t id = 0; id < 5; ++id) {
        articles.push_back(Read(id));
        copy.Add(articles.back());
    }
    EXPECT_EQ(copy.Rtf(), RestreamedEachArticle(articles));
}

}  // namespace
}  // namespace qb::testing

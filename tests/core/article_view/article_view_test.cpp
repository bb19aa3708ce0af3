// The article window's model over written files: title cut, plain and rich
// content, attachments and stored links, and hostile records.
#include <gtest/gtest.h>

#include "article/article_view_model.h"
#include "core/document/doc_fixture.h"

namespace qb::testing {
namespace {

class ArticleViewTest : public DocTest {
protected:
    ArticleViewModel Load(const qbw::ArticleData& a, int level = 0) {
        qbw::FileBuilder b;
        b.SetRecord(1, 0, level ? qbw::EncodeArticleOld(a, level) : qbw::EncodeArticleNew(a));
        b.SetRecord(0, 0, qbw::EncodeKeyword("Zeta", {0}));
        b.SetRecord(0, 1, qbw::EncodeKeyword("Alpha", {0}));
        EXPECT_TRUE(Open(b));
        TargetContext ctx;
        ctx.linkBase = "C:\\Docs";
        ctx.drives = {{"C:", dir.Path()}};
        return LoadArticleView(*doc, 0, locale, ctx);
    }
};

TEST_F(ArticleViewTest, LongTitleIsCutInTheFieldButNotInTheCaption) {
    qbw::ArticleData a;
    a.title = std::string(4999, 'x') + "\xE9";  // 5000 characters, the last one two bytes in UTF-8
    ArticleViewModel m = Load(a);
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.caption.size(), 5001u);
    EXPECT_EQ(m.titleField, std::string(4600, 'x'));
    a.title = std::string(4599, 'x') + "\xE9\xE9";
    m = Load(a);
    EXPECT_EQ(m.titleField, std::string(4599, 'x') + "\xC3\xA9");
}

TEST_F(ArticleViewTest, PlainAndRichLevelsAndDisplayDefaults) {
    qbw::ArticleData a;
    a.title = "T";
    a.plainText = "plain {\\rtf1 not rtf}";
    a.display.wordWrap = 0;
    a.display.autoOpen = 2;
    a.display.linkDisplay = 1;
    ArticleViewModel plain = Load(a, 4);
    EXPECT_FALSE(plain.richText);
    EXPECT_EQ(plain.display, ArticleDisplayProps::Defaults(doc->Defaults()));
    EXPECT_TRUE(plain.WordWrap());  // the file's default

    a.level = 5;
    a.richText = "{\\rtf1 Rich \\b bold}";
    ArticleViewModel rich = Load(a);
    EXPECT_TRUE(rich.richText);
    EXPECT_EQ(rich.content.Text(), u"Rich bold");
    EXPECT_FALSE(rich.WordWrap());
    EXPECT_EQ(rich.AutoOpenMode(), 2);
    EXPECT_EQ(rich.display.linkDisplay, 1);
}

TEST_F(ArticleViewTest, KeywordsInStoredOrderAndBookmark) {
    qbw::ArticleData a;
    a.keywordIds = {0, 1};
    ArticleViewModel m = Load(a);
    EXPECT_EQ(m.keywords, (std::vector<std::string>{"Zeta", "Alpha"}));
    EXPECT_FALSE(m.bookmarked);
}

TEST_F(ArticleViewTest, AttachmentsOfEachKindAndFlags) {
    qbw::ArticleData a;
    a.attachments = {{1, "sub\\Pic.png", -1, 0},
                     {2, "http://x.example/?q=1", -1, 1},
                     {3, "", 0, 2},
                     {1, "Q:\\far\\away.txt", -1, 3}};
    ArticleViewModel m = Load(a);
    ASSERT_EQ(m.attachments.size(), 4u);
    const AttachmentView& file = m.attachments[0];
    EXPECT_EQ(file.resolved.windows, "C:\\Docs\\sub\\Pic.png");
    ASSERT_TRUE(file.resolved.linux);
    EXPECT_EQ(*file.resolved.linux, dir.Path() + "/Docs/sub/Pic.png");
    EXPECT_EQ(file.galleryLabel, "Pic.png");
    EXPECT_TRUE(file.enabled && file.inGallery);
    EXPECT_EQ(m.attachments[1].galleryLabel, "http://x.example/?q=1");
    EXPECT_FALSE(m.attachments[1].enabled);
    EXPECT_TRUE(m.attachments[2].enabled);
    EXPECT_FALSE(m.attachments[2].inGallery);
    EXPECT_FALSE(m.attachments[3].resolved.linux);
    EXPECT_EQ(m.attachments[3].resolved.missingKey, "Q:");
    EXPECT_EQ(m.attachmentTip, "4 attachments");
}

TEST_F(ArticleViewTest, TooltipIsTheOneTargetCutOrNone) {
    qbw::ArticleData a;
    EXPECT_FALSE(Load(a).attachmentTip);
    a.attachments = {{2, "http://" + std::string(100, 'w'), -1, 0}};
    ArticleViewModel m = Load(a);
    ASSERT_TRUE(m.attachmentTip);
    EXPECT_EQ(*m.attachmentTip, ("http://" + std::string(100, 'w')).substr(0, 80));
}

TEST_F(ArticleViewTest, StoredLinksOfEachKind) {
    qbw::ArticleData a;
    a.title = "Self";
    a.richText = "{\\rtf1 one two three}";
    a.links = {{0, 3, 1, -1, qbw::kNil, qbw::kNil, "x.txt"},
               {4, 7, 2, -1, qbw::kNil, qbw::kNil, "http://a.example"},
               {8, 13, 3, 0, qbw::kNil, qbw::kNil, ""}};
    ArticleViewModel m = Load(a);
    ASSERT_EQ(m.links.size(), 3u);
    EXPECT_EQ(m.links[0].description, "File: " + dir.Path() + "/Docs/x.txt");
    EXPECT_EQ(m.links[1].description, "URL: http://a.example");
    EXPECT_EQ(m.links[2].kind, 3);
    EXPECT_EQ(m.links[2].start, 8);
    EXPECT_EQ(m.links[2].end, 13);
}

TEST_F(ArticleViewTest, HostileArticleNeverCrashes) {
    qbw::ArticleData a;
    a.richText = "{\\rtf1 short}";
    a.links = {{-5, 1 << 30, 9, 1 << 30, 0, 0, std::string(3000, '\\')},
               {100, 50, 3, -7, qbw::kNil, qbw::kNil, ""}};
    a.keywordIds = {-1, 999999};
    a.attachments = {{7, std::string(2000, '\\'), -1, -1}};
    ArticleViewModel m = Load(a);
    EXPECT_TRUE(m.loaded);
    EXPECT_LE(m.links.size(), 2u);
    EXPECT_LE(m.attachments.size(), 1u);
}

TEST_F(ArticleViewTest, UnreadableArticleIsReported) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, qbw::EncodeArticleNew(qbw::ArticleData{}));
    ASSERT_TRUE(Open(b));
    for (int32_t id : {-1, 5}) {
        ui.messages.clear();
        ArticleViewModel m = LoadArticleView(*doc, id, locale, TargetContext{});
        EXPECT_FALSE(m.loaded);
        EXPECT_TRUE(m.caption.empty());
        EXPECT_EQ(ui.messages.size(), 1u);
    }
}

}  // namespace
}  // namespace qb::testing

// Following stored article links (privacy, the created-moment check) and
// the status-bar descriptions of stored links.
#include <gtest/gtest.h>

#include "article/link_following.h"
#include "core/document/doc_fixture.h"
#include "resources/strings.h"
#include "support/recording_launcher.h"

namespace qb::testing {
namespace {

const qbw::Key16 kSalt{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const qbw::Key16 kMaterial{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                           0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};

std::string DatedArticle(const std::string& title, int32_t date, int32_t time, uint16_t flags = 0,
                         qbw::NewArticleOptions o = {}) {
    qbw::ArticleData a;
    a.title = title;
    a.flags = flags;
    a.createdDate = date;
    a.createdTime = time;
    a.richText = "{\\rtf1 " + title + "}";
    return qbw::EncodeArticleNew(a, o);
}

StoredLink ArticleLink(int32_t id, int32_t date, int32_t time) {
    StoredLink l;
    l.kind = 3;
    l.articleId = id;
    l.createdDate = date;
    l.createdTime = time;
    return l;
}

// Article 0 public, article 1 private, both created on day 40000 at 3600.
qbw::FileBuilder LinkedFile() {
    qbw::Privacy p = qbw::MakePrivacy("Secret", kSalt, kMaterial);
    qbw::FileBuilder b;
    b.SetRecord(1, 0, DatedArticle("Caf\xE9", 40000, 3600));
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kPrivate;
    o.blobs.contentKey = p.contentKey;
    b.SetRecord(1, 1, DatedArticle("Hidden", 40000, 3600, 0x0003, o));
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({1}));
    return b;
}

class ArticleLinkTest : public DocTest {
protected:
    ArticleLinkResult Follow(const StoredLink& l) {
        return FollowArticleLink(*doc, l, [this](int32_t id) { opened.push_back(id); });
    }
    std::vector<int32_t> opened;
};

TEST_F(ArticleLinkTest, TheSameArticleOpensItsWindow) {
    ASSERT_TRUE(Open(LinkedFile()));
    EXPECT_EQ(Follow(ArticleLink(0, 40000, 3600)), ArticleLinkResult::Opened);
    EXPECT_EQ(opened, std::vector<int32_t>{0});
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(ArticleLinkTest, AnotherCreatedMomentOrAMissingRecordMeansTheTargetIsGone) {
    ASSERT_TRUE(Open(LinkedFile()));
    EXPECT_EQ(Follow(ArticleLink(0, 40000, 3601)), ArticleLinkResult::Gone);
    EXPECT_EQ(ui.LastText(), "The target article no longer exists.");
    EXPECT_EQ(Follow(ArticleLink(0, 40001, 3600)), ArticleLinkResult::Gone);
    EXPECT_EQ(Follow(ArticleLink(7, 40000, 3600)), ArticleLinkResult::Gone) << "no such record";
    EXPECT_EQ(Follow(ArticleLink(-1, 40000, 3600)), ArticleLinkResult::Gone);
    EXPECT_EQ(ui.Count(), 4u);
    EXPECT_TRUE(opened.empty());
}

TEST_F(ArticleLinkTest, APrivateTargetNeedsThePrivateArticlesShown) {
    ASSERT_TRUE(Open(LinkedFile()));
    EXPECT_EQ(Follow(ArticleLink(1, 40000, 3600)), ArticleLinkResult::Private);
    EXPECT_EQ(ui.LastText(), CQuillError(51).Message());
    EXPECT_EQ(ui.LastText().rfind("This is a hypertext link to a private article.", 0), 0u);
    ASSERT_TRUE(doc->CheckPassword("Secret"));
    EXPECT_EQ(Follow(ArticleLink(1, 40000, 3600)), ArticleLinkResult::Opened);
    EXPECT_EQ(opened, std::vector<int32_t>{1});
}

TEST_F(ArticleLinkTest, DescriptionsByKind) {
    ASSERT_TRUE(Open(LinkedFile()));
    TargetContext ctx;
    ctx.drives = {{"C:", dir.Path()}};
    EXPECT_EQ(DescribeStoredLink(*doc, ArticleLink(0, 40000, 3600), ctx), "Article: Caf\xC3\xA9");
    EXPECT_EQ(DescribeStoredLink(*doc, ArticleLink(0, 1, 3600), ctx), "Article: ");
    EXPECT_EQ(DescribeStoredLink(*doc, ArticleLink(9, 1, 1), ctx), "Article: ");

    StoredLink file;
    file.kind = 1;
    file.target = "C:\\test.QBX";
    EXPECT_EQ(DescribeStoredLink(*doc, file, ctx), "File: " + path);
    file.target = "C:\\";
    EXPECT_EQ(DescribeStoredLink(*doc, file, ctx), "Folder: " + dir.Path() + "/");
    file.target = "Q:\\x";
    EXPECT_EQ(DescribeStoredLink(*doc, file, ctx), "File: Q:\\x") << "unmapped: the Windows form";

    StoredLink url;
    url.kind = 2;
    url.target = "http://example.org/" + std::string(2000, 'a');
    std::string d = DescribeStoredLink(*doc, url, ctx);
    EXPECT_EQ(d.size(), kMaxLinkDescription);
    EXPECT_EQ(d.rfind("URL: http://example.org/aaa", 0), 0u);
    // The limit counts characters, not the bytes of their UTF-8 form.
    url.target = "http://x/" + std::string(2000, '\xE9');
    d = DescribeStoredLink(*doc, url, ctx);
    size_t chars = 0;
    for (unsigned char c : d)
        chars += (c & 0xC0) != 0x80;
    EXPECT_EQ(chars, kMaxLinkDescription);
    EXPECT_EQ(d.substr(d.size() - 2), "\xC3\xA9") << "no character is cut in half";
    url.kind = 9;
    EXPECT_EQ(DescribeStoredLink(*doc, url, ctx), "");
}

TEST_F(ArticleLinkTest, FollowingDispatchesByKind) {
    ASSERT_TRUE(Open(LinkedFile()));
    RecordingLauncher launcher;
    TargetContext ctx;
    ctx.drives = {{"C:", dir.Path()}};
    TargetOpener opener(launcher, ui, ctx);
    StoredLink l;
    l.kind = 1;
    l.target = "C:\\test.qbx";
    FollowStoredLink(*doc, opener, l, nullptr);
    l.kind = 2;
    l.target = "mailto:a@b.org";
    FollowStoredLink(*doc, opener, l, nullptr);
    FollowStoredLink(*doc, opener, ArticleLink(0, 40000, 3600),
                     [this](int32_t id) { opened.push_back(id); });
    ASSERT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(launcher.calls[0].target, path);
    EXPECT_EQ(launcher.calls[1].target, "mailto:a@b.org");
    EXPECT_EQ(opened, std::vector<int32_t>{0});
}

}  // namespace
}  // namespace qb::testing

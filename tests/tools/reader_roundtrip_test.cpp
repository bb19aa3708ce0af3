// The writer against the reader: files built here must read back as written,
// and damage made with the writer's helpers must fail cleanly.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "datafile/data_file.h"
#include "datafile/quill_error.h"
#include "datafile/record_stream.h"
#include "datafile/records.h"
#include "richtext/rich_text.h"
#include "support/temp_files.h"
#include "writer/qbx_writer.h"

namespace {

int OpenCode(const qbw::Image& img) {
    qb::testing::TempDir dir;
    qb::CDataFile file;
    try {
        file.Open(dir.Write("damaged.qbx", img.bytes), false);
        qb::IdSet ids;
        file.ListLiveRecords(ids);
        for (int32_t id : ids)
            qb::ReadArticle(file, id, qb::RecordDefaults{});
    } catch (const qb::CQuillError& e) {
        return e.Code();
    }
    return 0;
}

qbw::ArticleData Sample(int32_t id) {
    qbw::ArticleData a;
    a.title = "Notiz \xfc" + std::to_string(id);
    a.richText = "{\\rtf1\\ansi " + std::string(3000 + id * 37, 'r') + "}";
    a.articleDate = 20200101 + id;
    a.createdDate = 20190101;
    a.createdTime = 3600 + id;
    a.keywordIds = {id % 3, 2};
    a.attachments = {{1, "notes\\a.txt"}, {2, "http://example.org/x"}};
    a.links = {{0, 5, 3, id, 20190101, 7, "Target"}};
    a.display.wordWrap = 1;
    return a;
}

// Small scattered blocks: every record and the table cross many blocks and
// several chain-table blocks, in no particular order.
TEST(WriterReaderRoundTrip, ScatteredSmallBlocksReadBack) {
    qbw::FileBuilder fb;
    fb.SetGeometry(32, 8).Scatter(7);
    for (int32_t id = 0; id < 40; ++id)
        if (id % 5 != 4) fb.SetRecord(1, id, qbw::EncodeArticleNew(Sample(id)));
    fb.SetTableCount(1, 45);
    fb.SetRecord(0, 0, qbw::EncodeKeyword("K\xe9ywords", {1, 2, 3}));
    fb.SetRecord(3, 1, qbw::EncodeGroup("Gr\xfcppe", {0}));
    fb.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({12, 3, 7}));
    qb::testing::TempDir dir;

    qb::CDataFile file;
    file.Open(dir.Write("scattered.qbx", fb.BuildImage().bytes), false);
    EXPECT_EQ(file.BlockSize(), 32);
    EXPECT_EQ(file.LiveCount(qb::table::kArticles), 32);
    qb::IdSet ids;
    file.ListLiveRecords(ids);
    ASSERT_EQ(ids.Count(), 32u);
    qb::RecordDefaults d;
    for (int32_t id : ids) {
        ASSERT_NE(id % 5, 4);
        const qbw::ArticleData want = Sample(id);
        const qb::CArticle a = qb::ReadArticle(file, id, d);
        EXPECT_EQ(a.title, want.title);
        EXPECT_EQ(a.richText, want.richText);
        EXPECT_EQ(a.articleDate, want.articleDate);
        EXPECT_EQ(a.createdTime, want.createdTime);
        EXPECT_EQ(a.modifiedDate, want.articleDate);  // unset: the article date
        ASSERT_EQ(a.attachments.size(), 2u);
        EXPECT_EQ(a.attachments[0].target, "notes\\a.txt");
        EXPECT_EQ(a.attachments[1].kind, 2);
        ASSERT_EQ(a.links.size(), 1u);
        EXPECT_EQ(a.links[0].articleId, id);
        EXPECT_EQ(a.links[0].target, "Target");
    }
    EXPECT_EQ(qb::ReadKeyword(file, 0).name, "K\xe9ywords");
    EXPECT_EQ(qb::ReadGroupName(file, 1), "Gr\xfcppe");
    EXPECT_THROW(qb::ReadGroup(file, 0), qb::CQuillError);  // the empty slot
    qb::IdSet bookmarks;
    qb::LoadIdStream(file, qbw::stream::kBookmarks, bookmarks);
    EXPECT_EQ(bookmarks, qb::IdSet({3, 7, 12}));
}

TEST(WriterReaderRoundTrip, DamagedChainsFailWithoutHanging) {
    qbw::FileBuilder fb;
    fb.SetGeometry(16, 4);
    fb.SetRecord(1, 0, qbw::EncodeArticleNew(Sample(0)));
    const qbw::Image good = fb.BuildImage();
    const std::vector<int32_t> chain = good.layout.records.at({1, 0});
    ASSERT_GT(chain.size(), 5u);
    EXPECT_EQ(OpenCode(good), 0);

    qbw::Image cycle = good;
    cycle.SetChainEntry(chain[3], chain[1]);  // loops long before the record's end
    EXPECT_EQ(OpenCode(cycle), qb::err::kCorrupted);

    qbw::Image cut = good;
    cut.BreakChain(chain, 2);
    EXPECT_EQ(OpenCode(cut), qb::err::kCorrupted);

    qbw::Image outside = good;
    outside.BreakChain(chain, 2, 1 << 20);
    EXPECT_NE(OpenCode(outside), 0);

    qbw::Image noEntries = good;
    noEntries.SetEntriesField(0);
    EXPECT_EQ(OpenCode(noEntries), qb::err::kCorrupted);

    qbw::Image oddBlocks = good;
    oddBlocks.SetBlockSizeField(20);
    EXPECT_EQ(OpenCode(oddBlocks), qb::err::kCorrupted);
}

// ---- The generated demo file ------------------------------------------------

class DemoFile : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";
        if (!std::filesystem::exists(path_)) GTEST_SKIP() << "demo file not built: " << path_;
        file_.Open(path_, false);
    }
    int32_t Find(const std::string& title) {
        qb::IdSet ids;
        file_.ListLiveRecords(ids);
        for (int32_t id : ids) {
            try {
                if (qb::ReadArticleSummary(file_, id, defaults_).title == title) return id;
            } catch (const qb::CQuillError& e) {
                EXPECT_EQ(e.Code(), qb::err::kCorrupted);  // a locked private article
            }
        }
        ADD_FAILURE() << "no article " << title;
        return -1;
    }
    std::string path_;
    qb::CDataFile file_;
    qb::RecordDefaults defaults_;
};

TEST_F(DemoFile, OpensLockedWithItsCollections) {
    EXPECT_EQ(file_.Version(), 300);
    EXPECT_EQ(file_.BlockSize(), 512);
    EXPECT_EQ(file_.EntriesPerBlock(), 128);
    EXPECT_FALSE(file_.AsksPasswordAtOpen());
    EXPECT_EQ(file_.LiveCount(qb::table::kKeywords), 25);
    EXPECT_EQ(file_.LiveCount(qb::table::kGroups), 5);
    EXPECT_EQ(file_.LiveCount(qb::table::kArticles), 36);
    EXPECT_EQ(qb::ReadKeywordName(file_, 23), "P\xe2tisserie");

    qb::SavedQueries q;
    qb::LoadSavedQueries(file_, q);
    ASSERT_EQ(q.queries.size(), 5u);
    EXPECT_EQ(q.queries[3].dateFrom, 20230601);
    EXPECT_EQ(q.recent, (std::vector<int16_t>{2, 0, 4}));
    qb::Reminders r;
    qb::LoadReminders(file_, r, defaults_);
    EXPECT_EQ(r.list.size(), 3u);
    qb::PageSetupValues page;
    qb::LoadPageSetup(file_, page);
    EXPECT_EQ(page.read, 12);
    EXPECT_EQ(page.values[1], 100);
}

TEST_F(DemoFile, PrivateArticlesNeedThePassword) {
    qb::PrivacyData p;
    qb::LoadPrivacyData(file_, p);
    EXPECT_NE(p.passwordSet, 0);
    qb::ContentKey key{};
    EXPECT_FALSE(qb::CheckPrivacyPassword(p, "Demo", key));
    ASSERT_TRUE(qb::CheckPrivacyPassword(p, "demo", key));

    qb::IdSet privateIds;
    qb::LoadIdStream(file_, qbw::stream::kPrivateIds, privateIds);
    ASSERT_EQ(privateIds.Count(), 2u);
    // Locked: the zero key fails the private blobs' size check.
    EXPECT_THROW(qb::ReadArticle(file_, privateIds.At(0), defaults_), qb::CQuillError);
    file_.SetContentKey(key);
    const qb::CArticle a = qb::ReadArticle(file_, privateIds.At(0), defaults_);
    EXPECT_EQ(a.title, "The Secret Orchid Meadow");
    EXPECT_TRUE(a.IsPrivate());
    EXPECT_NE(a.richText.find("bee orchids"), std::string::npos);
}

TEST_F(DemoFile, StoredLinksPointAtTheirTargets) {
    const int32_t from = Find("Bretagne: C\xf4te de Granit Rose");
    const qb::CArticle a = qb::ReadArticle(file_, from, defaults_);
    ASSERT_EQ(a.links.size(), 1u);
    const qb::StoredLink& l = a.links[0];
    EXPECT_EQ(l.kind, 3);
    EXPECT_EQ(l.end - l.start,
              static_cast<int32_t>(std::string("The cr\xeapes afterwards").size()));
    const qb::CArticle t = qb::ReadArticle(file_, l.articleId, defaults_);
    EXPECT_EQ(t.title, "Cr\xeapes in Perros-Guirec");
    EXPECT_EQ(t.createdDate, l.createdDate);
    EXPECT_EQ(t.createdTime, l.createdTime);
    EXPECT_EQ(a.flags & qb::article_flags::kHasLinks, qb::article_flags::kHasLinks);

    // The positions are the rich-edit control's: list numbers and bullets
    // take no characters, a paragraph mark takes one.
    const std::vector<std::pair<std::string, std::u16string>> shown = {
        {"Bretagne: C\xf4te de Granit Rose", u"The cr\u00eapes afterwards"},
        {"First Swallows of the Year", u"dawn chorus notes"},
        {"The Dawn Chorus \x96 Who Sings First?", u"The swallows"},
        {"Garden Jobs for September", u"Strip the turf for the meadow"}};
    for (const auto& [title, phrase] : shown) {
        const qb::CArticle x = qb::ReadArticle(file_, Find(title), defaults_);
        qb::RichTextControl rich;
        ASSERT_TRUE(rich.StreamInRtf(x.richText));
        ASSERT_FALSE(x.links.empty());
        EXPECT_TRUE(rich.TextRange(x.links[0].start, x.links[0].end) == phrase) << title;
    }

    const qb::CArticle old = qb::ReadArticle(file_, Find("Seed Order 1998"), defaults_);
    EXPECT_EQ(old.level, 3);
    EXPECT_NE(old.plainText.find("\x93"
                                 "Cupani\x94"),
              std::string::npos);
}

// The stored relative target beside the demo file, as the reader maps it.
std::string BesideDemo(const std::string& target) {
    std::string rest = target.rfind(".\\", 0) == 0 ? target.substr(2) : target;
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return std::string(QB_BINARY_DIR) + "/samples/" + rest;
}

TEST_F(DemoFile, ArticleWindowsHaveLinksOfEveryKindAndPicturesToShow) {
    const qb::CArticle jobs = qb::ReadArticle(file_, Find("Garden Jobs for September"), defaults_);
    qb::RichTextControl rich;
    ASSERT_TRUE(rich.StreamInRtf(jobs.richText));
    std::set<int16_t> kinds;
    for (const qb::StoredLink& l : jobs.links)
        kinds.insert(l.kind);
    EXPECT_EQ(kinds, (std::set<int16_t>{1, 2, 3}));
    for (const qb::StoredLink& l : jobs.links)
        if (l.kind == 1) {
            EXPECT_TRUE(rich.TextRange(l.start, l.end) == u"the garden bird list");
            EXPECT_TRUE(std::filesystem::is_regular_file(BesideDemo(l.target))) << l.target;
        }
    // Text the link recogniser finds: a www. address and an e-mail address.
    const std::u16string text = rich.TextRange(0, rich.TextLength());
    EXPECT_NE(text.find(u"www.hawthorn-allotments.org.uk"), std::u16string::npos);
    EXPECT_NE(text.find(u"seeds@hawthorn-allotments.org.uk"), std::u16string::npos);

    // Galleries with pictures: small PNG files copied beside the demo file.
    for (const char* title : {"First Swallows of the Year", "Planning the Wildflower Meadow",
                              "Autumn Fungi in the Beech Wood"}) {
        const qb::CArticle a = qb::ReadArticle(file_, Find(title), defaults_);
        int pictures = 0;
        for (const qb::CAttachment& att : a.attachments) {
            if (att.kind != 1 || att.target.size() < 4 ||
                att.target.compare(att.target.size() - 4, 4, ".png") != 0)
                continue;
            const std::string path = BesideDemo(att.target);
            ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
            const auto size = std::filesystem::file_size(path);
            EXPECT_TRUE(size > 200 && size < 16 * 1024) << path << " " << size;
            std::ifstream in(path, std::ios::binary);
            char magic[8] = {};
            in.read(magic, 8);
            EXPECT_EQ(std::string(magic, 8), "\x89PNG\r\n\x1a\n") << path;
            ++pictures;
        }
        EXPECT_GT(pictures, 0) << title;
    }
    // And a folder attachment, relative to the file.
    const qb::CArticle meadow =
        qb::ReadArticle(file_, Find("Planning the Wildflower Meadow"), defaults_);
    bool folder = false;
    for (const qb::CAttachment& att : meadow.attachments)
        folder = folder || (att.kind == 1 && std::filesystem::is_directory(BesideDemo(att.target)));
    EXPECT_TRUE(folder);
}

}  // namespace

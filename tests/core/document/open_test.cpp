// Opening a file through the document: names, article sets, the repaired
// bookmark list, the per-file streams and what the windows are told.
#include "datafile/records.h"
#include "doc_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

using ::testing::ElementsAre;

qbw::FileBuilder ThreeArticles() {
    qbw::FileBuilder b;
    for (int i = 0; i < 3; ++i)
        b.SetRecord(1, i, Article("Article " + std::to_string(i)));
    return b;
}

// Free slots at the end of the table: names are read only for used slots,
// the free ones are valid ids with empty names.
TEST_F(DocTest, KeywordTableWithFreeSlotsAtItsEnd) {
    auto b = ThreeArticles();
    b.SetRecord(0, 0, Keyword("Animals")).SetRecord(0, 1, Keyword("Birds"));
    b.SetTableCount(0, 5);
    ASSERT_TRUE(Open(b));
    IdSet all;
    doc->AllKeywords(all);
    EXPECT_THAT(Ids(all), ElementsAre(0, 1));
    EXPECT_EQ(doc->KeywordName(1), "Birds");
    EXPECT_EQ(doc->KeywordName(4), "");
    EXPECT_FALSE(doc->IsKeyword(4));
    try {
        doc->KeywordName(5);
        FAIL() << "an id beyond the table must raise code 5";
    } catch (const CQuillError& e) {
        EXPECT_EQ(e.Code(), err::kCorrupted);
        EXPECT_EQ(e.Path(), path);
    }
}

// A deleted keyword in the middle leaves count − free short of the last id:
// the keywords after the hole must not be lost.
TEST_F(DocTest, TablesWithAHoleInTheMiddleKeepTheirLastEntries) {
    auto b = ThreeArticles();
    b.SetRecord(0, 0, Keyword("Alpha")).SetRecord(0, 2, Keyword("Gamma"));
    b.SetRecord(0, 3, Keyword("Delta"));
    b.SetRecord(3, 0, qbw::EncodeGroup("G0", {0})).SetRecord(3, 2, qbw::EncodeGroup("G2", {2}));
    ASSERT_TRUE(Open(b));
    ASSERT_EQ(doc->File().LiveCount(table::kKeywords), 3);
    IdSet kw, groups;
    doc->AllKeywords(kw);
    doc->AllGroups(groups);
    EXPECT_THAT(Ids(kw), ElementsAre(0, 2, 3));
    EXPECT_EQ(doc->KeywordName(3), "Delta");
    EXPECT_EQ(doc->FindKeyword("delta"), 3);
    EXPECT_THAT(Ids(groups), ElementsAre(0, 2));
    EXPECT_EQ(doc->FindGroup("g2"), 2);
    EXPECT_EQ(doc->GroupCount(), 2);
    EXPECT_EQ(index.Count("OnNoGroups"), 0);
}

TEST_F(DocTest, BrokenKeywordChainGivesAnEmptyNameAndTheOpenGoesOn) {
    auto b = ThreeArticles();
    b.SetRecord(0, 0, Keyword("Short"));
    b.SetRecord(0, 1, Keyword(std::string(1500, 'x')));  // spans several blocks
    b.SetRecord(0, 2, Keyword("Last"));
    qbw::Image img = b.BuildImage();
    img.BreakChain(img.layout.records.at({0, 1}), 0);
    path = dir.Write("broken.qbx", img.bytes);
    ASSERT_TRUE(doc->OnOpenDocument(path)) << ui.LastText();
    IdSet all;
    doc->AllKeywords(all);
    EXPECT_THAT(Ids(all), ElementsAre(0, 2));
    EXPECT_EQ(doc->KeywordName(1), "");
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(DocTest, BookmarksOfDeletedArticlesAreRepairedInMemoryAndReportedOnce) {
    auto b = ThreeArticles();
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({2, 0, 7, 9}));
    std::string bytes = b.Build();
    path = dir.Write("bm.qbx", bytes);
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_THAT(Ids(doc->Bookmarks()), ElementsAre(0, 2));
    EXPECT_EQ(doc->VisibleBookmarkCount(), 2);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.LastText(), FormatResource(msg::kBookmarksRepaired, path));
    EXPECT_EQ(ReadFile(path), bytes) << "the repair must not reach the file";
}

TEST_F(DocTest, ExcludedArticlesLeaveEveryListAndCount) {
    auto b = ThreeArticles();
    b.SetTableCount(1, 6);  // three free slots
    b.SetStream(qbw::stream::kExcludedIds, qbw::EncodeIdStream({1}));
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({1, 2}));
    ASSERT_TRUE(Open(b));
    EXPECT_THAT(Ids(doc->AllArticles()), ElementsAre(0, 2));
    EXPECT_EQ(doc->VisibleCount(), 2);
    EXPECT_THAT(Ids(doc->Bookmarks()), ElementsAre(2));
}

TEST_F(DocTest, SummariesAreReadOnceAndAFailedReadIsTriedAgain) {
    qbw::ArticleData a;
    a.title = "With links";
    a.flags = 0x00C0;
    a.articleDate = 20240101;
    a.articleTime = 3600;
    a.createdDate = 20230505;
    a.attachments.push_back({1, "/tmp/x.txt"});
    a.attachments.push_back({2, "http://example.com"});
    auto b = ThreeArticles();
    b.SetRecord(1, 0, qbw::EncodeArticleNew(a));
    qbw::NewArticleOptions raw;
    raw.blobs.mode = qbw::BlobMode::kRaw;
    b.SetRecord(1, 3, Article(std::string(2000, 'z'), 0, raw));  // title spans blocks
    qbw::Image img = b.BuildImage();
    img.BreakChain(img.layout.records.at({1, 3}), 0);
    path = dir.Write("s.qbx", img.bytes);
    ASSERT_TRUE(doc->OnOpenDocument(path));

    const ArticleSummary& s = doc->Summary(0);
    EXPECT_EQ(s.title, "With links");
    EXPECT_EQ(s.articleDate, 20240101);
    EXPECT_EQ(s.articleTime, 3600);
    EXPECT_EQ(s.createdDate, 20230505);
    EXPECT_EQ(s.attachmentCount, 2);
    EXPECT_TRUE(s.hasLinks);
    EXPECT_EQ(&doc->Summary(0), &s) << "kept, not read again";

    EXPECT_THROW(doc->Summary(3), CQuillError);
    EXPECT_FALSE(doc->HasSummary(3));
    EXPECT_FALSE(doc->SummaryTitle(3).has_value());
    EXPECT_FALSE(doc->SummaryTitle(-1).has_value());
    EXPECT_EQ(doc->SummaryTitle(2), "Article 2");
}

TEST_F(DocTest, ArticlesOfKeywordAreSortedAndDamageIsSilentOnlyForCode5) {
    auto b = ThreeArticles();
    b.SetRecord(0, 0, Keyword("K", {2, 0, 1}));
    b.SetTableCount(0, 3);
    ASSERT_TRUE(Open(b));
    IdSet out;
    doc->ArticlesOfKeyword(0, out);
    EXPECT_THAT(Ids(out), ElementsAre(0, 1, 2));
    doc->ArticlesOfKeyword(2, out);  // free slot: code 5
    EXPECT_TRUE(out.Empty());
    EXPECT_EQ(ui.Count(), 0u);
    doc->ArticlesOfKeyword(99, out);  // beyond the table: reported
    EXPECT_TRUE(out.Empty());
    EXPECT_EQ(ui.Count(), 1u);
}

TEST_F(DocTest, NegativeKeywordIdsReadTheInMemoryList) {
    ASSERT_TRUE(Open(ThreeArticles()));
    doc->MemoryKeywordNames() = {"First", ""};
    EXPECT_EQ(doc->KeywordName(-1), "First");
    EXPECT_EQ(doc->KeywordName(-2), "");
    EXPECT_EQ(doc->KeywordName(-3), "");
    EXPECT_FALSE(doc->IsKeyword(-1));
}

TEST_F(DocTest, WindowsAreToldAboutOpenAndClose) {
    auto b = ThreeArticles();
    b.SetStream(qbw::stream::kSavedQueries,
                qbw::EncodeSavedQueries({{"Recent", "a AND b"}, {"Old", "c"}}, {}));
    ASSERT_TRUE(Open(b, "notes.qbx"));
    EXPECT_EQ(main.title, "notes");
    EXPECT_FALSE(main.noDocument);
    EXPECT_THAT(main.recent, ElementsAre(path));
    EXPECT_THAT(main.queryMenu, ElementsAre("Recent", "Old"));
    EXPECT_EQ(index.Count("OnFileLoaded"), 1);
    EXPECT_EQ(index.Count("OnNoGroups"), 1);
    EXPECT_TRUE(doc->IsOpen());

    doc->DeleteContents();
    EXPECT_FALSE(doc->IsOpen());
    EXPECT_EQ(main.title, "");
    EXPECT_TRUE(main.noDocument);
    EXPECT_TRUE(main.queryMenu.empty());
    EXPECT_TRUE(doc->AllArticles().Empty());

    EXPECT_EQ(&doc->Index(), &index);
    doc->SetIndexWindow(nullptr);
    // Without a window the document's notices go nowhere and every
    // question about the window answers NIL_BLOCK.
    IndexWindow& none = doc->Index();
    EXPECT_NE(&none, &index);
    none.OnFileLoaded();
    none.SetViewMode(1);
    EXPECT_EQ(none.ViewMode(), NIL_BLOCK);
    EXPECT_EQ(none.IsWindowVisible(), NIL_BLOCK);
    EXPECT_EQ(none.PreviewFlags(), NIL_BLOCK);
    EXPECT_EQ(none.SelectedMode(), NIL_BLOCK);
    EXPECT_EQ(none.HighlightedCount(), NIL_BLOCK);
    EXPECT_EQ(none.TitleMemberCount(), NIL_BLOCK);
    EXPECT_EQ(index.Count("OnFileLoaded"), 1);
}

TEST_F(DocTest, AFailedOpenReportsOnceAndLeavesNoDocument) {
    path = dir.Write("junk.qbx", std::string(600, 'j'));
    EXPECT_FALSE(doc->OnOpenDocument(path));
    EXPECT_EQ(ui.Count(), 1u);
    EXPECT_NE(doc->LastOpenError(), 0);
    EXPECT_FALSE(doc->IsOpen());
    EXPECT_EQ(index.Count("OnFileLoaded"), 0);
}

TEST_F(DocTest, RelativeLinkBaseFollowsTheFileOption) {
    auto base = [&](int16_t where, const std::string& text) {
        qbw::FileSettingsData fs;
        fs.wordWrap = 1;
        fs.relativeLinkLocation = where;
        fs.relativeLinkPath = text;
        auto b = ThreeArticles();
        b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(fs));
        EXPECT_TRUE(Open(b));
        return doc->RelativeLinkBase();
    };
    EXPECT_EQ(base(0, "/ignored"), "/prefs/attachments");
    EXPECT_EQ(base(1, ""), dir.Path());
    EXPECT_EQ(base(2, "/stored/place"), "/stored/place");
    EXPECT_EQ(base(2, ""), "/prefs/attachments");
    EXPECT_EQ(base(7, "/x"), "/prefs/attachments");
}

TEST_F(DocTest, PerFileStreamsAreReadAndMissingOnesKeepDefaults) {
    auto b = ThreeArticles();
    b.SetStream(qbw::stream::kExportHeader, qbw::EncodeTextStream("My export"));
    qbw::ReminderData r1, r2;
    r1.date = 20240102;
    r1.articleId = 1;
    r2.date = 20240103;
    r2.articleId = 2;
    b.SetStream(qbw::stream::kReminders, qbw::EncodeReminders({r1, r2}));
    ASSERT_TRUE(Open(b, "book.qbx"));
    EXPECT_EQ(doc->ExportHeader(), "My export");
    EXPECT_EQ(doc->PrintHeader(), "book");  // absent: the file's title
    EXPECT_FALSE(doc->HasOwnSettings());
    EXPECT_EQ(doc->ReminderCount(), 2u);
    EXPECT_TRUE(doc->HasReminder(2));
    EXPECT_FALSE(doc->HasReminder(0));
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

// Table counts far beyond what the file holds must cost neither time nor
// memory: only the slots the table's blocks really hold are looked at.
TEST_F(DocTest, HugeTableCountsInTheHeaderAreHarmless) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, Article("A"));
    b.SetRecord(0, 0, Keyword("K"));
    b.SetRecord(3, 0, qbw::EncodeGroup("G", {0}));
    qbw::Image img = b.BuildImage();
    for (int t : {0, 1, 3})
        img.PatchInt32(qbw::hdr::Descriptor(t), 0x7FFFFFFF);
    path = dir.Write("huge.qbx", img.bytes);
    if (!doc->OnOpenDocument(path)) {
        EXPECT_EQ(ui.Count(), 1u);  // refused with a message is fine too
        return;
    }
    IdSet all;
    doc->AllKeywords(all);
    EXPECT_THAT(Ids(all), ElementsAre(0));
    EXPECT_THAT(Ids(doc->AllArticles()), ElementsAre(0));
    EXPECT_EQ(doc->KeywordName(123456789), "");
    EXPECT_THROW(doc->Summary(123456789), CQuillError);
    EXPECT_FALSE(doc->HasSummary(123456789));
}

}  // namespace
}  // namespace qb::testing

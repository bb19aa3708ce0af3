// The report setup dialogs' rules: the keyword lists in name order, the
// range availability, the dates, the count fields, and the settings a
// report is shown and exported with.
#include "export/report_setup.h"

#include "app/settings.h"
#include "core/document/doc_fixture.h"

namespace qb::testing {
namespace {

class ReportSetupTest : public DocTest {};

TEST_F(ReportSetupTest, ListsKeepNameOrderAndLeaveOutUnnamedKeywords) {
    qbw::FileBuilder b;
    for (int32_t i = 0; i < 3; ++i)
        b.SetRecord(1, i, Article("T"));
    b.SetRecord(0, 0, Keyword("pear", {0})).SetRecord(0, 1, Keyword("", {1}));
    b.SetRecord(0, 2, Keyword("Apple", {1})).SetRecord(0, 3, Keyword("fig", {2}));
    ASSERT_TRUE(Open(b));
    std::vector<ReportKeyword> choices = ReportKeywordChoices(*doc, locale);
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].name, "Apple");
    EXPECT_EQ(choices[2].name, "pear");

    ReportKeywordLists lists(choices);
    EXPECT_FALSE(lists.CanRun());
    lists.Include({0, 2, 77});  // an id not offered is ignored
    EXPECT_TRUE(lists.CanRun());
    EXPECT_EQ(lists.IncludedIds(), (std::vector<int32_t>{2, 0}));  // Apple, pear
    ASSERT_EQ(lists.Available().size(), 1u);
    EXPECT_EQ(lists.Available()[0].name, "fig");
    lists.Exclude({2});
    EXPECT_EQ(lists.IncludedIds(), (std::vector<int32_t>{0}));
    lists.IncludeAll();
    EXPECT_EQ(lists.IncludedIds(), (std::vector<int32_t>{2, 3, 0}));
    lists.Clear();
    EXPECT_FALSE(lists.CanRun());
    EXPECT_EQ(UsageCounts(*doc).high, 3);
}

TEST_F(ReportSetupTest, DatesRangesAndSorts) {
    ReportParameters p;
    ASSERT_TRUE(ReadReportDates("", "", locale, ui, p));
    EXPECT_EQ(p.fromDate, INT32_MIN);
    EXPECT_EQ(p.toDate, INT32_MAX);
    ASSERT_TRUE(ReadReportDates("2023-02-01", "2023-03-31", locale, ui, p));
    EXPECT_EQ(p.fromDate, 20230201);
    EXPECT_EQ(p.toDate, 20230331);
    EXPECT_FALSE(ReadReportDates("soon", "", locale, ui, p));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(p.fromDate, 20230201);  // a refused date changes nothing

    ReportRangeChoices r;
    r.selected = true;
    EXPECT_TRUE(r.Allows(ReportRange::kAll));
    EXPECT_TRUE(r.Allows(ReportRange::kSelected));
    EXPECT_FALSE(r.Allows(ReportRange::kBookmarked));
    EXPECT_EQ(UsageSortOf(true, true), UsageSort::kCountDescending);
    EXPECT_EQ(UsageSortOf(false, true), UsageSort::kNameDescending);
    EXPECT_EQ(UsageSortOf(false, false), UsageSort::kNameAscending);
}

TEST(ReportSettings, TextColourAndCloudBase) {
    ArticleFont f = DefaultArticleFont();
    EXPECT_EQ(ReportFont(f, -1).colour, kAutoColour);
    EXPECT_EQ(ReportFont(f, 0x0000FF).colour, 0x0000FFu);
    EXPECT_EQ(ReportFont(f, -1).height, 180);  // 9 points
    EXPECT_EQ(CloudBaseColour(-1), 0u);
    EXPECT_EQ(CloudBaseColour(0x123456), 0x123456u);
    EXPECT_EQ(ReportFormatOfPath("/a/b.HTML"), ReportFileFormat::kHtml);
    EXPECT_EQ(ReportFormatOfPath("b.rtf"), ReportFileFormat::kRtf);
    EXPECT_EQ(ReportFormatOfPath("b.txt"), ReportFileFormat::kText);
    EXPECT_FALSE(ReportFormatOfPath("/a.rtf/b"));
    EXPECT_STREQ(ReportFileSuffix(3), "htm");
    EXPECT_STREQ(ReportFileSuffix(0), "txt");
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

// Many articles and keywords with few of them: the reports look each
// article up instead of merging, and must still leave out what is hidden
// or outside the range.
TEST_F(ReportSetupTest, FewArticlesOfManyAreCountedAndKeptExactly) {
    qbw::Privacy privacy = qbw::MakePrivacy("pw", {}, {5, 5, 5});
    qbw::FileBuilder b;
    for (int32_t i = 0; i < 60; ++i)
        b.SetRecord(1, i, Article("Title " + std::to_string(100 + i)));
    qbw::ArticleData secret;
    secret.title = "Secret";
    secret.flags = 0x0003;
    qbw::NewArticleOptions hidden;
    hidden.blobs.mode = qbw::BlobMode::kPrivate;
    hidden.blobs.contentKey = privacy.contentKey;
    b.SetRecord(1, 60, qbw::EncodeArticleNew(secret, hidden));
    b.SetRecord(0, 0, Keyword("few", {3, 40, 60}));
    b.SetStream(qbw::stream::kPrivacy, privacy.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({60}));
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({40, 41}));
    ASSERT_TRUE(Open(b));
    EXPECT_EQ(ReportArticleCount(*doc, 0), 2);  // the private one is hidden
    ReportParameters p;
    p.keywords = {0};
    p.range = ReportRange::kBookmarked;
    EXPECT_EQ(BuildReport(*doc, locale, ReportKind::kIndex, p)->text, "few\r\n\tTitle 140\r\n\r\n");
    ASSERT_TRUE(doc->CheckPassword("pw"));
    EXPECT_EQ(ReportArticleCount(*doc, 0), 3);
}

}  // namespace
}  // namespace qb::testing

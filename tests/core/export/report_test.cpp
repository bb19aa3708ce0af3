// The keyword reports: what each kind shows, its counts and orders, the
// cloud's sizes and colours, and export to files that never stay half-written.
#include "export/report.h"

#include <sys/stat.h>

#include <string>

#include "core/document/doc_fixture.h"
#include "export/report_export.h"
#include "export/report_window.h"

namespace qb::testing {
namespace {

class ReportTest : public DocTest {
protected:
    // Articles 0..9; keywords with the articles given.
    bool OpenWith(const std::vector<std::pair<std::string, std::vector<int32_t>>>& keywords,
                  const std::vector<std::pair<std::string, std::vector<int32_t>>>& groups = {}) {
        qbw::FileBuilder b;
        for (int32_t i = 0; i < 10; ++i)
            b.SetRecord(1, i, Article("Title " + std::string(1, char('J' - i))));
        for (size_t i = 0; i < keywords.size(); ++i)
            b.SetRecord(0, int32_t(i), Keyword(keywords[i].first, keywords[i].second));
        for (size_t i = 0; i < groups.size(); ++i)
            b.SetRecord(3, int32_t(i), qbw::EncodeGroup(groups[i].first, groups[i].second));
        return Open(b);
    }
    Report Build(ReportKind kind, const ReportParameters& p = {}) {
        return *BuildReport(*doc, locale, kind, p);
    }
    std::vector<int32_t> AllKeywords() {
        IdSet all;
        doc->AllKeywords(all);
        return all.Ids();
    }
};

TEST_F(ReportTest, UsageReportAppliesAtLeastAndSortsTiesByName) {
    ASSERT_TRUE(OpenWith({{"beta", {0, 1}}, {"alpha", {2, 3}}, {"one", {4}}, {"most", {0, 1, 2}}}));
    ReportParameters p;
    p.keywords = AllKeywords();
    p.minimum = 2;
    p.sort = UsageSort::kCountDescending;
    Report r = Build(ReportKind::kUsage, p);
    EXPECT_EQ(r.text, "# of Articles\tKeyword\r\n3\t\tmost\r\n2\t\talpha\r\n2\t\tbeta\r\n");
    p.sort = UsageSort::kCountAscending;
    p.minimum = 0;
    p.maximum = 2;
    EXPECT_EQ(Build(ReportKind::kUsage, p).text,
              "# of Articles\tKeyword\r\n1\t\tone\r\n2\t\talpha\r\n2\t\tbeta\r\n");
    p.sort = UsageSort::kNameDescending;
    p.maximum = INT32_MAX;
    EXPECT_EQ(Build(ReportKind::kUsage, p).rows.front().name, "one");
}

TEST_F(ReportTest, IndexReportListsTitlesSortedAndSkipsMissingKeywords) {
    ASSERT_TRUE(OpenWith({{"k", {0, 1, 2}}, {"", {}}, {"bookmarked none", {}}}));
    ReportParameters p;
    p.keywords = {0, 1, 57};  // a free slot and a deleted keyword are left out
    Report r = Build(ReportKind::kIndex, p);
    EXPECT_EQ(r.text, "k\r\n\tTitle H\r\n\tTitle I\r\n\tTitle J\r\n\r\n");
    p.range = ReportRange::kSelected;
    p.rangeArticles = {1};
    EXPECT_EQ(Build(ReportKind::kIndex, p).text, "k\r\n\tTitle I\r\n\r\n");
}

TEST_F(ReportTest, GroupReportShowsEmptyGroupsWithTheirCount) {
    ASSERT_TRUE(OpenWith({{"b", {0}}, {"a", {1}}}, {{"Both", {0, 1}}, {"Empty", {}}}));
    EXPECT_EQ(Build(ReportKind::kGroups).text,
              "Both\r\n\t[2 keywords]\r\n\t\ta\r\n\t\tb\r\n\r\nEmpty\r\n\t[0 keywords]\r\n\r\n");
}

TEST_F(ReportTest, CloudWithEqualCountsGivesSizeOneAndAlternatesColours) {
    ASSERT_TRUE(OpenWith({{"b<i>", {0}}, {"a", {1}}, {"unused", {}}}));
    ReportParameters p;
    p.baseColour = MakeColour(255, 0, 0);
    Report r = Build(ReportKind::kCloud, p);
    ASSERT_EQ(r.cloudLines.size(), 2u);  // a keyword without articles never appears
    EXPECT_EQ(r.cloudLines[0], "<FONT COLOR=\"#ff0000\" SIZE=\"1\">a</FONT>\n");
    EXPECT_EQ(r.cloudLines[1], "<FONT COLOR=\"#ff7f7f\" SIZE=\"1\">b&lt;i&gt;</FONT>\n");
    // The window shows the name itself, not markup made of it.
    ReportWindowModel m(ReportKind::kCloud, p);
    ASSERT_TRUE(m.Build(*doc, locale, ReportDisplay{}));
    EXPECT_EQ(ReportTextUtf8(m.Control()), "a b<i> \n");
    EXPECT_FALSE(m.Control().CharFormatAt(3).Has(kEffectItalic));
}

TEST(CloudArithmetic, SizesAndColours) {
    EXPECT_EQ(CloudSize(1, 1, 100), 1);
    EXPECT_EQ(CloudSize(10, 1, 100), 4);
    EXPECT_EQ(CloudSize(50, 1, 100), 6);
    EXPECT_EQ(CloudSize(100, 1, 100), 8);
    EXPECT_EQ(CloudSize(2, 1, 128), 2);  // exactly on a step's boundary
    EXPECT_EQ(CloudSize(5, 5, 5), 1);
    EXPECT_EQ(CloudAlternateColour(0), MakeColour(0x7f, 0x7f, 0x7f));
    EXPECT_EQ(CloudAlternateColour(MakeColour(255, 255, 255)), MakeColour(0x7f, 0x7f, 0x7f));
    EXPECT_EQ(CloudAlternateColour(MakeColour(255, 0, 0)), MakeColour(0xff, 0x7f, 0x7f));
}

TEST_F(ReportTest, WindowGoesOutdatedAndExportsWriteWholeFilesOnly) {
    ASSERT_TRUE(OpenWith({{"k", {0, 1}}}));
    ReportParameters p;
    p.keywords = AllKeywords();
    ReportWindowModel m(ReportKind::kUsage, p);
    ASSERT_TRUE(m.Build(*doc, locale, ReportDisplay{}));
    EXPECT_TRUE(m.ExportState().enabled);
    EXPECT_FALSE(m.UpdateState().enabled);
    EXPECT_TRUE(m.Control().CharFormatAt(0).Has(kEffectBold));
    EXPECT_EQ(m.Control().ParaFormatAt(0).startIndent, 100);

    ReportExportContext c{*doc, HtmlSettings{}, CharFormat{}};
    std::string txt = dir.Path() + "/r.txt";
    ASSERT_TRUE(ExportReport(m.Current(), m.Control(), ReportFileFormat::kText, txt, c, ui));
    EXPECT_EQ(ReadFile(txt),
              doc->ExportHeader() + "\r\n\r\n# of Articles\tKeyword\r\n2\t\tk\r\n\r\n");
    std::string htm = dir.Path() + "/r.htm";
    ASSERT_TRUE(ExportReport(m.Current(), m.Control(), ReportFileFormat::kHtml, htm, c, ui));
    EXPECT_NE(ReadFile(htm).find("<tr><td>2</td><td></td><td>k</td></tr>"), std::string::npos);
    std::string rtf = dir.Path() + "/r.rtf";
    ASSERT_TRUE(ExportReport(m.Current(), m.Control(), ReportFileFormat::kRtf, rtf, c, ui));
    EXPECT_EQ(ReadFile(rtf).rfind("{\\rtf1", 0), 0u);
    EXPECT_FALSE(ReportFormatOfFilter(4));

    // A target that cannot be written leaves nothing behind and says so.
    std::string bad = dir.Path() + "/missing/r.txt";
    EXPECT_FALSE(ExportReport(m.Current(), m.Control(), ReportFileFormat::kText, bad, c, ui));
    struct stat st;
    EXPECT_NE(::stat(bad.c_str(), &st), 0);
    EXPECT_NE(ui.LastText().find(bad), std::string::npos);

    m.KeywordDeleted(0);
    EXPECT_TRUE(m.IsOutdated());
    EXPECT_FALSE(m.PrintState().enabled);
    EXPECT_TRUE(m.UpdateState().enabled);
}

}  // namespace
}  // namespace qb::testing

#include <gtest/gtest.h>

#include <string>

#include "print/print_job.h"
#include "support/recording_print_surface.h"

namespace qb {
namespace {

// 100 dpi, a 850 x 1100 sheet; margins 0.75 inch left and right and 0.5
// top and bottom give a text area of 700 x 1000 from (75, 50). The normal
// font is 20 pixels high: characters 10 wide, lines 22 high.
class PrintJobTest : public ::testing::Test {
protected:
    PrintJobTest() {
        style.normal.height = 20;
        style.bold = style.normal;
        style.bold.weight = 700;
        setup.footer = "";
    }

    PrintJob& Job(std::u16string header = u"", std::u16string footer = u"") {
        job.emplace(surface, setup, style, std::move(header), std::move(footer));
        return *job;
    }
    void Lines(PrintJob& j, int count, const std::u16string& prefix = u"line") {
        for (int i = 0; i < count; ++i)
            j.PrintText(prefix + std::u16string(1, char16_t(u'0' + i % 10)), style.normal, 0);
    }

    RecordingPrintSurface surface;
    PageSetup setup;
    JobStyle style;
    std::optional<PrintJob> job;
};

TEST_F(PrintJobTest, MarginsBelowThePrintableMinimumAreRaisedAndCanBeKept) {
    surface.device.offsetX = 25;  // a quarter inch the device cannot print on
    surface.device.printableWidth = 800;
    setup.left = 10;
    PageGeometry g = FitMargins(surface.device, setup);
    EXPECT_TRUE(g.raised);
    EXPECT_EQ(g.margin[int(MarginSide::kLeft)], 25);
    EXPECT_EQ(g.leftOffset, 0) << "x counts from the printable area";
    EXPECT_EQ(g.printableWidth, 850 - 25 - 75);

    StoreMargins(g, 100, 100, setup);
    EXPECT_EQ(setup.left, 25);
    EXPECT_EQ(setup.right, 75) << "a margin that fitted is kept";

    setup.units = kUnitsCentimetres;
    setup.left = 25;  // a quarter centimetre: 10 pixels
    g = FitMargins(surface.device, setup);
    EXPECT_TRUE(g.raised);
    StoreMargins(g, 100, 100, setup);
    EXPECT_EQ(setup.left, 64) << "0.25 inch in hundredths of a centimetre";

    setup = PageSetup();
    EXPECT_FALSE(FitMargins(surface.device, setup).raised);
}

TEST_F(PrintJobTest, ALineThatWouldPassTheBodyLimitStartsTheNextPage) {
    PrintJob& j = Job(u"", u"Page &P");
    // Body limit: 50 + 1000 - (1 footer line + 1) x 22 = 1006; 43 lines fit.
    Lines(j, 43);
    EXPECT_EQ(surface.pagesStarted, 1);
    j.PrintText(u"Title", style.bold, 0);
    EXPECT_EQ(surface.pagesStarted, 2);
    const auto* title = surface.Find(u"Title");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->page, 2);
    EXPECT_EQ(title->baseline, 50 + 17) << "at the top of the new page";
    for (const auto& r : surface.runs) {
        if (r.text != u"Page 1") {
            EXPECT_LE(r.baseline + 5, 1006);
        }
    }
    j.Finish();
    EXPECT_EQ(surface.pagesEnded, 2);
}

TEST_F(PrintJobTest, HeaderOnEveryPageOrOnTheFirstOnly) {
    {
        PrintJob& j = Job(u"Head &P", u"");
        Lines(j, 100);
        j.Finish();
        ASSERT_GE(surface.pagesEnded, 3);
        EXPECT_EQ(surface.OnPage(1).front().text, u"Head 1");
        EXPECT_EQ(surface.OnPage(3).front().text, u"Head 3");
        EXPECT_EQ(surface.OnPage(3)[1].baseline, 50 + 22 + 22 + 17)
            << "the header's line and a line advance";
    }
    surface = RecordingPrintSurface();
    setup.headerFirstPageOnly = true;
    PrintJob& j = Job(u"Head", u"");
    Lines(j, 100);
    j.Finish();
    EXPECT_EQ(surface.OnPage(1).front().text, u"Head");
    EXPECT_EQ(surface.OnPage(2).front().text, u"line2") << "42 body lines fit below the header";
}

TEST_F(PrintJobTest, AnEmptyHeaderTakesNoLine) {
    PrintJob& j = Job(u"", u"");
    j.PrintText(u"first", style.normal, 0);
    EXPECT_EQ(surface.runs.front().baseline, 50 + 17);
}

TEST_F(PrintJobTest, FooterFromPageTwoOrOnTheFirstPageToo) {
    {
        PrintJob& j = Job(u"", u"Page &P");
        Lines(j, 130);
        j.Finish();
        EXPECT_EQ(surface.Find(u"Page 1"), nullptr);
        const auto* third = surface.Find(u"Page 3");
        ASSERT_NE(third, nullptr);
        EXPECT_EQ(third->page, 3);
        EXPECT_EQ(third->baseline, 1006 + 22 + 17) << "below the body limit";
    }
    surface = RecordingPrintSurface();
    setup.footerOnFirstPage = true;
    PrintJob& j = Job(u"", u"Page &P");
    Lines(j, 3);
    j.Finish();
    ASSERT_NE(surface.Find(u"Page 1"), nullptr);
    EXPECT_EQ(surface.pagesEnded, 1);
}

TEST_F(PrintJobTest, PageBreakSeparatorLeavesNoEmptyPage) {
    PrintJob& j = Job(u"Head", u"");
    j.PrintSeparator(ArticleSeparator::kPageBreak);  // nothing printed yet
    j.PrintText(u"A", style.normal, 0);
    j.PrintSeparator(ArticleSeparator::kPageBreak);
    j.PrintSeparator(ArticleSeparator::kPageBreak);  // twice: still one break
    j.PrintText(u"B", style.normal, 0);
    j.Finish();
    EXPECT_EQ(surface.pagesStarted, 2);
    EXPECT_EQ(surface.pagesEnded, 2);
    EXPECT_EQ(surface.Find(u"A")->page, 1);
    EXPECT_EQ(surface.Find(u"B")->page, 2);
}

TEST_F(PrintJobTest, SolidLineAndBlankLineSeparators) {
    PrintJob& j = Job();
    j.PrintText(u"A", style.normal, 0);
    j.PrintSeparator(ArticleSeparator::kSolidLine);
    j.PrintText(u"B", style.normal, 0);
    j.PrintSeparator(ArticleSeparator::kBlankLine);
    j.PrintText(u"C", style.normal, 0);
    ASSERT_EQ(surface.lines.size(), 1u);
    EXPECT_EQ(surface.lines[0].x1, 75);
    EXPECT_EQ(surface.lines[0].x2, 775);
    EXPECT_EQ(surface.lines[0].y1, 50 + 22 + 22);
    EXPECT_EQ(surface.Find(u"B")->baseline, 50 + 3 * 22 + 17);
    EXPECT_EQ(surface.Find(u"C")->baseline, 50 + 6 * 22 + 17);
}

TEST_F(PrintJobTest, WordsWrapAndAWordWiderThanTheLineIsSplit) {
    PrintJob& j = Job();
    // 70 characters fit on a line.
    j.PrintText(std::u16string(65, u'a') + u" bbbbbbbbbb " + std::u16string(100, u'w'),
                style.normal, 0);
    ASSERT_EQ(surface.runs.size(), 4u);
    EXPECT_EQ(surface.runs[0].text, std::u16string(65, u'a'));
    EXPECT_EQ(surface.runs[1].text, u"bbbbbbbbbb");
    EXPECT_EQ(surface.runs[1].x, 75) << "the space before a wrapped word is dropped";
    EXPECT_EQ(surface.runs[2].text, std::u16string(70, u'w'));
    EXPECT_EQ(surface.runs[3].text, std::u16string(30, u'w'));
}

TEST_F(PrintJobTest, TabsAndLineBreaks) {
    PrintJob& j = Job();
    j.PrintText(u"a\tb\r\n\r\nc\n", style.normal, 0);
    ASSERT_EQ(surface.runs.size(), 3u);
    EXPECT_EQ(surface.runs[1].x, 75 + 50) << "half-inch tab stops";
    EXPECT_EQ(surface.runs[2].baseline, 50 + 2 * 22 + 17) << "one empty line between";

    surface = RecordingPrintSurface();
    style.tabWidthTwips = 2880;  // two inches
    PrintJob& k = Job();
    k.PrintText(u"a\tb", style.normal, 0);
    EXPECT_EQ(surface.runs[1].x, 75 + 200);
}

TEST_F(PrintJobTest, CancelStopsBetweenLines) {
    PrintJob& j = Job();
    int asked = 0;
    j.SetCancelCheck([&] { return ++asked >= 3; });
    Lines(j, 10);
    EXPECT_TRUE(j.Aborted());
    EXPECT_EQ(surface.runs.size(), 3u);
    j.Finish();
    EXPECT_EQ(surface.pagesEnded, 0) << "an aborted page is not ended";
}

TEST_F(PrintJobTest, PrinterErrorStopsTheJob) {
    surface.endPageResult = printer_result::kOutOfDisk;
    PrintJob& j = Job();
    Lines(j, 100);
    EXPECT_TRUE(j.Failed());
    EXPECT_EQ(j.LastResult(), printer_result::kOutOfDisk);
    EXPECT_EQ(surface.pagesEnded, 1);
}

// Rich text: 10-point runs are 14 pixels high and 7 wide at 100 dpi.
TEST_F(PrintJobTest, RichLinesKeepAlignmentIndentsBulletsAndNumbers) {
    RichTextControl c;
    c.SetText(u"Right\rDot\rOne\rTwo\rPlain");
    ParaFormat right;
    right.alignment = Align::kRight;
    right.startIndent = 720;
    c.SetParaFormat(0, 1, right, kParaMaskAlignment | kParaMaskStartIndent);
    ParaFormat bullet;
    bullet.numbering = Numbering::kBullet;
    bullet.startIndent = 720;  // half an inch: 50 pixels
    bullet.offset = 360;
    c.SetParaFormat(6, 7, bullet, kParaMaskNumbering | kParaMaskStartIndent | kParaMaskOffset);
    ParaFormat number = bullet;
    number.numbering = Numbering::kArabic;
    c.SetParaFormat(10, 15, number, kParaMaskNumbering | kParaMaskStartIndent | kParaMaskOffset);
    CharFormat red;
    red.colour = MakeColour(255, 0, 0);
    c.SetCharFormat(6, 9, red, kCharMaskColour);

    PrintJob& j = Job();
    j.PrintRichText(c);
    const auto* r = surface.Find(u"Right");
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->x + 5 * 7, 75 + 700) << "right-aligned to the printable width, no indent";

    const auto* dot = surface.Find(std::u16string(1, char16_t(183)));
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(dot->font.face, "Symbol");
    EXPECT_EQ(dot->x, 75 + 50) << "the bullet at the start indent";
    EXPECT_EQ(dot->colour, MakeColour(255, 0, 0)) << "in the colour of the line's first run";
    EXPECT_EQ(surface.Find(u"Dot")->x, 75 + 50 + 25) << "the text at start indent + offset";

    const auto* one = surface.Find(u"1.");
    const auto* two = surface.Find(u"2.");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(one->x, 75 + 50);
    EXPECT_EQ(two->x, 75 + 50);
    EXPECT_EQ(surface.Find(u"Plain")->x, 75);
    EXPECT_EQ(surface.Find(u"Plain")->font.height, 14);
}

TEST_F(PrintJobTest, RichTextLineSpacingAndEmptyLines) {
    RichTextControl c;
    c.SetText(u"A\r\rB\rC");
    ParaFormat dbl;
    dbl.lineSpacingRule = 5;
    dbl.lineSpacing = 40;
    c.SetParaFormat(3, 4, dbl, kParaMaskLineSpacing);
    PrintJob& j = Job();
    j.PrintRichText(c);
    // Lines are 14 high at this size: ascent 10 + leading 1, descent 4 = 15.
    EXPECT_EQ(surface.Find(u"A")->baseline, 50 + 11);
    EXPECT_EQ(surface.Find(u"B")->baseline, 50 + 2 * 15 + 11);
    EXPECT_EQ(surface.Find(u"C")->baseline, 50 + 4 * 15 + 11) << "B took two lines";
}

}  // namespace
}  // namespace qb

#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "print/page_setup.h"

namespace qb {
namespace {

TEST(PageSetup, BuiltInDefaultsUnderTheSettingsKeys) {
    ProfileStore store;
    PageSetup p = PageSetup::Defaults(store);
    EXPECT_EQ(p.top, 50);
    EXPECT_EQ(p.left, 75);
    EXPECT_EQ(p.units, kUnitsInches);
    EXPECT_TRUE(p.printDates);
    EXPECT_FALSE(p.boldTitles);

    store.LoadText(
        "[PageSetup]\nTopMargin=120\nBoldTitles=2\nPrintDates=0\nFirstFooter=1\n"
        "Separator=2\nUnits=0\n");
    p = PageSetup::Defaults(store);
    EXPECT_EQ(p.top, 120);
    EXPECT_FALSE(p.boldTitles) << "a flag is on only when stored as exactly 1";
    EXPECT_FALSE(p.printDates);
    EXPECT_TRUE(p.footerOnFirstPage);
    EXPECT_EQ(p.separator, ArticleSeparator::kPageBreak);
    EXPECT_EQ(p.units, kUnitsCentimetres);
    EXPECT_EQ(p.left, 75);
}

TEST(PageSetup, FileRecordOverridesOnlyTheFieldsItHolds) {
    ProfileStore store;
    store.LoadText("[PageSetup]\nUnits=0\nRightMargin=10\n");
    PageSetupValues stored;
    stored.values = {10, 20, 30, 40, 1, 1, 0, 0, 1, 0, 1, 1};
    stored.read = 5;  // top .. separator
    PageSetup p = PageSetup::FromFile(stored, "Head", "Foot &P", store);
    EXPECT_EQ(p.top, 10);
    EXPECT_EQ(p.right, 40);
    EXPECT_EQ(p.separator, ArticleSeparator::kSolidLine);
    EXPECT_FALSE(p.boldTitles) << "not in the record: the default";
    EXPECT_EQ(p.units, kUnitsCentimetres) << "not in the record: the settings' value";
    EXPECT_EQ(p.footer, "Foot &P");

    stored.read = 12;
    p = PageSetup::FromFile(stored, "", "", store);
    EXPECT_TRUE(p.boldTitles);
    EXPECT_TRUE(p.headerFirstPageOnly);
    EXPECT_TRUE(p.footerOnFirstPage);
    EXPECT_EQ(p.units, kUnitsInches);
}

TEST(PageSetup, SaveDefaultsWritesTheKeysReadBack) {
    ProfileStore store;
    PageSetup p;
    p.bottom = 33;
    p.boldTitles = true;
    p.separator = ArticleSeparator::kSolidLine;
    p.SaveDefaults(store);
    EXPECT_EQ(store.GetInt("PageSetup", "BottomMargin", 0), 33);
    EXPECT_EQ(store.GetInt("PageSetup", "BoldTitles", 0), 1);
    PageSetup back = PageSetup::Defaults(store);
    EXPECT_EQ(back.bottom, 33);
    EXPECT_TRUE(back.boldTitles);
    EXPECT_EQ(back.separator, ArticleSeparator::kSolidLine);
}

TEST(PageSetup, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(75, 254, 100), 191);  // 190.5
    EXPECT_EQ(MulDiv(-75, 254, 100), -191);
    EXPECT_EQ(MulDiv(191, 100, 254), 75);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(5, 1, 0), 0);
}

TEST(PageSetup, MarginsInInchesFromEitherUnit) {
    PageSetup p;
    EXPECT_EQ(p.MarginInHundredthsOfInch(MarginSide::kLeft), 75);
    p.units = kUnitsCentimetres;
    p.left = 191;
    EXPECT_EQ(p.MarginInHundredthsOfInch(MarginSide::kLeft), 75);
    p.SetMarginFromHundredthsOfInch(MarginSide::kLeft, 25);
    EXPECT_EQ(p.left, 64);  // 63.5 cm hundredths
    EXPECT_TRUE(p.modified);
}

TEST(PageSetup, MarginTextShownInTheLocalesUnit) {
    EXPECT_EQ(FormatMargin(75, kUnitsInches, MeasurementSystem::Metric, ","), "1,91");
    EXPECT_EQ(FormatMargin(75, kUnitsInches, MeasurementSystem::US, "."), "0.75");
    EXPECT_EQ(FormatMargin(191, kUnitsCentimetres, MeasurementSystem::US, "."), "0.75");
    EXPECT_EQ(FormatMargin(5, kUnitsCentimetres, MeasurementSystem::Metric, ","), "0,05");
    EXPECT_EQ(FormatMargin(1250, kUnitsInches, MeasurementSystem::US, "."), "12.50");
}

TEST(PageSetup, MarginTextReadAsHundredths) {
    EXPECT_EQ(ParseMargin("1", "."), 100);
    EXPECT_EQ(ParseMargin("0.5", "."), 50);
    EXPECT_EQ(ParseMargin("0.05", "."), 5);
    EXPECT_EQ(ParseMargin("1,25", ","), 125);
    EXPECT_EQ(ParseMargin("1.25", ","), 125) << "a full stop is always a separator";
    EXPECT_EQ(ParseMargin(".125", "."), 13);
    EXPECT_EQ(ParseMargin("", "."), 0);
    EXPECT_EQ(ParseMargin("2.", "."), 200);
    EXPECT_EQ(ParseMargin("-1", "."), std::nullopt);
    EXPECT_EQ(ParseMargin("1x", "."), std::nullopt);
    EXPECT_EQ(ParseMargin("1.2.3", "."), std::nullopt);
    EXPECT_EQ(ParseMargin("1,25", "."), std::nullopt);
    EXPECT_EQ(ParseMargin("99999", "."), std::nullopt) << "past what the record holds";
    EXPECT_EQ(ParseMargin("0.000000000000000001", "."), 0);
}

TEST(PageSetup, HeaderAndFooterCodes) {
    std::u16string dated = ExpandDateTime(u"&d at &T, &p of &x &&", u"3/5/2024", u"10:15");
    EXPECT_EQ(dated, u"3/5/2024 at 10:15, &p of &x &&");
    EXPECT_EQ(ExpandPageNumber(dated, 3), u"3/5/2024 at 10:15, 3 of &x &&");
    EXPECT_EQ(ExpandPageNumber(u"Page &P", 3), u"Page 3");
    EXPECT_EQ(ExpandPageNumber(u"Total &", 12), u"Total &") << "a single & at the end stays";
    EXPECT_EQ(ExpandPageNumber(u"", 1), u"");
}

}  // namespace
}  // namespace qb

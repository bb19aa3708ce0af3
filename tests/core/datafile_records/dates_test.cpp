// Date values: validity, formatting against locale patterns, typed input
// with the two-digit-year window, and the invalid-date message.
#include <gtest/gtest.h>

#include "datafile/dates.h"
#include "datafile/quill_error.h"
#include "platform/icu_locale.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"

namespace qb {
namespace {

TEST(DateValidity, CalendarRulesAndOpenBounds) {
    EXPECT_TRUE(IsValidDate(20240229));
    EXPECT_FALSE(IsValidDate(20230229));
    EXPECT_TRUE(IsValidDate(20000229));   // divisible by 400
    EXPECT_FALSE(IsValidDate(19000229));  // by 100 only
    EXPECT_TRUE(IsValidDate(0x7FFFFFFF));
    EXPECT_TRUE(IsValidDate(static_cast<int32_t>(0x80000000u)));
    EXPECT_FALSE(IsValidDate(NIL_BLOCK));
    EXPECT_FALSE(IsValidDate(0));
    EXPECT_FALSE(IsValidDate(20241301));
    EXPECT_FALSE(IsValidDate(20240431));
    EXPECT_FALSE(IsValidDate(20240100));
    EXPECT_TRUE(IsValidDate(10101));  // 1 January of year 1
    EXPECT_TRUE(IsValidDate(99991231));
    EXPECT_FALSE(IsValidDate(100000101));  // year 10000
}

TEST(DateValues, TodayNowAndPivot) {
    FixedLocale l;
    l.now = {2024, 6, 15, 10, 30, 45};
    EXPECT_EQ(TodayDate(l), 20240615);
    EXPECT_EQ(NowTime(l), 10 * 3600 + 30 * 60 + 45);
    EXPECT_EQ(DefaultPivotYear(l), 2099);
    l.now.year = 1999;
    EXPECT_EQ(DefaultPivotYear(l), 1999);
}

TEST(DateValues, TwoDigitYearWindow) {
    EXPECT_EQ(ExpandTwoDigitYear(60, 2050), 1960);
    EXPECT_EQ(ExpandTwoDigitYear(30, 2050), 2030);
    EXPECT_EQ(ExpandTwoDigitYear(50, 2050), 2050);
    EXPECT_EQ(ExpandTwoDigitYear(51, 2050), 1951);
    EXPECT_EQ(ExpandTwoDigitYear(99, 2099), 2099);
    EXPECT_EQ(ExpandTwoDigitYear(0, 2099), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(150, 2099), 150);  // not two digits
    EXPECT_EQ(ExpandTwoDigitYear(50, 40), 50);      // century 0: left alone
}

TEST(FormatDateTest, PatternsFromTheLocale) {
    FixedLocale l;
    l.pattern = "dd/MM/yyyy";
    EXPECT_EQ(FormatDate(20200131, true, l), "31/01/2020");
    l.pattern = "d-MMM-yy";  // the year is widened to four digits
    EXPECT_EQ(FormatDate(20200131, true, l), "31-Jan-2020");
    EXPECT_EQ(FormatDate(20200131, false, l), "31-1-2020");  // names not allowed
    l.pattern = "dddd, MMMM d, yyyy";
    EXPECT_EQ(FormatDate(20240101, true, l), "Monday, January 1, 2024");
    l.pattern = "ddd d MMMMM y";
    EXPECT_EQ(FormatDate(20240302, true, l), "Sat 2 3 2024");  // five Ms: a number
    l.pattern = "yy.MM.dd";
    EXPECT_EQ(FormatDate(20050704, true, l), "2005.07.04");
}

TEST(FormatDateTest, TwoDigitYearPatternsShowTheWholeYear) {
    // Two-digit years would make 3/2/98 and 3/2/23 look alike.
    IcuLocale us("en_US"), de("de_DE");
    EXPECT_EQ(FormatDate(20240305, false, us), "3/5/2024");
    EXPECT_EQ(FormatDate(20240305, false, de), "05.03.2024");
    EXPECT_NE(FormatDate(19980302, false, us), FormatDate(20230302, false, us));
    EXPECT_EQ(FormatDate(19980302, false, us), "3/2/1998");
    // Typing keeps taking two-digit years through the pivot year.
    int32_t d = 0;
    ASSERT_TRUE(ParseDate("3/2/98", us, 2050, d));
    EXPECT_EQ(d, 19980302);
    ASSERT_TRUE(ParseDate("05.03.24", de, 2099, d));
    EXPECT_EQ(d, 20240305);
    ASSERT_TRUE(ParseDate("3/2/1998", us, 2099, d));
    EXPECT_EQ(d, 19980302);
}

TEST(FormatDateTest, RunsOfOtherCharactersAreCopiedOnce) {
    FixedLocale l;
    l.pattern = "d//M  yyyy";
    EXPECT_EQ(FormatDate(20240507, true, l), "7/5 2024");
    // A run is one repeated character, never bytes of one character.
    l.pattern =
        "yyyy\xE5\xB9\xB4M\xE6\x9C\x88"
        "d\xE6\x97\xA5";
    EXPECT_EQ(FormatDate(20240507, true, l),
              "2024\xE5\xB9\xB4"
              "5\xE6\x9C\x88"
              "7\xE6\x97\xA5");
    l.pattern = "d\xF0\x90\x90\x90M";  // U+10410, whose last three bytes repeat
    EXPECT_EQ(FormatDate(20240507, true, l),
              "7\xF0\x90\x90\x90"
              "5");
}

TEST(FormatDateTest, UnsetAndOpenBoundsGiveNoText) {
    FixedLocale l;
    EXPECT_EQ(FormatDate(NIL_BLOCK, true, l), "");
    EXPECT_EQ(FormatDate(0x7FFFFFFF, true, l), "");
    EXPECT_EQ(FormatDate(20230229, true, l), "");
}

TEST(FormatTimeTest, SplitsTheValue) {
    FixedLocale l;
    EXPECT_EQ(FormatTime(13 * 3600 + 5 * 60 + 9, false, l), "13:05");
    EXPECT_EQ(FormatTime(13 * 3600 + 5 * 60 + 9, true, l), "13:05:09");
    EXPECT_EQ(FormatTime(0, true, l), "00:00:00");
    EXPECT_EQ(FormatTime(NIL_BLOCK, true, l), "");
    EXPECT_EQ(FormatTime(86400, true, l), "");
}

class ParseDateTest : public ::testing::Test {
protected:
    ParseDateTest() {
        l.pattern = "M/D/YYYY";
        l.now = {2024, 6, 15, 12, 0, 0};
    }
    // The date read, or -1 when the text is not a valid date.
    int32_t Parse(const char* text, int pivot = 2099) {
        int32_t out = -1;
        return ParseDate(text, l, pivot, out) ? out : -1;
    }
    FixedLocale l;
};

TEST_F(ParseDateTest, ExamplesForMonthDayYear) {
    EXPECT_EQ(Parse("5/3"), 20240503);
    EXPECT_EQ(Parse("12.31.99"), 20991231);
    EXPECT_EQ(Parse("2/30/2021"), -1);
    EXPECT_EQ(Parse("2/29/2024"), 20240229);
    EXPECT_EQ(Parse("7"), 20240715);  // month only
}

// Texts that were never meant as dates are refused, not read as today or
// as the digits they happen to hold.
TEST_F(ParseDateTest, TextsWithoutDigitsOrWithLettersAreNoDates) {
    EXPECT_EQ(Parse(""), -1);
    EXPECT_EQ(Parse("   "), -1);
    EXPECT_EQ(Parse("foo"), -1);
    EXPECT_EQ(Parse("today"), -1);
    EXPECT_EQ(Parse("5 March"), -1);
    EXPECT_EQ(Parse("3x4y2021"), -1);
    EXPECT_EQ(Parse("3/4/2021 \xC3\xA9"), -1);
}

TEST_F(ParseDateTest, IsoDatesInEveryLocale) {
    EXPECT_EQ(Parse("1998-01-01"), 19980101);
    EXPECT_EQ(Parse(" 1998-1-31 "), 19980131);
    EXPECT_EQ(Parse("1998-02-30"), -1);
    l.pattern = "dd.MM.yy";
    EXPECT_EQ(Parse("2023-12-31", 2050), 20231231);  // no pivot for four digits
    EXPECT_EQ(Parse("31.12.23", 2050), 20231231);
    // Not ISO (no four-digit year first): the locale's rule reads it.
    l.pattern = "M/D/YYYY";
    EXPECT_EQ(Parse("1-2-98", 2050), 19980102);
}

TEST_F(ParseDateTest, PivotYearDecidesTheCentury) {
    EXPECT_EQ(Parse("1/2/60", 2050), 19600102);
    EXPECT_EQ(Parse("1/2/30", 2050), 20300102);
    EXPECT_EQ(Parse("1/2/0030", 2050), 20300102);  // the number, not its digits, counts
    EXPECT_EQ(Parse("1/2/130", 2050), 1300102);
}

TEST_F(ParseDateTest, NumbersAndSeparators) {
    EXPECT_EQ(Parse("  3 - 4 - 2021 "), 20210304);
    EXPECT_EQ(Parse("3/4/2021/9"), 20210304);             // a fourth number is ignored
    EXPECT_EQ(Parse("99999999999999999999/1/2020"), -1);  // no overflow
    EXPECT_EQ(Parse("0/1/2020"), -1);
    EXPECT_EQ(Parse("1/1/10000"), -1);
}

TEST_F(ParseDateTest, PatternOrderDecides) {
    l.pattern = "dd.MM.yyyy";
    EXPECT_EQ(Parse("31.12.2023"), 20231231);
    l.pattern = "yyyy-MM-dd";
    EXPECT_EQ(Parse("2023-12-31"), 20231231);
    // The day-name run takes a number too, and only three are read: the
    // year stays this year's.
    l.pattern = "ddd, d MMM yyyy";
    EXPECT_EQ(Parse("1, 2 3 2020"), 20240302);
}

TEST(ReportInvalidDateTest, ShowsTheUpperCasePattern) {
    FixedLocale l;
    l.pattern = "M/d/yyyy";
    RecordingUi ui;
    ReportInvalidDate(ui, l);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.Last().text,
              "Invalid date.\nPlease enter dates in the following format: M/D/YYYY or "
              "YYYY-MM-DD");
    EXPECT_EQ(ui.Last().icon, MessageIcon::Exclamation);
}

}  // namespace
}  // namespace qb

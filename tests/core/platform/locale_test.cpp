// The ICU locale: pattern conversion, names, times and name collation.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/icu_locale.h"
#include "support/fake_locale.h"

namespace qb {
namespace {

TEST(IcuPattern, ConvertsToWindowsLetters) {
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"M/d/yy"), "M/d/yy");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"dd.MM.y"), "dd.MM.yyyy");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"y-MM-dd"), "yyyy-MM-dd");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"EEE, d LLL yyyy"), "ddd, d MMM yyyy");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"EEEE d MMMM"), "dddd d MMMM");
    // Quoted text stays, except letters that would read as fields.
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"d 'de' MMM"), "d e MMM");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"dd/MM/y G"), "dd/MM/yyyy ");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"y\u5E74M\u6708d\u65E5"), "yyyy\u5E74M\u6708d\u65E5");
    EXPECT_EQ(IcuLocale::ConvertIcuPattern(u"d''M"), "d'M");
}

TEST(IcuLocaleTest, ShortDatePatternsOfKnownLocales) {
    EXPECT_EQ(IcuLocale("en_US").ShortDatePattern(), "M/d/yy");
    EXPECT_EQ(IcuLocale("de_DE").ShortDatePattern(), "dd.MM.yy");
    EXPECT_EQ(IcuLocale("en_GB").ShortDatePattern(), "dd/MM/yyyy");
}

TEST(IcuLocaleTest, NamesTimesAndNumbers) {
    IcuLocale us("en_US"), de("de_DE");
    EXPECT_EQ(us.MonthName(1, true), "Jan");
    EXPECT_EQ(us.MonthName(12, false), "December");
    EXPECT_EQ(us.DayName(0, false), "Sunday");
    EXPECT_EQ(us.DayName(6, true), "Sat");
    EXPECT_EQ(us.MonthName(13, true), "");
    EXPECT_EQ(de.DayName(1, false), "Montag");
    EXPECT_EQ(us.Measurement(), MeasurementSystem::US);
    EXPECT_EQ(de.Measurement(), MeasurementSystem::Metric);
    EXPECT_EQ(us.DecimalSeparator(), ".");
    EXPECT_EQ(de.DecimalSeparator(), ",");
    EXPECT_EQ(de.FormatTime(13, 5, 9, false), "13:05");
    EXPECT_EQ(de.FormatTime(13, 5, 9, true), "13:05:09");
    std::string t = us.FormatTime(13, 5, 0, false);
    EXPECT_NE(t.find("1:05"), std::string::npos) << t;
    EXPECT_NE(t.find("PM"), std::string::npos) << t;
}

TEST(IcuLocaleTest, EnvironmentLocale) {
    const char* saved = getenv("LC_ALL");
    std::string keep = saved ? saved : "";
    setenv("LC_ALL", "de_DE.UTF-8@euro", 1);
    EXPECT_EQ(IcuLocale::EnvironmentLocaleId(), "de_DE");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(IcuLocale::EnvironmentLocaleId(), "en_US_POSIX");
    setenv("LC_ALL", "fr_FR", 1);
    EXPECT_EQ(IcuLocale().Id(), "fr_FR");
    if (saved)
        setenv("LC_ALL", keep.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

// Both the system locale and the test locale order names the same way.
template <typename L>
void ExpectNameOrder(const L& loc) {
    EXPECT_EQ(loc.Compare(u"apple", u"Apple"), -1);  // lower case first
    EXPECT_EQ(loc.Compare(u"Apple", u"apple"), 1);
    EXPECT_EQ(loc.Compare(u"Apple", u"banana"), -1);  // letters before case
    EXPECT_EQ(loc.Compare(u"e", u"\u00E9"), -1);      // accent after the plain letter
    EXPECT_EQ(loc.Compare(u"\u00E9", u"f"), -1);
    EXPECT_EQ(loc.Compare(u"same", u"same"), 0);
    EXPECT_EQ(loc.CompareNoCase(u"Cat", u"cAT"), 0);
    EXPECT_NE(loc.CompareNoCase(u"cafe", u"caf\u00E9"), 0);  // accents still count
    EXPECT_EQ(loc.CompareNoCase(u"a", u"B"), -1);
    EXPECT_EQ(loc.Compare(u"", u"a"), -1);
}

TEST(Collation, LowerCaseFirstAccentsAfter) {
    ExpectNameOrder(IcuLocale("en_US"));
    ExpectNameOrder(FixedLocale());
    // With no locale set (LANG=C), names still compare as people expect.
    ExpectNameOrder(IcuLocale("en_US_POSIX"));
}

TEST(Collation, FollowsTheLocale) {
    // Swedish sorts a-ring after z; English next to a.
    IcuLocale sv("sv_SE"), en("en_US");
    EXPECT_EQ(sv.Compare(u"\u00E5", u"z"), 1);
    EXPECT_EQ(en.Compare(u"\u00E5", u"z"), -1);
}

TEST(FixedLocaleTest, TimeFormats) {
    FixedLocale l;
    EXPECT_EQ(l.FormatTime(9, 5, 7, true), "09:05:07");
    l.hour24 = false;
    l.leadingZeroHour = false;
    EXPECT_EQ(l.FormatTime(0, 5, 0, false), "12:05 AM");
    EXPECT_EQ(l.FormatTime(13, 5, 0, false), "1:05 PM");
}

}  // namespace
}  // namespace qb

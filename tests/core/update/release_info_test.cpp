// The update information file, the released version and the query string.
#include <gtest/gtest.h>

#include "update/release_info.h"

namespace qb {
namespace {

TEST(FindReleaseLine, KeyWithoutRegardToCaseAndShortLinesSkipped) {
    auto line = FindReleaseLine(
        "QBX\t9.0.2.0\thttps://x/qbx\n"
        "qbr\tonly one tab\n"
        "no tab at all\n"
        "qbr\t4.13.2.81\thttps://example.org/news?a=1\r\n",
        "QBR");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->versionText, "4.13.2.81");
    EXPECT_EQ(line->page, "https://example.org/news?a=1");  // CR dropped
}

TEST(FindReleaseLine, TheFirstMatchWinsAndNoneIsNothing) {
    auto line = FindReleaseLine("QBR\t1.0.2.0\tfirst\nQBR\t2.0.2.0\tsecond", "QBR");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->page, "first");
    EXPECT_FALSE(FindReleaseLine("QBRX\t1.0.2.0\tp\nQB\t1\tp\n", "QBR"));
    EXPECT_FALSE(FindReleaseLine("", "QBR"));
    EXPECT_FALSE(FindReleaseLine("QBR\t1.0.2.0", "QBR"));  // one tab, last line
}

TEST(ReleasedVersion, FourNumbersAndForgivingParts) {
    ProgramVersion v = ParseReleasedVersion("4.13.2.81");
    EXPECT_EQ(v.Numbers(), "4.13.2.81");
    EXPECT_EQ(v.text, "4.1.3");
    EXPECT_EQ(ParseReleasedVersion("4.14").Numbers(), "4.14.0.0");
    EXPECT_EQ(ParseReleasedVersion("x.y").Numbers(), "0.0.0.0");
    EXPECT_EQ(ParseReleasedVersion("99999999999.1.2.3").Numbers(), "65535.1.2.3");
    EXPECT_EQ(ParseReleasedVersion("").Numbers(), "0.0.0.0");
}

TEST(ReleasedVersion, MajorAndMinorBeforeStageAndBuild) {
    ProgramVersion running = MakeProgramVersion(4, 13, 2, 81);
    EXPECT_TRUE(IsNewerRelease(ParseReleasedVersion("4.14.0.1"), running));
    EXPECT_FALSE(IsNewerRelease(ParseReleasedVersion("4.13.2.81"), running));
    EXPECT_TRUE(IsNewerRelease(ParseReleasedVersion("4.13.2.82"), running));
    EXPECT_TRUE(IsNewerRelease(ParseReleasedVersion("4.13.3.0"), running));
    EXPECT_FALSE(IsNewerRelease(ParseReleasedVersion("4.12.9.999"), running));
    EXPECT_FALSE(IsNewerRelease(ParseReleasedVersion("3.99.9.9"), running));
    EXPECT_TRUE(IsNewerRelease(ParseReleasedVersion("5.0.0.0"), running));
}

TEST(SourceQuery, FieldsInOrderWithTheMachineFieldsZero) {
    SourceQuery q;
    q.product = 7;
    q.place = 13;
    q.status = 4;
    q.threeDigit = 5;
    EXPECT_EQ(SourceQueryText(q),
              "?source=F7134005"
              "0"
              "00"
              "00");
    q.threeDigit = 4000;
    q.status = 12;
    EXPECT_EQ(SourceQueryText(q),
              "?source=F7139999"
              "0"
              "00"
              "00");
}

}  // namespace
}  // namespace qb

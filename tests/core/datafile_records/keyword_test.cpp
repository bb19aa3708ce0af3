// Keyword and keyword-group records and their format levels.
#include "fixture.h"

namespace qb::testing {
namespace {

class KeywordTest : public RecordsTest {
protected:
    CDataFile& WithKeyword(int16_t version, const std::string& bytes) {
        qbw::FileBuilder b;
        b.SetVersion(version).SetRecord(table::kKeywords, 0, bytes);
        return Open(b);
    }
    CDataFile& WithGroup(const std::string& bytes) {
        qbw::FileBuilder b;
        b.SetRecord(table::kGroups, 0, bytes);
        return Open(b);
    }
};

TEST_F(KeywordTest, LevelTwoReadsWithSortedArticleIds) {
    CDataFile& f = WithKeyword(300, qbw::EncodeKeyword("Animals", {9, 1, 4}));
    CKeyword k = ReadKeyword(f, 0);
    EXPECT_EQ(k.level, 2);
    EXPECT_EQ(k.name, "Animals");
    EXPECT_EQ(k.articles.Ids(), (std::vector<int32_t>{1, 4, 9}));
    EXPECT_EQ(ReadKeywordName(f, 0), "Animals");
}

TEST_F(KeywordTest, BlobNameIsDecoded) {
    CDataFile& f = WithKeyword(300, qbw::EncodeKeyword("Caf\xE9", {2}, 2, true));
    EXPECT_EQ(ReadKeyword(f, 0).name, "Caf\xE9");
}

TEST_F(KeywordTest, LevelThreeNeedsVersion400) {
    std::string bytes = qbw::EncodeKeyword("K", {3, 2}, 3, false, {8, 7});
    {
        CDataFile& f = WithKeyword(399, bytes);
        try {
            ReadKeyword(f, 0);
            FAIL() << "level 3 accepted in version 399";
        } catch (const CQuillError& e) {
            EXPECT_EQ(e.Code(), err::kBadFormatLevel);
            EXPECT_EQ(e.Path(), Path());
        }
    }
    CDataFile& f = WithKeyword(400, bytes);
    CKeyword k = ReadKeyword(f, 0);
    EXPECT_EQ(k.level, 3);
    EXPECT_EQ(k.articles.Ids(), (std::vector<int32_t>{2, 3}));
    EXPECT_EQ(k.secondIds, (std::vector<int32_t>{8, 7}));
}

TEST_F(KeywordTest, OtherLevelsAreRejected) {
    for (int level : {0, 1, 4, 0x7FFF}) {
        SCOPED_TRACE(level);
        CDataFile& f = WithKeyword(400, qbw::EncodeKeyword("K", {1}, level));
        EXPECT_EQ(CodeOf([&] { ReadKeyword(f, 0); }), err::kBadFormatLevel);
    }
}

TEST_F(KeywordTest, FailedReadEmptiesNameAndIds) {
    qbw::Encoder e;
    e.TaggedInt16(2).String("Name").Int32(4000);  // ids claim more than the chain holds
    CDataFile& f = WithKeyword(300, e.Str());
    CKeyword k;
    CRecordStream s;
    s.OpenRecord(f, table::kKeywords, 0);
    EXPECT_EQ(CodeOf([&] { ReadKeyword(s, k, f.Version()); }), err::kCorrupted);
    EXPECT_TRUE(k.name.empty());
    EXPECT_TRUE(k.articles.Empty());
}

TEST_F(KeywordTest, GroupReadsNameValueAndSortedKeywords) {
    CDataFile& f = WithGroup(qbw::EncodeGroup("Pets", {2, 0}, 3, 55));
    CKeywordGroup g = ReadGroup(f, 0);
    EXPECT_EQ(g.name, "Pets");
    EXPECT_EQ(g.value, 55);
    EXPECT_EQ(g.keywords.Ids(), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(ReadGroupName(f, 0), "Pets");
}

TEST_F(KeywordTest, GroupLevelMustBeThree) {
    for (int level : {2, 4}) {
        CDataFile& f = WithGroup(qbw::EncodeGroup("G", {1}, level));
        EXPECT_EQ(CodeOf([&] { ReadGroup(f, 0); }), err::kBadFormatLevel);
    }
}

TEST_F(KeywordTest, NameOnlyGroupReadStopsAfterTheName) {
    // Nothing follows the name: a full read fails, the name read does not.
    qbw::Encoder e;
    e.TaggedInt16(static_cast<int16_t>(0x8003)).BlobString("Only").Int32(0).Int32(1 << 30);
    CDataFile& f = WithGroup(e.Str());
    EXPECT_EQ(ReadGroupName(f, 0), "Only");
    EXPECT_EQ(CodeOf([&] { ReadGroup(f, 0); }), err::kCorrupted);
}

}  // namespace
}  // namespace qb::testing

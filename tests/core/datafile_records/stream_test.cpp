// The numbered streams: both forms where there are two, defaults when absent,
// and what damaged streams give.
#include "datafile/md5.h"
#include "fixture.h"

namespace qb::testing {
namespace {

using StreamTest = RecordsTest;

TEST_F(StreamTest, IdStreamsAreSorted) {
    CDataFile& f = OpenStream(stream_id::kBookmarks, qbw::EncodeIdStream({7, 3, 5}));
    IdSet ids;
    ids.Insert(99);
    LoadIdStream(f, stream_id::kBookmarks, ids);
    EXPECT_EQ(ids.Ids(), (std::vector<int32_t>{3, 5, 7}));
    LoadIdStream(f, stream_id::kPrivateIds, ids);  // absent
    EXPECT_TRUE(ids.Empty());
}

TEST_F(StreamTest, DamagedIdStreamGivesTheEmptyDefault) {
    CDataFile& f = OpenStream(stream_id::kExcludedIds, qbw::Encoder().Int32(1 << 20).Str());
    IdSet ids{1, 2};
    LoadIdStream(f, stream_id::kExcludedIds, ids);
    EXPECT_TRUE(ids.Empty());
}

TEST_F(StreamTest, TextStreamDefaults) {
    {
        CDataFile& f = OpenEmpty();
        EXPECT_EQ(LoadPrintHeader(f), "test");
        EXPECT_EQ(LoadExportHeader(f), "test");
        EXPECT_EQ(LoadPrintFooter(f), "Page &P");
    }
    {
        qbw::FileBuilder b;
        b.SetStream(stream_id::kPrintHeader, qbw::EncodeTextStream(""));
        b.SetStream(stream_id::kExportHeader, qbw::EncodeTextStream(""));
        b.SetStream(stream_id::kPrintFooter, qbw::EncodeTextStream(""));
        CDataFile& f = Open(b, "notes.qbx");
        EXPECT_EQ(LoadPrintHeader(f), "notes");  // empty means default
        EXPECT_EQ(LoadExportHeader(f), "");      // only absent does
        EXPECT_EQ(LoadPrintFooter(f), "Page &P");
    }
    {
        CDataFile& f = OpenStream(stream_id::kExportHeader, qbw::EncodeTextStream("My notes"));
        EXPECT_EQ(LoadExportHeader(f), "My notes");
    }
}

TEST_F(StreamTest, PageSetupFullAndShort) {
    std::array<int16_t, 12> values{50, 75, 50, 75, 0, 0, 1, 1, 0, 1, 1, 0};
    {
        CDataFile& f = OpenStream(stream_id::kPageSetup, qbw::EncodePageSetup(values));
        PageSetupValues p;
        LoadPageSetup(f, p);
        EXPECT_EQ(p.values, values);
        EXPECT_EQ(p.read, 12);
    }
    // Five whole values and half of the sixth: the rest keep the defaults.
    qbw::Encoder body;
    for (int i = 0; i < 6; ++i)
        body.Int16(static_cast<int16_t>(i + 1));
    CDataFile& f = OpenStream(stream_id::kPageSetup, qbw::Encoder().Section(body, 11).Str());
    PageSetupValues p;
    p.values.fill(-1);
    LoadPageSetup(f, p);
    EXPECT_EQ(p.read, 5);
    EXPECT_EQ(p.values[4], 5);
    EXPECT_EQ(p.values[5], -1);
    EXPECT_EQ(p.values[11], -1);
}

qbw::FileSettingsData Settings() {
    qbw::FileSettingsData s;
    s.updateDatesToModified = 1;
    s.wordWrap = 0;
    s.font[0] = 0xF4;
    s.font[28] = 'A';
    s.fontColor = 0x00FF00;
    s.fontAutoColor = 1;
    s.comments = "comments";
    s.relativeLinkLocation = 2;
    s.relativeLinkPath = "D:\\targets";
    s.fullPathNames = 0;
    return s;
}

TEST_F(StreamTest, FileSettingsRoundTrip) {
    CDataFile& f = OpenStream(stream_id::kFileSettings, qbw::EncodeFileSettings(Settings()));
    FileSettings fs;
    ASSERT_TRUE(LoadFileSettings(f, fs));
    EXPECT_EQ(fs.updateDatesToModified, 1);
    EXPECT_EQ(fs.wordWrap, 0);
    EXPECT_EQ(fs.font[0], 0xF4);
    EXPECT_EQ(fs.font[28], 'A');
    EXPECT_EQ(fs.fontColor, 0x00FF00);
    EXPECT_EQ(fs.fontAutoColor, 1);
    EXPECT_EQ(fs.comments, "comments");  // up to its NUL
    EXPECT_EQ(fs.relativeLinkLocation, 2);
    EXPECT_EQ(fs.relativeLinkPath, "D:\\targets");
    EXPECT_EQ(fs.fullPathNames, 0);
}

TEST_F(StreamTest, FileSettingsEndingAfterTheFontColorHaveNoAutomaticColor) {
    // 2 + 6 + 2 + 2 + 50 + 4 bytes: up to and including the font colour.
    std::string bytes = qbw::EncodeFileSettings(Settings(), 66);
    CDataFile& f = OpenStream(stream_id::kFileSettings, bytes);
    FileSettings fs;
    fs.fontAutoColor = 1;
    fs.fullPathNames = 1;
    LoadFileSettings(f, fs);
    EXPECT_EQ(fs.fontColor, 0x00FF00);
    EXPECT_EQ(fs.fontAutoColor, 0);
    EXPECT_EQ(fs.fullPathNames, 1);  // not in the section: the caller's default
    EXPECT_TRUE(fs.comments.empty());
}

TEST_F(StreamTest, FileSettingsTextThatDoesNotFitStaysEmpty) {
    // The section ends inside the first text.
    std::string bytes = qbw::EncodeFileSettings(Settings(), 70 + 4 + 3);
    CDataFile& f = OpenStream(stream_id::kFileSettings, bytes);
    FileSettings fs;
    fs.comments = "old";
    fs.relativeLinkLocation = 1;
    LoadFileSettings(f, fs);
    EXPECT_EQ(fs.fontAutoColor, 1);
    EXPECT_TRUE(fs.comments.empty());
    EXPECT_EQ(fs.relativeLinkLocation, 1);
}

TEST_F(StreamTest, FileSettingsWithAHugeLengthStopAtTheEndOfTheStream) {
    std::string bytes = qbw::EncodeFileSettings(Settings(), 0x7FFFFFF0);
    CDataFile& f = OpenStream(stream_id::kFileSettings, bytes);
    FileSettings fs;
    EXPECT_NO_THROW(LoadFileSettings(f, fs));
    EXPECT_EQ(fs.updateDatesToModified, 1);
}

TEST_F(StreamTest, SavedQueriesCurrentForm) {
    std::vector<qbw::SavedQueryData> q = {{"Cats", "cat AND NOT dog"},
                                          {"2023", "x", 20230101, 20231231}};
    CDataFile& f = OpenStream(stream_id::kSavedQueries, qbw::EncodeSavedQueries(q, {1, 0}));
    SavedQueries s;
    LoadSavedQueries(f, s);
    ASSERT_EQ(s.queries.size(), 2u);
    EXPECT_EQ(s.queries[0].name, "Cats");
    EXPECT_EQ(s.queries[0].text, "cat AND NOT dog");
    EXPECT_EQ(s.queries[0].dateFrom, kDateOpenLow);
    EXPECT_EQ(s.queries[0].dateTo, kDateOpenHigh);
    EXPECT_EQ(s.queries[1].dateFrom, 20230101);
    EXPECT_EQ(s.recent, (std::vector<int16_t>{1, 0}));
}

TEST_F(StreamTest, SavedQueriesWithWrongSignatureAreEmpty) {
    std::vector<qbw::SavedQueryData> q = {{"Cats", "cat"}};
    for (bool old : {false, true}) {
        std::string bytes =
            old ? qbw::EncodeSavedQueriesOld(q, {0}, 219) : qbw::EncodeSavedQueries(q, {0}, 219);
        CDataFile& f = OpenStream(stream_id::kSavedQueries, bytes);
        SavedQueries s;
        LoadSavedQueries(f, s);
        EXPECT_TRUE(s.queries.empty());
        EXPECT_TRUE(s.recent.empty());
    }
}

TEST_F(StreamTest, SavedQueriesOlderForm) {
    std::vector<qbw::SavedQueryData> q = {{"A", "a OR b", 20200101, 20201231}, {"B", "b"}};
    CDataFile& f = OpenStream(stream_id::kSavedQueries, qbw::EncodeSavedQueriesOld(q, {1}));
    SavedQueries s;
    LoadSavedQueries(f, s);
    ASSERT_EQ(s.queries.size(), 2u);
    EXPECT_EQ(s.queries[0].text, "a OR b");
    EXPECT_EQ(s.queries[0].dateTo, 20201231);
    EXPECT_EQ(s.queries[1].name, "B");
    EXPECT_EQ(s.recent, (std::vector<int16_t>{1}));
}

TEST_F(StreamTest, SavedQueriesOlderFormCutShort) {
    std::vector<qbw::SavedQueryData> q = {{"Name", "query text", 20200101, 20201231}};
    // 2 + 4 + (4 + 4) + 4 + 3: the query text's length fits, its bytes do not.
    std::string bytes = qbw::EncodeSavedQueriesOld(q, {}, 220, 21);
    CDataFile& f = OpenStream(stream_id::kSavedQueries, bytes);
    SavedQueries s;
    LoadSavedQueries(f, s);
    ASSERT_EQ(s.queries.size(), 1u);
    EXPECT_EQ(s.queries[0].name, "Name");
    EXPECT_TRUE(s.queries[0].text.empty());
    EXPECT_EQ(s.queries[0].dateFrom, kDateOpenLow);  // no longer fits: default
}

TEST_F(StreamTest, SavedQueriesOlderFormWithALyingCountEnd) {
    qbw::Encoder body;
    body.Int16(220).Int32(0x7FFFFFFF).String("only").String("one").Int32(1).Int32(2);
    CDataFile& f = OpenStream(stream_id::kSavedQueries, qbw::Encoder().Section(body).Str());
    SavedQueries s;
    LoadSavedQueries(f, s);
    ASSERT_EQ(s.queries.size(), 1u);  // not two billion empty entries
    EXPECT_EQ(s.queries[0].name, "only");
}

TEST_F(StreamTest, DamagedSavedQueriesAreEmpty) {
    qbw::Encoder e;
    e.Int32(-1).Int16(220).Int32(1).BlobString("Cats").Int16(0).Int32(1 << 28);  // a broken blob
    CDataFile& f = OpenStream(stream_id::kSavedQueries, e.Str());
    SavedQueries s;
    s.recent = {3};
    EXPECT_NO_THROW(LoadSavedQueries(f, s));
    EXPECT_TRUE(s.queries.empty());
    EXPECT_TRUE(s.recent.empty());
}

TEST_F(StreamTest, RemindersByLevel) {
    std::vector<qbw::ReminderData> r = {
        {0, 0, 0, -1, ""},
        {1, 20240101, 0, -1, ""},
        {2, 20240102, 3661, -1, ""},
        {3, 20240103, 7200, 4, ""},
        {4, 20240104, 60, 2, "future field"},
    };
    defaults_.today = 20240615;
    defaults_.now = 37845;
    CDataFile& f = OpenStream(stream_id::kReminders, qbw::EncodeReminders(r));
    Reminders rs;
    LoadReminders(f, rs, defaults_);
    ASSERT_EQ(rs.list.size(), 5u);
    EXPECT_EQ(rs.list[0].date, 20240615);
    EXPECT_EQ(rs.list[0].time, 37845);
    EXPECT_EQ(rs.list[0].articleId, -1);
    EXPECT_EQ(rs.list[1].date, 20240101);
    EXPECT_EQ(rs.list[1].time, 37845);
    EXPECT_EQ(rs.list[2].time, 3661);
    EXPECT_EQ(rs.list[2].dueTime, 3660);  // seconds dropped
    EXPECT_EQ(rs.list[3].articleId, 4);
    EXPECT_EQ(rs.list[4].articleId, 2);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(rs.list[i].serial, i);
    EXPECT_EQ(rs.list[4].level, 4);
    EXPECT_EQ(rs.articles.Ids(), (std::vector<int32_t>{2, 4}));

    defaults_.reminderTime = 9 * 3600;
    LoadReminders(f, rs, defaults_);
    EXPECT_EQ(rs.list[0].time, 9 * 3600);
}

TEST_F(StreamTest, DamagedRemindersAreEmpty) {
    qbw::Encoder e;
    e.Int32(1000).TaggedInt16(3).TaggedInt32(20240101).TaggedInt32(0).TaggedInt32(1);
    e.Int32(0x7FFFFFFF);  // runs into the end of the chain
    CDataFile& f = OpenStream(stream_id::kReminders, e.Str());
    Reminders rs;
    EXPECT_NO_THROW(LoadReminders(f, rs, defaults_));
    EXPECT_TRUE(rs.list.empty());
    EXPECT_TRUE(rs.articles.Empty());
}

// Only code 5 means "absent or damaged": a stream whose chain leads beyond
// the end of the file throws its own code, and the output is not left half read.
TEST_F(StreamTest, OptionalStreamsThrowOtherErrorsOnAndKeepNoHalfRead) {
    std::vector<int32_t> ids(400);
    for (int32_t i = 0; i < 400; ++i)
        ids[size_t(i)] = i;
    std::vector<qbw::ReminderData> reminders(200, qbw::ReminderData{3, 20240101, 60, 1, ""});
    qbw::FileBuilder b;
    b.SetStream(stream_id::kBookmarks, qbw::EncodeIdStream(ids));
    b.SetStream(stream_id::kSavedQueries,
                qbw::EncodeSavedQueriesOld({{std::string(2000, 'q'), "a", 0, 0}}, {}));
    b.SetStream(stream_id::kReminders, qbw::EncodeReminders(reminders));
    qbw::Image img = b.BuildImage();
    for (int16_t id : {stream_id::kBookmarks, stream_id::kSavedQueries, stream_id::kReminders}) {
        const std::vector<int32_t>& chain = img.layout.streams.at(id);
        ASSERT_GE(chain.size(), 2u) << id;
        img.BreakChain(chain, 0, 1 << 20);
    }
    CDataFile& f = OpenImage(img);

    IdSet set{7};
    EXPECT_EQ(CodeOf([&] { LoadIdStream(f, stream_id::kBookmarks, set); }), err::kTruncated);
    EXPECT_TRUE(set.Empty());

    SavedQueries q;
    q.recent = {1};
    EXPECT_EQ(CodeOf([&] { LoadSavedQueries(f, q); }), err::kTruncated);
    EXPECT_TRUE(q.queries.empty());
    EXPECT_TRUE(q.recent.empty());

    Reminders r;
    r.list.resize(1);
    EXPECT_EQ(CodeOf([&] { LoadReminders(f, r, defaults_); }), err::kTruncated);
    EXPECT_TRUE(r.list.empty());
}

TEST_F(StreamTest, PrivacyDataAndThePasswordCheck) {
    qbw::Key16 salt{}, material{};
    for (int i = 0; i < 16; ++i) {
        salt[i] = static_cast<uint8_t>(0xA0 + i);
        material[i] = static_cast<uint8_t>(3 * i);
    }
    qbw::Privacy p = qbw::MakePrivacy("Secret", salt, material);
    CDataFile& f = OpenStream(stream_id::kPrivacy, p.stream);
    PrivacyData d;
    LoadPrivacyData(f, d);
    EXPECT_NE(d.passwordSet, 0);
    ContentKey key{};
    EXPECT_FALSE(CheckPrivacyPassword(d, "secret", key));  // letter case counts
    EXPECT_FALSE(CheckPrivacyPassword(d, "", key));
    EXPECT_EQ(key, ContentKey{});
    ASSERT_TRUE(CheckPrivacyPassword(d, "Secret", key));
    EXPECT_TRUE(std::equal(key.begin(), key.end(), p.contentKey.begin()));
}

TEST_F(StreamTest, EmptyPasswordIsHashedAsNoBytes) {
    qbw::Key16 salt{}, material{};
    salt[3] = 1;
    qbw::Privacy p = qbw::MakePrivacy("", salt, material);
    CDataFile& f = OpenStream(stream_id::kPrivacy, p.stream);
    PrivacyData d;
    LoadPrivacyData(f, d);
    ContentKey key{};
    EXPECT_TRUE(CheckPrivacyPassword(d, "", key));
    EXPECT_FALSE(CheckPrivacyPassword(d, " ", key));
}

TEST_F(StreamTest, ShortOrMissingPrivacyDataMeansNoPassword) {
    {
        CDataFile& f = OpenEmpty();
        PrivacyData d;
        d.passwordSet = 1;
        LoadPrivacyData(f, d);
        EXPECT_EQ(d.passwordSet, 0);
    }
    qbw::Key16 salt{}, material{};
    salt.fill(5);
    qbw::Privacy p = qbw::MakePrivacy("pw", salt, material);
    std::string bytes = p.stream;
    bytes[0] = 10;  // section length: the flag and part of the salt
    bytes[1] = bytes[2] = bytes[3] = 0;
    CDataFile& f = OpenStream(stream_id::kPrivacy, bytes);
    PrivacyData d;
    LoadPrivacyData(f, d);
    EXPECT_NE(d.passwordSet, 0);
    EXPECT_EQ(d.salt, (std::array<uint8_t, 16>{}));
    EXPECT_EQ(d.check, (std::array<uint8_t, 16>{}));
}

}  // namespace
}  // namespace qb::testing

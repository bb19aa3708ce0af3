// Damaged files: every reader either succeeds or throws CQuillError, never
// anything else (run under the sanitizers this also catches memory faults).
#include <random>

#include "fixture.h"

namespace qb::testing {
namespace {

qbw::FileBuilder Everything() {
    qbw::FileBuilder b;
    b.SetGeometry(64, 16).Scatter(3);
    b.SetVersion(400);
    b.SetRecord(table::kKeywords, 0, qbw::EncodeKeyword("Animals", {4, 1}, 3, true, {2}));
    b.SetRecord(table::kGroups, 0, qbw::EncodeGroup("Pets", {2, 0}));
    qbw::ArticleData a;
    a.level = 6;
    a.articleDate = 20240131;
    a.title = "Title";
    a.plainText = "plain";
    a.richText = std::string(300, 'r');
    a.keywordIds = {0};
    a.attachments = {{1, "C:\\a.txt", 3, 1, qbw::AttachmentForm::kBlobWithIds}};
    a.links = {{0, 5, 3, 2, 20240101, 3600, "x"}};
    b.SetRecord(table::kArticles, 0, qbw::EncodeArticleOld(a, 9));
    b.SetRecord(table::kArticles, 1, qbw::EncodeArticleNew(a));
    b.SetStream(stream_id::kBookmarks, qbw::EncodeIdStream({1, 0}));
    b.SetStream(stream_id::kPrintHeader, qbw::EncodeTextStream("Header"));
    b.SetStream(stream_id::kPageSetup, qbw::EncodePageSetup({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    b.SetStream(stream_id::kFileSettings, qbw::EncodeFileSettings({}));
    b.SetStream(stream_id::kSavedQueries, qbw::EncodeSavedQueriesOld({{"q", "a AND b"}}, {0}));
    b.SetStream(stream_id::kReminders, qbw::EncodeReminders({{4, 20240101, 5, 1, "zz"}}));
    return b;
}

void ReadAll(CDataFile& f) {
    RecordDefaults d;
    auto guard = [](const std::function<void()>& fn) {
        try {
            fn();
        } catch (const CQuillError&) {
        }
    };
    for (int id = 0; id < 2; ++id) {
        guard([&] { ReadArticle(f, id, d); });
        guard([&] { ReadArticleSummary(f, id, d); });
    }
    guard([&] { ReadKeyword(f, 0); });
    guard([&] { ReadGroup(f, 0); });
    guard([&] {
        IdSet ids;
        LoadIdStream(f, stream_id::kBookmarks, ids);
    });
    guard([&] { LoadPrintHeader(f); });
    guard([&] {
        PageSetupValues p;
        LoadPageSetup(f, p);
    });
    guard([&] {
        FileSettings fs;
        LoadFileSettings(f, fs);
    });
    guard([&] {
        SavedQueries q;
        LoadSavedQueries(f, q);
    });
    guard([&] {
        Reminders r;
        LoadReminders(f, r, d);
    });
}

using HostileTest = RecordsTest;

TEST_F(HostileTest, RandomByteDamageOnlyEverThrowsCQuillError) {
    qbw::Image clean = Everything().BuildImage();
    std::mt19937 rng(12345);
    const size_t start = static_cast<size_t>(clean.layout.headerLength);
    for (int round = 0; round < 150; ++round) {
        qbw::Image img = clean;
        int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i) {
            size_t at = start + rng() % (img.bytes.size() - start);
            img.bytes[at] = static_cast<char>(rng() & 0xFF);
        }
        SCOPED_TRACE(round);
        CDataFile* f = nullptr;
        try {
            f = &OpenImage(img);
        } catch (const CQuillError&) {
            continue;
        }
        EXPECT_NO_FATAL_FAILURE(ReadAll(*f));
    }
}

TEST_F(HostileTest, CleanFileReadsWhole) {
    CDataFile& f = Open(Everything());
    RecordDefaults d;
    EXPECT_EQ(ReadArticle(f, 0, d).display.linkDisplay, 0);
    EXPECT_EQ(ReadArticle(f, 1, d).richText, std::string(300, 'r'));
    EXPECT_EQ(ReadKeyword(f, 0).secondIds, (std::vector<int32_t>{2}));
    Reminders r;
    LoadReminders(f, r, d);
    ASSERT_EQ(r.list.size(), 1u);
    EXPECT_EQ(r.list[0].time, 5);
}

}  // namespace
}  // namespace qb::testing

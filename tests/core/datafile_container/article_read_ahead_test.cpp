#include "datafile/article_read_ahead.h"

#include <gmock/gmock.h>

#include <optional>
#include <string>
#include <vector>

#include "datafile/quill_error.h"
#include "support/written_articles.h"
#include "test_files.h"

namespace qb {
namespace {

using testing::TempDir;

constexpr int32_t kCount = 200;
constexpr int32_t kBroken = kCount + 3;  // no such record: its read fails

std::string Title(int32_t i) {
    return "Article " + std::to_string(i) + std::string(size_t(i % 70), 'y');
}

class ReadAhead : public ::testing::Test {
protected:
    void SetUp() override {
        qbw::FileBuilder b;
        b.SetGeometry(64, 16);
        for (int32_t i = 0; i < kCount; ++i)
            b.SetRecord(1, i, testing::TitledArticle(Title(i)));
        b.Scatter(5);
        file.Open(dir.Write("articles.qbx", b.Build()), false);
    }

    // What reading `id` now gives: its title, or the code it fails with.
    std::string Direct(int32_t id) {
        try {
            return ReadArticle(file, id, defaults).title;
        } catch (const CQuillError& e) {
            return "error " + std::to_string(e.Code());
        }
    }
    static std::optional<std::string> Taken(ArticleReadAhead& ahead, int32_t id) {
        CArticle a;
        try {
            if (!ahead.Take(id, a)) return std::nullopt;
            return a.title;
        } catch (const CQuillError& e) {
            return "error " + std::to_string(e.Code());
        }
    }

    TempDir dir;
    CDataFile file;
    RecordDefaults defaults;
};

TEST_F(ReadAhead, GivesWhatADirectReadGivesFailuresIncludedInTheirPlace) {
    ASSERT_THAT(Direct(kBroken), ::testing::StartsWith("error "));
    std::vector<int32_t> order;
    for (int32_t i = kCount - 1; i >= 0; i -= 3)
        order.push_back(i);
    order.push_back(kBroken);
    order.push_back(4);
    // Tight limits make the thread wait on the caller all the time.
    for (auto [articles, bytes] : {std::pair<size_t, size_t>{64, 16u << 20}, {1, 1}, {3, 100}}) {
        ArticleReadAhead ahead(file, defaults, order, articles, bytes);
        for (int32_t id : order)
            EXPECT_EQ(Taken(ahead, id), Direct(id)) << id;
        EXPECT_EQ(Taken(ahead, 4), std::nullopt) << "every one was taken";
    }
}

TEST_F(ReadAhead, SkipsALittleButDeclinesWhatIsNotNext) {
    std::vector<int32_t> order;
    for (int32_t i = 0; i < 100; ++i)
        order.push_back(i);
    ArticleReadAhead ahead(file, defaults, order, 8);
    EXPECT_EQ(Taken(ahead, 0), Title(0));
    EXPECT_EQ(Taken(ahead, 3), Title(3)) << "1 and 2 left out";
    EXPECT_EQ(Taken(ahead, 2), std::nullopt) << "behind the order";
    EXPECT_EQ(Taken(ahead, 90), std::nullopt) << "too far ahead";
    EXPECT_EQ(Taken(ahead, 150), std::nullopt) << "not in the order";
    EXPECT_EQ(Taken(ahead, 4), Title(4)) << "declining changed nothing";
}

TEST_F(ReadAhead, StopsWhenDestroyedHalfWayAndLeavesTheFileReading) {
    std::vector<int32_t> order(kCount);
    for (int32_t i = 0; i < kCount; ++i)
        order[size_t(i)] = i;
    for (int run = 0; run < 20; ++run) {
        ArticleReadAhead ahead(file, defaults, order, 2);
        for (int32_t id = 0; id < run; ++id)
            EXPECT_EQ(Taken(ahead, id), Title(id));
    }
    {
        ArticleReadAhead nothing(file, defaults, {});
        EXPECT_EQ(Taken(nothing, 0), std::nullopt);
    }
    EXPECT_TRUE(file.IsOpen());
    EXPECT_EQ(Direct(kCount - 1), Title(kCount - 1));
}

TEST_F(ReadAhead, OfAClosedFileReadsNothing) {
    CDataFile closed;
    ArticleReadAhead ahead(closed, defaults, {1, 2, 3});
    EXPECT_EQ(Taken(ahead, 1), std::nullopt);
}

}  // namespace
}  // namespace qb

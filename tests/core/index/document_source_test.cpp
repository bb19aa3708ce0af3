// The models over a real document read from a written data file.
#include <gtest/gtest.h>

#include "document/quillbox_doc.h"
#include "fake_source.h"
#include "index/document_source.h"
#include "index/index_model.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"
#include "support/temp_files.h"
#include "writer/qbx_writer.h"

namespace qb::testing {
namespace {

class DocumentSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.Path().empty());
        path = dir / "notes.qbx";
        qbw::FileBuilder fb;
        auto article = [&](int32_t id, const std::string& title, std::vector<int32_t> kws,
                           int32_t date) {
            qbw::ArticleData a;
            a.title = title;
            a.articleDate = date;
            a.articleTime = 0;
            a.flags = 0x40;
            a.keywordIds = std::move(kws);
            fb.SetRecord(1, id, qbw::EncodeArticleNew(a));
        };
        article(0, "Wren", {0}, 20230301);
        article(1, "Robin", {0, 1}, 20230401);
        article(2, "Oak", {1}, 20230501);
        article(3, "Empty", {}, 20230601);
        fb.SetRecord(0, 0, qbw::EncodeKeyword("Birds", {0, 1}));
        fb.SetRecord(0, 1, qbw::EncodeKeyword("Garden", {1, 2}));
        fb.SetRecord(3, 0, qbw::EncodeGroup("Nature", {1, 0}));
        fb.SetStream(qbw::stream::kSavedQueries,
                     qbw::EncodeSavedQueries({{"gardens", "garden", 20230401, 20231231},
                                              {"stale", "Fungi", kDateOpenLow, kDateOpenHigh}},
                                             {1, 0}));
        fb.WriteFile(path);
        DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        doc = std::make_unique<CQuillboxDoc>(s);
        ASSERT_TRUE(doc->OnOpenDocument(path));
        source = std::make_unique<DocumentIndexSource>(*doc);
    }
    void TearDown() override { doc.reset(); }

    TempDir dir;
    std::string path;
    RecordingUi ui;
    FixedLocale locale;
    RecordingHost host;
    std::unique_ptr<CQuillboxDoc> doc;
    std::unique_ptr<DocumentIndexSource> source;
};

TEST_F(DocumentSourceTest, ArticleKeywordsComeFromTheKeywordRecords) {
    IdSet k;
    source->KeywordsOfArticle(1, k);
    EXPECT_EQ(Ids(k), (std::vector<int32_t>{0, 1}));
    source->KeywordsOfArticle(3, k);
    EXPECT_TRUE(k.Empty());
    source->KeywordsOfArticle(999, k);
    EXPECT_TRUE(k.Empty());
    source->KeywordsOfGroup(0, k);
    EXPECT_EQ(Ids(k), (std::vector<int32_t>{0, 1}));
    source->KeywordsOfGroup(7, k);  // no such group: nothing, silently
    EXPECT_TRUE(k.Empty());
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(DocumentSourceTest, QueriesAndSelectionOverTheFile) {
    QueryExpression q;
    IndexModel m(*source, locale, ui, host, q, IndexSettings{0, 0, 1, 1});
    m.InitialUpdate();
    EXPECT_EQ(m.TitleCaption(), "All Titles (4 of 4)");
    EXPECT_EQ(Ids(m.IndexList().Members()), (std::vector<int32_t>{0, 1}));
    m.AddToSelection(IdSet{0});
    EXPECT_EQ(Ids(m.Titles().Members()), (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(Ids(m.IndexList().Members()), (std::vector<int32_t>{1}));

    q.Compile("NOKEYS OR GROUP: nature AND NOT birds", *source);
    m.RunCurrentQuery();
    EXPECT_EQ(Ids(m.Titles().Members()), (std::vector<int32_t>{2, 3}));

    EXPECT_TRUE(m.RunSavedQuery(0));  // garden, from April: Robin and Oak
    EXPECT_EQ(m.TitleCaption(), "Query Titles (2 of 4)");
    EXPECT_EQ(m.Saved().Recent(), (std::vector<int32_t>{0, 1}));
    EXPECT_FALSE(m.RunSavedQuery(1));
    EXPECT_EQ(ui.LastText(), ResourceString(msg::kSavedQueryInvalid));
}

}  // namespace
}  // namespace qb::testing

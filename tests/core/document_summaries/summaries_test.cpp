// Building every summary ahead on several threads gives what reading them
// one by one gives: the same summaries and, for the articles that cannot
// be read, the same failures when they are asked for.
#include <map>

#include "core/document/doc_fixture.h"

namespace qb::testing {
namespace {

const qbw::Key16 kSalt{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const qbw::Key16 kMaterial{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                           0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
constexpr int32_t kArticles = 700;

// Articles of every kind: with attachments and links, private ones (their
// blobs under the content key), a free slot, and damage of two kinds: a
// broken chain and a compressed title that does not inflate.
std::string MixedFile(TempDir& dir) {
    qbw::Privacy p = qbw::MakePrivacy("pw", kSalt, kMaterial, 1);
    qbw::FileBuilder b;
    b.SetGeometry(128, 32);
    std::map<int32_t, std::vector<qbw::BlobPlacement>> placed;
    std::vector<int32_t> privateIds;
    for (int32_t id = 0; id < kArticles; ++id) {
        if (id == 333) continue;  // a free slot
        qbw::ArticleData a;
        a.title =
            "Title " + std::to_string((id * 7919) % kArticles) + std::string(size_t(id % 40), 'q');
        a.articleDate = 19900101 + id % 28;
        a.articleTime = id * 13;
        a.createdDate = 20000101 + id % 12 * 100;
        a.flags = id % 3 == 0 ? 0x00C0 : 0;
        a.richText = "{\\rtf1 " + a.title + "}";
        for (int32_t k = 0; k < id % 4; ++k)
            a.attachments.push_back({1, "/tmp/f" + std::to_string(k)});
        qbw::NewArticleOptions o;
        if (id % 11 == 5) {
            o.blobs.mode = qbw::BlobMode::kPrivate;
            o.blobs.contentKey = p.contentKey;
            o.blobs.salt = id;
            privateIds.push_back(id);
        }
        qbw::Encoder e;
        qbw::WriteArticleNew(e, a, o);
        placed[id] = e.Blobs();
        b.SetRecord(1, id, e.Str());
    }
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream(privateIds));
    b.Scatter(3);
    qbw::Image img = b.BuildImage();
    for (int32_t id = 17; id < kArticles; id += 97)
        img.BreakChain(img.layout.records.at({1, id}), 1);
    for (int32_t id = 40; id < kArticles; id += 89) {
        const qbw::BlobPlacement& title = placed.at(id).front();
        const auto& chain = img.layout.records.at({1, id});
        for (size_t k = 0; k < 4; ++k)
            img.bytes[size_t(img.layout.ContentOffset(chain, int64_t(title.dataOffset + k)))] ^=
                0x5A;
    }
    return dir.Write("mixed.qbx", img.bytes);
}

// What asking for every summary in turn gives: the fields, or the code.
std::vector<std::string> AskEvery(CQuillboxDoc& d) {
    std::vector<std::string> out;
    for (int32_t id = -1; id <= kArticles; ++id) {
        try {
            const ArticleSummary& s = d.Summary(id);
            out.push_back(s.title + "|" + std::to_string(s.articleDate) + "|" +
                          std::to_string(s.articleTime) + "|" + std::to_string(s.createdDate) +
                          "|" + std::to_string(s.createdTime) + "|" +
                          std::to_string(s.attachmentCount) + "|" + (s.hasLinks ? "L" : "-"));
        } catch (const CQuillError& e) {
            out.push_back("error " + std::to_string(e.Code()));
        }
    }
    return out;
}

std::vector<int32_t> Every() {
    std::vector<int32_t> ids;
    for (int32_t id = kArticles + 5; id >= -3; --id)  // out of order, out of range too
        ids.push_back(id);
    ids.push_back(10);  // twice
    return ids;
}

TEST_F(DocTest, SummariesBuiltAheadAreThoseReadOneByOne) {
    const std::string file = MixedFile(dir);
    ASSERT_TRUE(doc->OnOpenDocument(file));
    const std::vector<std::string> sequential = AskEvery(*doc);
    const size_t failures =
        size_t(std::count_if(sequential.begin(), sequential.end(),
                             [](const std::string& s) { return s.starts_with("error"); }));
    ASSERT_GT(failures, 20u) << "damaged, private and free articles fail";
    ASSERT_LT(failures, 200u);
    const size_t messages = ui.messages.size();  // Summary itself reports nothing

    for (unsigned threads : {1u, 2u, 3u}) {
        MakeDoc();
        ui.messages.clear();
        ASSERT_TRUE(doc->OnOpenDocument(file));
        ASSERT_TRUE(ui.messages.empty());
        doc->LoadSummaries(Every(), threads);
        EXPECT_TRUE(ui.messages.empty()) << "building ahead reports nothing";
        EXPECT_TRUE(doc->HasSummary(0));
        EXPECT_FALSE(doc->HasSummary(40)) << "a failed read is left for Summary";
        EXPECT_EQ(AskEvery(*doc), sequential) << threads << " threads";
        EXPECT_EQ(ui.messages.size(), messages);
    }
}

TEST_F(DocTest, SummariesBuiltAheadWithTheKeyReadPrivateTitles) {
    const std::string file = MixedFile(dir);
    ASSERT_TRUE(doc->OnOpenDocument(file));
    ASSERT_TRUE(doc->CheckPassword("pw"));
    const std::vector<std::string> sequential = AskEvery(*doc);
    EXPECT_EQ(sequential[size_t(5 + 1)].rfind("Title ", 0), 0u) << "article 5 is private";

    MakeDoc();
    ASSERT_TRUE(doc->OnOpenDocument(file));
    ASSERT_TRUE(doc->CheckPassword("pw"));
    doc->LoadSummaries(Every(), 2);
    EXPECT_EQ(AskEvery(*doc), sequential);

    // Kept summaries are not built again.
    const ArticleSummary* kept = &doc->Summary(0);
    doc->LoadSummaries({0, 1, 2}, 2);
    EXPECT_EQ(&doc->Summary(0), kept);
}

TEST_F(DocTest, LoadSummariesWithoutAFileDoesNothing) {
    doc->LoadSummaries({0, 1, 2});
    EXPECT_FALSE(doc->HasSummary(0));
    EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace qb::testing

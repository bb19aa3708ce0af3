// A small notebook built with the writer, and running qbx over it in a
// fixed locale.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_files.h"
#include "support/written_articles.h"
#include "writer/qbx_writer.h"

namespace qb::testing {

inline bool Has(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

// Keyword ids and article ids of the notebook.
namespace nb {
enum Keyword { kBirds, kTrees, kFungi, kSecret, kTwoWords };
enum Article { kWren, kOak, kChanterelle, kRobin, kDiary };
constexpr char kPassword[] = "pw";
}  // namespace nb

// Four visible articles and one private one ("Hidden diary", keyword Secret
// only); Wren is bookmarked, Oak has an attachment; three saved queries.
inline qbw::FileBuilder Notebook(int32_t flags = 0) {
    qbw::Key16 salt{}, material{};
    for (int i = 0; i < 16; ++i) {
        salt[i] = uint8_t(3 * i + 1);
        material[i] = uint8_t(0xA5 ^ i);
    }
    qbw::Privacy privacy = qbw::MakePrivacy(nb::kPassword, salt, material);
    auto article = [](const char* title, int32_t date, std::vector<int32_t> keywords) {
        qbw::ArticleData a;
        a.title = title;
        a.articleDate = date;
        a.articleTime = 0;
        a.richText = std::string("{\\rtf1 ") + title + "}";
        a.keywordIds = std::move(keywords);
        return a;
    };
    qbw::FileBuilder b;
    b.SetFlags(flags);
    b.SetRecord(1, nb::kWren, qbw::EncodeArticleNew(article("Wren", 20230405, {0, 4})));
    qbw::ArticleData oak = article("Oak and rook", 20220110, {0, 1});
    qbw::AttachmentData photo;
    photo.target = "/home/me/oak.jpg";
    oak.attachments.push_back(photo);
    b.SetRecord(1, nb::kOak, qbw::EncodeArticleNew(oak));
    b.SetRecord(1, nb::kChanterelle,
                qbw::EncodeArticleNew(article("Chanterelle", 20231015, {1, 2})));
    b.SetRecord(1, nb::kRobin, qbw::EncodeArticleNew(article("Robin", 20230405, {0})));
    qbw::ArticleData diary = article("Hidden diary", 20240101, {3});
    diary.flags = 0x0003;
    qbw::NewArticleOptions hidden;
    hidden.blobs.mode = qbw::BlobMode::kPrivate;
    hidden.blobs.contentKey = privacy.contentKey;
    b.SetRecord(1, nb::kDiary, qbw::EncodeArticleNew(diary, hidden));

    b.SetRecord(0, nb::kBirds, qbw::EncodeKeyword("Birds", {0, 1, 3}));
    b.SetRecord(0, nb::kTrees, qbw::EncodeKeyword("Trees", {1, 2}));
    b.SetRecord(0, nb::kFungi, qbw::EncodeKeyword("Fungi", {2}));
    b.SetRecord(0, nb::kSecret, qbw::EncodeKeyword("Secret", {4}));
    b.SetRecord(0, nb::kTwoWords, qbw::EncodeKeyword("Two words", {0}));

    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({nb::kWren}));
    b.SetStream(qbw::stream::kPrivacy, privacy.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({nb::kDiary}));
    auto query = [](const char* name, const char* text,
                    int32_t from = qbw::SavedQueryData().dateFrom,
                    int32_t to = qbw::SavedQueryData().dateTo) {
        qbw::SavedQueryData q;
        q.name = name;
        q.query = text;
        q.dateFrom = from;
        q.dateTo = to;
        return q;
    };
    b.SetStream(qbw::stream::kSavedQueries,
                qbw::EncodeSavedQueries({query("Birds only", "Birds AND NOT Trees"),
                                         query("Year 2023", "Birds OR Fungi", 20230101, 20231231),
                                         query("Broken", "Gone AND Birds")},
                                        {1, 0}));
    return b;
}

// Two articles, "open" and the private "hidden", keywords "zeta" and "Alpha",
// password "pw"; with flags 1 the file asks for its password at open.
inline std::string PasswordFile(const TempDir& dir, int32_t flags) {
    qbw::Privacy p = qbw::MakePrivacy("pw", {}, {9, 9, 9});
    qbw::FileBuilder b;
    b.SetFlags(flags);
    b.SetRecord(1, 0, TitledArticle("open", 0));
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kPrivate;
    o.blobs.contentKey = p.contentKey;
    b.SetRecord(1, 1, TitledArticle("hidden", 0x0003, o));
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({1}));
    b.SetRecord(0, 0, qbw::EncodeKeyword("zeta", {}))
        .SetRecord(0, 1, qbw::EncodeKeyword("Alpha", {}));
    return dir.Write(flags ? "asks.qbx" : "locked.qbx", b.Build());
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { path_ = dir_.Write("notebook.qbx", Notebook().Build()); }

    // qbx in the POSIX locale (dates M/D/YY), unless the options name another.
    static ProgramResult Qbx(const std::vector<std::string>& args, RunOptions o = {}) {
        if (!o.env.count("LC_ALL")) o.Env("LC_ALL", "C");
        return RunQbx(args, o);
    }

    TempDir dir_;
    std::string path_;
};

}  // namespace qb::testing

// The index port over CQuillboxDoc.
#pragma once

#include <vector>

#include "document/quillbox_doc.h"
#include "index/index_source.h"

namespace qb {

class DocumentIndexSource : public IndexSource {
public:
    explicit DocumentIndexSource(CQuillboxDoc& doc) : doc_(doc) {}

    void AllKeywords(IdSet& out) override { doc_.AllKeywords(out); }
    std::string KeywordName(int32_t id) override;
    int32_t FindKeyword(const std::string& name) override { return doc_.FindKeyword(name); }
    void AllGroups(IdSet& out) override { doc_.AllGroups(out); }
    std::string GroupName(int32_t id) override;
    int32_t FindGroup(const std::string& name) override { return doc_.FindGroup(name); }

    void ArticlesOfKeyword(int32_t id, IdSet& out) override { doc_.ArticlesOfKeyword(id, out); }
    void KeywordsOfGroup(int32_t id, IdSet& out) override;
    void KeywordsOfArticle(int32_t id, IdSet& out) override;

    void VisibleArticles(IdSet& out) override { doc_.VisibleArticles(out); }
    void VisibleBookmarks(IdSet& out) override { doc_.VisibleBookmarks(out); }
    int32_t VisibleCount() override { return doc_.VisibleCount(); }
    int32_t PrivateCount() override { return doc_.PrivateCount(); }
    bool IsBookmarked(int32_t id) override { return doc_.IsBookmarked(id); }
    bool IsPrivate(int32_t id) override { return doc_.IsPrivate(id); }
    const ArticleSummary& Summary(int32_t id) override { return doc_.Summary(id); }
    void LoadSummaries(const std::vector<int32_t>& ids) override { doc_.LoadSummaries(ids); }
    const std::string& TitleSortKey(int32_t id, const Locale& locale) override {
        return doc_.TitleSortKey(id, locale);
    }
    const CodePage& TextCodePage() override { return doc_.TextCodePage(); }
    SavedQueries SavedQueryTable() override { return doc_.Queries(); }
    int32_t SortOrder() override { return doc_.SortOrder(); }
    void SetSortOrder(int32_t order) override { doc_.SetSortOrder(order); }

    // Forgets the article-to-keywords table (another file was opened).
    void Reset() { built_ = false, byArticle_.clear(); }

private:
    void BuildArticleKeywords();

    CQuillboxDoc& doc_;
    bool built_ = false;
    std::vector<std::vector<int32_t>> byArticle_;
};

}  // namespace qb

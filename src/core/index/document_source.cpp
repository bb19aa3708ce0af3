#include "index/document_source.h"

#include <algorithm>
#include <new>

#include "datafile/quill_error.h"

namespace qb {

std::string DocumentIndexSource::KeywordName(int32_t id) {
    try {
        return doc_.KeywordName(id);
    } catch (const CQuillError&) {
        return std::string();  // an unreadable keyword shows as an empty name
    }
}

std::string DocumentIndexSource::GroupName(int32_t id) {
    std::string s;
    try {
        doc_.GroupName(id, s);
    } catch (const CQuillError&) {
        s.clear();
    }
    return s;
}

void DocumentIndexSource::KeywordsOfGroup(int32_t id, IdSet& out) {
    out.Clear();
    try {
        CKeywordGroup g;
        doc_.ReadGroup(id, g);
        out.Copy(g.keywords);
    } catch (const CQuillError& e) {
        if (e.Code() != err::kCorrupted && e.Code() != err::kBadRecordId) throw;
        out.Clear();  // a group that no longer exists contributes nothing
    }
}

// The keyword records are the one place that says which articles carry a
// keyword; reading every article record for its keyword list would touch
// every article body. The table is built once from the keyword records, so
// a related keyword always yields articles when it is selected.
void DocumentIndexSource::BuildArticleKeywords() {
    byArticle_.clear();
    try {
        const IdSet& all = doc_.AllArticles();
        if (!all.Empty() && all.Ids().back() >= 0) byArticle_.resize(size_t(all.Ids().back()) + 1);
        IdSet keywords, articles;
        doc_.AllKeywords(keywords);
        for (int32_t k : keywords) {
            doc_.ArticlesOfKeyword(k, articles);
            for (int32_t a : articles)
                if (a >= 0 && size_t(a) < byArticle_.size()) byArticle_[size_t(a)].push_back(k);
        }
    } catch (const std::bad_alloc&) {
        byArticle_.clear();
        throw CQuillError(err::kOutOfMemory, doc_.PathName());
    }
    built_ = true;
}

void DocumentIndexSource::KeywordsOfArticle(int32_t id, IdSet& out) {
    if (!built_) BuildArticleKeywords();
    out.Clear();
    if (id >= 0 && size_t(id) < byArticle_.size()) {
        for (int32_t k : byArticle_[size_t(id)])
            out.Insert(k);  // ascending already: keywords were visited in order
    }
}

}  // namespace qb

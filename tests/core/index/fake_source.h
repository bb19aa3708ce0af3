// An in-memory document for the index models: keywords, groups and
// articles set up by the test, with the articles of a keyword derived from
// the articles' keyword lists.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "datafile/quill_error.h"
#include "index/index_host.h"
#include "index/index_source.h"
#include "platform/locale.h"

namespace qb::testing {

class FakeSource : public IndexSource {
public:
    struct Article {
        ArticleSummary summary;
        std::vector<int32_t> keywords;
        bool unreadable = false;
    };

    std::vector<std::string> keywords;  // id = index; empty = no keyword
    std::map<int32_t, std::pair<std::string, std::vector<int32_t>>> groups;
    std::map<int32_t, Article> articles;
    std::set<int32_t> bookmarks, privates;
    bool privateHidden = true;
    int32_t sortOrder = 0;
    SavedQueries saved;
    int summaryReads = 0;
    CodePage codePage;

    int32_t AddKeyword(const std::string& name) {
        keywords.push_back(name);
        return int32_t(keywords.size() - 1);
    }
    int32_t AddArticle(const std::string& title, std::vector<int32_t> kws = {},
                       int32_t date = 20200101, int32_t time = 0) {
        int32_t id = articles.empty() ? 0 : articles.rbegin()->first + 1;
        Article& a = articles[id];
        a.summary.title = title;
        a.summary.articleDate = date;
        a.summary.articleTime = time;
        a.keywords = std::move(kws);
        return id;
    }
    void AddGroup(int32_t id, const std::string& name, std::vector<int32_t> kws) {
        groups[id] = {name, std::move(kws)};
    }

    void AllKeywords(IdSet& out) override {
        std::vector<int32_t> ids;
        for (size_t i = 0; i < keywords.size(); ++i)
            if (!keywords[i].empty()) ids.push_back(int32_t(i));
        out = IdSet::FromUnsorted(ids);
    }
    std::string KeywordName(int32_t id) override {
        return id >= 0 && size_t(id) < keywords.size() ? keywords[size_t(id)] : "";
    }
    static bool SameNoCase(const std::string& a, const std::string& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i]))
                return false;
        return true;
    }
    int32_t FindKeyword(const std::string& name) override {
        if (name.empty()) return NIL_BLOCK;
        for (size_t i = 0; i < keywords.size(); ++i)
            if (!keywords[i].empty() && SameNoCase(keywords[i], name)) return int32_t(i);
        return NIL_BLOCK;
    }
    void AllGroups(IdSet& out) override {
        std::vector<int32_t> ids;
        for (auto& [id, g] : groups)
            ids.push_back(id);
        out = IdSet::FromUnsorted(ids);
    }
    std::string GroupName(int32_t id) override {
        auto it = groups.find(id);
        return it == groups.end() ? "" : it->second.first;
    }
    int32_t FindGroup(const std::string& name) override {
        if (name.empty()) return NIL_BLOCK;
        for (auto& [id, g] : groups)
            if (SameNoCase(g.first, name)) return id;
        return NIL_BLOCK;
    }
    void ArticlesOfKeyword(int32_t id, IdSet& out) override {
        std::vector<int32_t> ids;
        for (auto& [aid, a] : articles)
            for (int32_t k : a.keywords)
                if (k == id) ids.push_back(aid);
        out = IdSet::FromUnsorted(ids);
    }
    void KeywordsOfGroup(int32_t id, IdSet& out) override {
        auto it = groups.find(id);
        out = it == groups.end() ? IdSet() : IdSet::FromUnsorted(it->second.second);
    }
    void KeywordsOfArticle(int32_t id, IdSet& out) override {
        auto it = articles.find(id);
        out = it == articles.end() ? IdSet() : IdSet::FromUnsorted(it->second.keywords);
    }
    void VisibleArticles(IdSet& out) override {
        std::vector<int32_t> ids;
        for (auto& [id, a] : articles)
            if (!(privateHidden && privates.count(id))) ids.push_back(id);
        out = IdSet::FromUnsorted(ids);
    }
    void VisibleBookmarks(IdSet& out) override {
        std::vector<int32_t> ids;
        for (int32_t id : bookmarks)
            if (!(privateHidden && privates.count(id))) ids.push_back(id);
        out = IdSet::FromUnsorted(ids);
    }
    int32_t VisibleCount() override {
        IdSet v;
        VisibleArticles(v);
        return int32_t(v.Count());
    }
    int32_t PrivateCount() override { return int32_t(privates.size()); }
    bool IsBookmarked(int32_t id) override { return bookmarks.count(id) != 0; }
    bool IsPrivate(int32_t id) override { return privates.count(id) != 0; }
    const ArticleSummary& Summary(int32_t id) override {
        ++summaryReads;
        auto it = articles.find(id);
        if (it == articles.end() || it->second.unreadable) throw CQuillError(err::kCorrupted);
        return it->second.summary;
    }
    const std::string& TitleSortKey(int32_t id, const Locale& locale) override {
        auto it = articles.find(id);
        if (it == articles.end() || it->second.unreadable) throw CQuillError(err::kCorrupted);
        ArticleSummary& s = it->second.summary;
        s.titleKey = locale.SortKey(codePage.ToUtf16(s.title));
        return s.titleKey;
    }
    const CodePage& TextCodePage() override { return codePage; }
    SavedQueries SavedQueryTable() override { return saved; }
    int32_t SortOrder() override { return sortOrder; }
    void SetSortOrder(int32_t order) override { sortOrder = order; }
};

struct RecordingHost : IndexHost {
    int waits = 0, previews = 0, fronts = 0;
    std::vector<int32_t> storedOrders, storedModes, opened, closed;
    std::optional<int32_t> active;
    void BeginWaitCursor() override { ++waits; }
    void RefreshPreview() override { ++previews; }
    void BringToFront() override { ++fronts; }
    void StoreSortOrder(int32_t o) override { storedOrders.push_back(o); }
    void StoreSelectListMode(int32_t m) override { storedModes.push_back(m); }
    void OpenArticle(int32_t id) override { opened.push_back(id); }
    void CloseArticleWindow(int32_t id) override { closed.push_back(id); }
    std::optional<int32_t> ActiveArticleWindow() override { return active; }
};

inline std::vector<int32_t> Ids(const IdSet& s) {
    return std::vector<int32_t>(s.begin(), s.end());
}

}  // namespace qb::testing

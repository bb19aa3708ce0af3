// What the index models need of the open document, as one narrow port: the
// models are tested against an in-memory fake, and the reader hands them
// the document through DocumentIndexSource.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/id_set.h"
#include "datafile/records.h"
#include "document/article_summary.h"
#include "platform/code_page.h"

namespace qb {

class Locale;

class IndexSource {
public:
    virtual ~IndexSource() = default;

    // The code page of the names and titles handed out (as stored).
    virtual const CodePage& TextCodePage() {
        static const CodePage windows1252;
        return windows1252;
    }

    // Names are in TextCodePage; an unreadable or missing one is empty.
    virtual void AllKeywords(IdSet& out) = 0;
    virtual std::string KeywordName(int32_t id) = 0;
    virtual int32_t FindKeyword(const std::string& name) = 0;  // NIL_BLOCK: none
    virtual void AllGroups(IdSet& out) = 0;
    virtual std::string GroupName(int32_t id) = 0;
    virtual int32_t FindGroup(const std::string& name) = 0;  // NIL_BLOCK: none

    // Empty for a keyword or group that no longer exists.
    virtual void ArticlesOfKeyword(int32_t id, IdSet& out) = 0;
    virtual void KeywordsOfGroup(int32_t id, IdSet& out) = 0;
    virtual void KeywordsOfArticle(int32_t id, IdSet& out) = 0;

    virtual void VisibleArticles(IdSet& out) = 0;
    virtual void VisibleBookmarks(IdSet& out) = 0;
    virtual int32_t VisibleCount() = 0;
    virtual int32_t PrivateCount() = 0;
    virtual bool IsBookmarked(int32_t id) = 0;
    virtual bool IsPrivate(int32_t id) = 0;

    // Read once and kept; throws CQuillError when the article cannot be read.
    virtual const ArticleSummary& Summary(int32_t id) = 0;
    // A hint that the summaries of `ids` are about to be asked for: a source
    // may build them ahead (all at once, on several threads). It reports
    // nothing; Summary still answers, and throws, as without it.
    virtual void LoadSummaries(const std::vector<int32_t>& ids) { (void)ids; }
    // The title's collation key under `locale` (Locale::SortKey of the
    // decoded title); valid while the summary is. Throws as Summary.
    virtual const std::string& TitleSortKey(int32_t id, const Locale& locale) = 0;

    // The saved queries of the file.
    virtual SavedQueries SavedQueryTable() { return SavedQueries(); }

    // The order the title list sorts by, kept with the document.
    virtual int32_t SortOrder() = 0;
    virtual void SetSortOrder(int32_t order) = 0;
};

}  // namespace qb

// Searching articles for a text: which articles of a range hold it, in the
// range's order, within a date range. The search is resumable: Step does a
// bounded amount of work and returns, so the reader drives it from its event
// loop between repaints and the progress window's Cancel, and qbx drives it
// in a loop. Everything runs on the caller's thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "article/find_options.h"
#include "datafile/quill_error.h"
#include "platform/code_page.h"
#include "richtext/rich_text.h"
#include "richtext/text_find.h"

namespace qb {

class CQuillboxDoc;
class ProgressPort;
class ProgressWindow;
struct CArticle;

// Whether one article holds the text, as the control would find it: the
// title (trailing white space removed, as plain text) is tried before the
// content, which is read as the control reads it (LoadArticleContent).
class ArticleMatcher {
public:
    // Titles and plain content are in the code page `page`.
    ArticleMatcher(std::u16string_view pattern, uint32_t flags, FindWhere where,
                   const CodePage& page = CodePage());

    bool Matches(const CArticle& article);
    bool TitleMatches(std::string_view storedTitle);
    bool ContentMatches(bool richText, std::string_view content);

private:
    TextPattern pattern_;
    FindWhere where_;
    CodePage page_;
    RichTextControl control_;
    std::u16string text_;
};

// Stored plain text as the control holds it after SetText: CRLF, LF and CR
// each end a paragraph with one CR.
void PlainTextAsControlHolds(std::string_view stored, std::u16string& out,
                             const CodePage& page = CodePage());

// A title with its trailing white space removed.
std::string_view TrimmedTitle(std::string_view title);

struct ArticleSearchRequest {
    std::vector<int32_t> ids;  // the range, in the order to search and list it
    std::string text;          // UTF-8; empty: every article dated in the range
    uint32_t flags = kFindDown;
    FindWhere where = FindWhere::kTitleAndText;
    int32_t dateFrom = INT32_MIN, dateTo = INT32_MAX;  // both included
};

class ArticleSearch {
public:
    enum class Status { kRunning, kFinished, kCancelled, kFailed };

    ArticleSearch(CQuillboxDoc& doc, ArticleSearchRequest request);
    ~ArticleSearch();

    // Searches up to `budget` articles (at least one). At the end (all
    // searched, or a data-file error, which is reported through the
    // document) the document keeps the found list.
    Status Step(int32_t budget);
    // Stops the search, keeping what was found so far.
    void Cancel();

    Status CurrentStatus() const { return status_; }
    bool Done() const { return status_ != Status::kRunning; }
    const std::vector<int32_t>& Found() const { return found_; }
    size_t Searched() const { return next_; }
    size_t Total() const { return request_.ids.size(); }
    const std::optional<CQuillError>& Error() const { return error_; }
    // Whether the list stops short of the whole range (a cancel or an error).
    bool Stopped() const { return status_ == Status::kCancelled || status_ == Status::kFailed; }
    // The message to show at the end: the search was canceled, or nothing
    // was found; 0 for none.
    int EndMessage() const;

private:
    void End(Status status);

    CQuillboxDoc& doc_;
    ArticleSearchRequest request_;
    ArticleMatcher matcher_;
    std::unique_ptr<CArticle> article_;  // reused between articles
    size_t next_ = 0;
    std::vector<int32_t> found_;
    Status status_ = Status::kRunning;
    std::optional<CQuillError> error_;
};

// The progress text for `found` articles found so far.
std::string FindProgressText(size_t found);
// The caption of Find's progress window and dialog.
inline constexpr char kFindCaption[] = "Find";

// An ArticleSearch with its progress window: opened by the constructor with
// the count 0, updated as articles are found; its Cancel cancels the search.
class SearchWithProgress {
public:
    SearchWithProgress(ArticleSearch& search, ProgressPort& port);
    ~SearchWithProgress();
    // One slice of the search; false once it has ended (the window closed).
    bool Step(int32_t budget = 1);

private:
    ArticleSearch& search_;
    std::unique_ptr<ProgressWindow> window_;
    size_t shown_ = 0;
};

// Runs the whole search with a progress window; returns its end status.
ArticleSearch::Status RunArticleSearch(ArticleSearch& search, ProgressPort& port);

}  // namespace qb

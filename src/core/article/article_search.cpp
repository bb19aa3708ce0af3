#include "article/article_search.h"

#include <algorithm>

#include "datafile/articles.h"
#include "document/quillbox_doc.h"
#include "platform/progress.h"
#include "resources/strings.h"
#include "richtext/article_content.h"

namespace qb {

void PlainTextAsControlHolds(std::string_view stored, std::u16string& out, const CodePage& page) {
    out.clear();
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        char c = stored[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < stored.size() && stored[i + 1] == '\n') ++i;
            out.push_back(kParagraphEnd);
        } else {
            out.push_back(page.Decode(uint8_t(c)));
        }
    }
}

std::string_view TrimmedTitle(std::string_view title) {
    std::size_t n = title.size();
    while (n > 0) {
        char c = title[n - 1];
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\v' && c != '\f') break;
        --n;
    }
    return title.substr(0, n);
}

ArticleMatcher::ArticleMatcher(std::u16string_view pattern, uint32_t flags, FindWhere where,
                               const CodePage& page)
    : pattern_(pattern, flags), where_(where), page_(page) {}

bool ArticleMatcher::TitleMatches(std::string_view storedTitle) {
    PlainTextAsControlHolds(TrimmedTitle(storedTitle), text_, page_);
    return pattern_.Find(text_) >= 0;
}

bool ArticleMatcher::ContentMatches(bool richText, std::string_view content) {
    // Rich text goes through the control's own reader, so that the text
    // searched is character for character the text an article window shows.
    if (richText && control_.StreamInRtf(content))
        return pattern_.Find(control_.Text()) >= 0;
    PlainTextAsControlHolds(content, text_, page_);
    return pattern_.Find(text_) >= 0;
}

bool ArticleMatcher::Matches(const CArticle& article) {
    if (pattern_.Empty()) return true;
    if (where_ != FindWhere::kTextOnly && TitleMatches(article.title)) return true;
    if (where_ != FindWhere::kTitleOnly && ContentMatches(article.IsRichText(), article.Content()))
        return true;
    return false;
}

ArticleSearch::ArticleSearch(CQuillboxDoc& doc, ArticleSearchRequest request)
    : doc_(doc),
      request_(std::move(request)),
      matcher_(Utf8ToUtf16(request_.text), request_.flags, request_.where, doc.TextCodePage()),
      article_(std::make_unique<CArticle>()) {}

ArticleSearch::~ArticleSearch() = default;

void ArticleSearch::End(Status status) {
    status_ = status;
    doc_.SetFoundArticles(found_, Stopped());
}

ArticleSearch::Status ArticleSearch::Step(int32_t budget) {
    if (Done()) return status_;
    const bool anyText = !request_.text.empty();
    for (int32_t done = 0; done < std::max(budget, 1) && next_ < request_.ids.size(); ++done) {
        int32_t id = request_.ids[next_];
        try {
            doc_.ReadArticle(id, *article_);
            const CArticle& a = *article_;
            bool dated = a.articleDate >= request_.dateFrom && a.articleDate <= request_.dateTo;
            if (dated && (!anyText || matcher_.Matches(a))) found_.push_back(id);
        } catch (const CQuillError& e) {
            error_ = e;
            doc_.Report(e);
            End(Status::kFailed);
            return status_;
        } catch (const std::bad_alloc&) {
            error_ = CQuillError(err::kOutOfMemory, doc_.PathName());
            doc_.Report(*error_);
            End(Status::kFailed);
            return status_;
        }
        ++next_;
    }
    if (next_ >= request_.ids.size()) End(Status::kFinished);
    return status_;
}

void ArticleSearch::Cancel() {
    if (!Done()) End(Status::kCancelled);
}

int ArticleSearch::EndMessage() const {
    if (status_ == Status::kCancelled) return msg::kFindCancelled;
    if (status_ == Status::kFinished && found_.empty()) return msg::kFindNothingFound;
    return 0;
}

std::string FindProgressText(size_t found) {
    std::string text = ResourceString(msg::kFindProgress);
    std::size_t at = text.find("%d");
    if (at != std::string::npos) text.replace(at, 2, std::to_string(found));
    return text;
}

SearchWithProgress::SearchWithProgress(ArticleSearch& search, ProgressPort& port)
    : search_(search), window_(port.OpenProgress(kFindCaption)) {
    shown_ = search_.Found().size();
    window_->SetText(FindProgressText(shown_));
}

SearchWithProgress::~SearchWithProgress() = default;

bool SearchWithProgress::Step(int32_t budget) {
    if (!window_) return false;
    if (!search_.Done() && window_->Cancelled()) search_.Cancel();
    if (!search_.Done()) search_.Step(budget);
    if (search_.Found().size() != shown_) {
        shown_ = search_.Found().size();
        window_->SetText(FindProgressText(shown_));
    }
    if (search_.Done()) {
        window_.reset();
        return false;
    }
    return true;
}

ArticleSearch::Status RunArticleSearch(ArticleSearch& search, ProgressPort& port) {
    SearchWithProgress run(search, port);
    while (run.Step()) {
    }
    return search.CurrentStatus();
}

}  // namespace qb

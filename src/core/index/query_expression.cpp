#include "index/query_expression.h"

#include <new>
#include <utility>

#include "datafile/quill_error.h"
#include "index/index_source.h"

namespace qb {

namespace {

struct Word {
    const char* text;
    int32_t code;
};

constexpr Word kWords[] = {
    {"(", query::kOpen},        {")", query::kClose},
    {"AND", query::kAnd},       {"OR", query::kOr},
    {"NOT", query::kNot},       {"BOOKMARKED", query::kBookmarked},
    {"NOKEYS", query::kNoKeys}, {"ATTACHMENTS", query::kAttachments},
    {"GROUP:", query::kGroup},
};

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

}  // namespace

// ---- Tokenizer -----------------------------------------------------------------

QueryTokenizer::QueryTokenizer(std::string_view text, IndexSource& source)
    : text_(text.substr(0, text.find('\0'))), source_(source) {}

int32_t QueryTokenizer::ReservedWord(std::string_view word) {
    for (const Word& w : kWords)
        if (SameIgnoringCase(word, w.text)) return w.code;
    return 0;
}

QueryToken QueryTokenizer::Next(bool groupMode) {
    const int32_t n = int32_t(text_.size());
    while (pos_ < n && text_[size_t(pos_)] == ' ')
        ++pos_;
    QueryToken t;
    t.start = pos_;
    if (pos_ >= n) {
        t.end = pos_;
        return t;
    }
    const char c = text_[size_t(pos_)];
    auto lookUp = [&](std::string_view name) {
        std::string s(name);
        int32_t id = groupMode ? source_.FindGroup(s) : source_.FindKeyword(s);
        if (s.empty() || id == NIL_BLOCK || id < 0) {
            t.kind = query::kUnknownName;
            t.value = 0;
        } else {
            t.kind = groupMode ? query::kKeywordGroup : query::kKeyword;
            t.value = id;
        }
    };
    if (c == '"' || c == '\'') {
        size_t close = text_.find(c, size_t(pos_) + 1);
        size_t stop = close == std::string_view::npos ? text_.size() : close;
        lookUp(text_.substr(size_t(pos_) + 1, stop - size_t(pos_) - 1));
        pos_ = close == std::string_view::npos ? n : int32_t(close) + 1;
    } else if (c == '(' || c == ')') {
        t.kind = query::kParen;
        t.value = c == '(' ? query::kOpen : query::kClose;
        ++pos_;
    } else {
        int32_t e = pos_;
        while (e < n && text_[size_t(e)] != ' ' && text_[size_t(e)] != '(' &&
               text_[size_t(e)] != ')')
            ++e;
        std::string_view word = text_.substr(size_t(pos_), size_t(e - pos_));
        if (int32_t code = ReservedWord(word)) {
            t.kind = query::kWord;
            t.value = code;
        } else {
            lookUp(word);
        }
        pos_ = e;
    }
    t.end = pos_;
    return t;
}

// ---- Compiler ------------------------------------------------------------------

class QueryCompiler {
public:
    QueryCompiler(QueryExpression& q, std::string_view text, IndexSource& source)
        : q_(q), tokens_(text, source) {}

    void Run() {
        Advance();
        if (tok_.kind == query::kEnd) return;
        Expression(0);
        if (tok_.kind != query::kEnd) Fail(msg::kQueryMissingOperator);
    }

private:
    bool IsWord(int32_t code) const {
        return (tok_.kind == query::kWord || tok_.kind == query::kParen) && tok_.value == code;
    }
    void Advance(bool groupMode = false) { tok_ = tokens_.Next(groupMode); }
    [[noreturn]] void Fail(int code) {
        q_.errorStart_ = tok_.start;
        q_.errorEnd_ = tok_.end;
        throw CQuillError(code);
    }
    void Emit(int32_t kind, int32_t value) {
        auto& p = q_.program_;
        try {
            if (p.size() == p.capacity()) p.reserve(p.capacity() + 32);
            p.push_back({kind, value});
        } catch (const std::bad_alloc&) {
            throw CQuillError(err::kOutOfMemory);
        }
    }
    void Deeper(int depth) {
        if (depth >= query::kMaxDepth) Fail(msg::kQueryTooDeep);
    }

    void Expression(int depth) {
        Term(depth);
        while (IsWord(query::kOr)) {
            Advance();
            Term(depth);
            Emit(query::kWord, query::kOr);
        }
    }
    void Term(int depth) {
        Factor(depth);
        while (IsWord(query::kAnd)) {
            Advance();
            Factor(depth);
            Emit(query::kWord, query::kAnd);
        }
    }
    // A run of NOTs is counted rather than recursed into, so only
    // parentheses add to the depth.
    void Factor(int depth) {
        size_t nots = 0;
        while (IsWord(query::kNot)) {
            ++nots;
            Advance();
        }
        Primary(depth);
        for (size_t i = 0; i < nots; ++i)
            Emit(query::kWord, query::kNot);
    }
    void Primary(int depth) {
        switch (tok_.kind) {
            case query::kEnd:
                Fail(msg::kQueryIncomplete);
            case query::kUnknownName:
                Fail(msg::kQueryUnknownKeyword);
            case query::kKeyword:
                Emit(query::kKeyword, tok_.value);
                Advance();
                return;
            default:
                break;
        }
        switch (tok_.value) {
            case query::kOpen:
                Deeper(depth);
                Advance();
                Expression(depth + 1);
                if (!IsWord(query::kClose)) Fail(msg::kQueryMissingClose);
                Advance();
                return;
            case query::kClose:
                Fail(msg::kQueryUnexpectedClose);
            case query::kAnd:
                Fail(msg::kQueryUnexpectedAnd);
            case query::kOr:
                Fail(msg::kQueryUnexpectedOr);
            case query::kBookmarked:
            case query::kNoKeys:
            case query::kAttachments:
                Emit(query::kWord, tok_.value);
                Advance();
                return;
            case query::kGroup: {
                int32_t groupStart = tok_.start;
                Advance(true);
                if (tok_.kind != query::kKeywordGroup) {
                    tok_.start = groupStart;  // the message points at GROUP:
                    Fail(msg::kQueryMissingGroupName);
                }
                Emit(query::kKeywordGroup, tok_.value);
                Advance();
                return;
            }
            default:
                Fail(msg::kQueryIncomplete);  // not reached: every word is handled above
        }
    }

    QueryExpression& q_;
    QueryTokenizer tokens_;
    QueryToken tok_;
};

void QueryExpression::Compile(std::string_view expr, IndexSource& source) {
    program_.clear();
    program_.shrink_to_fit();
    valid_ = false;
    errorStart_ = errorEnd_ = 0;
    QueryCompiler c(*this, expr, source);
    try {
        c.Run();
    } catch (const CQuillError&) {
        program_.clear();
        throw;
    }
    valid_ = true;
}

void QueryExpression::CompileSaved(std::string_view expr, IndexSource& source) {
    try {
        Compile(expr, source);
    } catch (const CQuillError& e) {
        if (e.Code() >= msg::kQueryUnexpectedAnd && e.Code() <= msg::kQueryMissingGroupName)
            throw CQuillError(msg::kSavedQueryInvalid);
        throw;
    }
}

// ---- Evaluation ----------------------------------------------------------------

namespace {

class Evaluator {
public:
    explicit Evaluator(IndexSource& s) : s_(s), anyPrivate_(s.PrivateCount() > 0) {}

    const IdSet& Visible() {
        if (!haveVisible_) {
            s_.VisibleArticles(visible_);
            haveVisible_ = true;
        }
        return visible_;
    }
    void LimitToVisible(IdSet& set) {
        if (anyPrivate_) set.Intersect(Visible());
    }

    IdSet Keyword(int32_t id) {
        IdSet r;
        s_.ArticlesOfKeyword(id, r);
        LimitToVisible(r);
        return r;
    }
    IdSet Group(int32_t id) {
        IdSet keywords, r, one;
        s_.KeywordsOfGroup(id, keywords);
        for (int32_t k : keywords) {
            s_.ArticlesOfKeyword(k, one);
            r.Unite(one);
        }
        LimitToVisible(r);
        return r;
    }
    IdSet Not(const IdSet& operand) {
        // Visible minus the operand: the operand holds only visible ids,
        // so the symmetric difference of their common part removes it.
        IdSet r, common;
        r.Copy(Visible());
        common.Copy(r);
        common.Intersect(operand);
        if (!common.Empty()) r.SymmetricDifference(common);
        return r;
    }
    IdSet Property(int32_t code) {
        IdSet r;
        if (code == query::kBookmarked) {
            s_.VisibleBookmarks(r);
            return r;
        }
        std::vector<int32_t> ids;
        IdSet keywords;
        for (int32_t a : Visible()) {
            bool take;
            if (code == query::kNoKeys) {
                s_.KeywordsOfArticle(a, keywords);
                take = keywords.Empty();
            } else {
                take = s_.Summary(a).attachmentCount > 0;
            }
            if (take) ids.push_back(a);
        }
        return IdSet::FromUnsorted(std::move(ids));
    }

private:
    IndexSource& s_;
    bool anyPrivate_;
    bool haveVisible_ = false;
    IdSet visible_;
};

}  // namespace

IdSet QueryExpression::Evaluate(IndexSource& source) const {
    if (program_.empty()) return IdSet();
    Evaluator ev(source);
    std::vector<IdSet> stack;
    try {
        for (const QueryEntry& e : program_) {
            if (e.kind == query::kKeyword) {
                stack.push_back(ev.Keyword(e.value));
            } else if (e.kind == query::kKeywordGroup) {
                stack.push_back(ev.Group(e.value));
            } else if (e.value == query::kAnd || e.value == query::kOr) {
                if (stack.size() < 2) return IdSet();  // not a program Compile made
                IdSet right = std::move(stack.back());
                stack.pop_back();
                if (e.value == query::kAnd)
                    stack.back().Intersect(right);
                else
                    stack.back().Unite(right);
            } else if (e.value == query::kNot) {
                if (stack.empty()) return IdSet();
                stack.back() = ev.Not(stack.back());
            } else {
                stack.push_back(ev.Property(e.value));
            }
        }
        if (stack.empty()) return IdSet();
        IdSet result = std::move(stack.back());
        if (dateFrom == kDateOpenLow && dateTo == kDateOpenHigh) {
            return result;  // every date lies within the open range
        }
        std::vector<int32_t> kept;
        if (dateFrom <= dateTo) {
            for (int32_t a : result) {
                int32_t d = source.Summary(a).articleDate;
                if (d >= dateFrom && d <= dateTo) kept.push_back(a);
            }
        }
        return IdSet::FromUnsorted(std::move(kept));
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory);
    }
}

IdSet QueryExpression::EvaluateReporting(IndexSource& source, Ui& ui) const {
    try {
        return Evaluate(source);
    } catch (const CQuillError& e) {
        e.ReportError(ui);
        return IdSet();
    }
}

// ---- Quoting -------------------------------------------------------------------

std::string QuoteQueryName(std::string_view name) {
    bool needs = name.find_first_of(" \"'()") != std::string_view::npos ||
                 QueryTokenizer::ReservedWord(name) != 0;
    if (!needs) return std::string(name);
    char q = name.find('"') != std::string_view::npos ? '\'' : '"';
    std::string s;
    s += q;
    s += name;
    s += q;
    return s;
}

}  // namespace qb

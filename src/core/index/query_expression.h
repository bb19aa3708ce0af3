// The Boolean query language: keywords, keyword groups and article
// properties combined by AND, OR and NOT, compiled to postfix and evaluated
// with linear set merges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafile/dates.h"
#include "datafile/id_set.h"
#include "resources/string_ids.h"

namespace qb {

class IndexSource;
class Ui;

namespace query {
// Reserved-word codes.
constexpr int32_t kOpen = 1;
constexpr int32_t kClose = 2;
constexpr int32_t kAnd = 3;
constexpr int32_t kOr = 4;
constexpr int32_t kNot = 5;
constexpr int32_t kBookmarked = 6;
constexpr int32_t kNoKeys = 7;
constexpr int32_t kAttachments = 8;
constexpr int32_t kGroup = 9;

// Token kinds; program entries use 3, 4 and 5.
constexpr int32_t kEnd = 0;
constexpr int32_t kUnknownName = 1;
constexpr int32_t kParen = 2;
constexpr int32_t kWord = 3;
constexpr int32_t kKeyword = 4;
constexpr int32_t kKeywordGroup = 5;

// Parentheses nested deeper than this are refused: compilation recurses
// once per level.
constexpr int kMaxDepth = 200;
}  // namespace query

struct QueryToken {
    int32_t kind = query::kEnd;
    int32_t value = 0;  // code, keyword id or group id
    int32_t start = 0;  // after the leading spaces
    int32_t end = 0;    // after the token
};

// Reads tokens off an expression. Names are looked up through `source`
// (without regard to case); in group mode as group names.
class QueryTokenizer {
public:
    QueryTokenizer(std::string_view text, IndexSource& source);
    QueryToken Next(bool groupMode = false);
    int32_t Position() const { return pos_; }

    // The reserved-word code of a bare word, or 0.
    static int32_t ReservedWord(std::string_view word);

private:
    std::string_view text_;
    IndexSource& source_;
    int32_t pos_ = 0;
};

struct QueryEntry {
    int32_t kind;
    int32_t value;
    bool operator==(const QueryEntry&) const = default;
};

class QueryExpression {
public:
    std::string text;
    int32_t dateFrom = kDateOpenLow;
    int32_t dateTo = kDateOpenHigh;

    // Discards the program and compiles `expr`; on failure throws
    // CQuillError with a msg::kQuery... number and leaves ErrorStart/End at the
    // token where it stopped. `text` is not changed.
    void Compile(std::string_view expr, IndexSource& source);
    // Compile for a saved query: every error from msg::kQueryUnexpectedAnd
    // to msg::kQueryMissingGroupName becomes msg::kSavedQueryInvalid.
    void CompileSaved(std::string_view expr, IndexSource& source);

    // The matching articles; an empty program gives none. Throws
    // CQuillError on a document error.
    IdSet Evaluate(IndexSource& source) const;
    // Evaluate, with a document error reported and an empty result.
    IdSet EvaluateReporting(IndexSource& source, Ui& ui) const;

    bool Valid() const { return valid_; }
    const std::vector<QueryEntry>& Program() const { return program_; }
    int32_t ErrorStart() const { return errorStart_; }
    int32_t ErrorEnd() const { return errorEnd_; }

private:
    friend class QueryCompiler;
    std::vector<QueryEntry> program_;
    bool valid_ = false;
    int32_t errorStart_ = 0, errorEnd_ = 0;
};

// A name as it has to be written in an expression: quoted when it holds a
// space, a quote or a parenthesis, or is a reserved word.
std::string QuoteQueryName(std::string_view name);

}  // namespace qb

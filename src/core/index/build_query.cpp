#include "index/build_query.h"

#include <algorithm>

#include "datafile/dates.h"
#include "datafile/quill_error.h"
#include "index/index_source.h"
#include "platform/locale.h"
#include "platform/ui.h"

namespace qb {

namespace {

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (up(a[i]) != up(b[i])) return false;
    return true;
}

const char* OperatorText(int32_t code) {
    switch (code) {
        case query::kOpen:
            return "(";
        case query::kClose:
            return ")";
        case query::kAnd:
            return "AND";
        case query::kOr:
            return "OR";
        case query::kNot:
            return "NOT";
        case query::kBookmarked:
            return "BOOKMARKED";
        case query::kNoKeys:
            return "NOKEYS";
        case query::kAttachments:
            return "ATTACHMENTS";
        default:
            return "";
    }
}

// A keyword list sorted by name the way the index window's lists are.
std::vector<int32_t> SortedByName(IndexSource& source, const Locale& locale, const IdSet& ids) {
    std::vector<std::pair<std::u16string, int32_t>> named;
    for (int32_t id : ids)
        named.emplace_back(source.TextCodePage().ToUtf16(source.KeywordName(id)), id);
    std::stable_sort(named.begin(), named.end(), [&](const auto& a, const auto& b) {
        return locale.Compare(a.first, b.first) < 0;
    });
    std::vector<int32_t> out;
    for (auto& n : named)
        out.push_back(n.second);
    return out;
}

std::string DateText(int32_t date, const Locale& locale) {
    return FormatDate(date, false, locale);  // empty for an open bound
}

}  // namespace

BuildQueryModel::BuildQueryModel(IndexSource& source, const Locale& locale,
                                 QueryExpression& current, const IdSet& selected, int32_t andOr,
                                 int pivotYear)
    : source_(source), locale_(locale), current_(current), pivotYear_(pivotYear) {
    IdSet all;
    source_.AllKeywords(all);
    keywords_ = SortedByName(source_, locale_, all);
    IdSet groups;
    source_.AllGroups(groups);
    hasGroups_ = !groups.Empty();

    fromText = DateText(current_.dateFrom, locale_);
    toText = DateText(current_.dateTo, locale_);
    if (!selected.Empty()) {
        const char* join = andOr == 1 ? " OR " : " AND ";
        for (int32_t id : SortedByName(source_, locale_, selected)) {
            if (!text_.empty()) text_ += join;
            text_ += QuoteQueryName(source_.KeywordName(id));
        }
        previousEnabled_ = !current_.text.empty();
    } else {
        text_ = current_.text;
        previousEnabled_ = false;
    }
    selStart_ = selEnd_ = text_.size();
}

void BuildQueryModel::SetSelection(size_t start, size_t end) {
    start = std::min(start, text_.size());
    end = std::min(std::max(start, end), text_.size());
    selStart_ = start;
    selEnd_ = end;
}

void BuildQueryModel::UpdatePrevious() {
    previousEnabled_ = !current_.text.empty() && !SameIgnoringAsciiCase(current_.text, text_);
}

void BuildQueryModel::Edit(const std::string& text) {
    undoText_ = text_;
    undoStart_ = selStart_;
    undoEnd_ = selEnd_;
    canUndo_ = true;
    text_ = text;
    SetSelection(selStart_, selEnd_);
    UpdatePrevious();
}

void BuildQueryModel::Replace(const std::string& text) {
    std::string next = text_.substr(0, selStart_) + text + text_.substr(selEnd_);
    size_t caret = selStart_ + text.size();
    Edit(next);
    selStart_ = selEnd_ = caret;
}

void BuildQueryModel::InsertText(const std::string& text) {
    std::string insert;
    if (text_.size() > 1 && selStart_ > 1 && text_[selStart_ - 1] != ' ') insert += ' ';
    insert += text;
    insert += ' ';
    Replace(insert);
    focus_ = QueryField::Expression;
}

void BuildQueryModel::InsertOperator(int32_t code) {
    const char* t = OperatorText(code);
    if (*t) InsertText(t);
}

void BuildQueryModel::InsertKeyword(int32_t id) {
    InsertText(QuoteQueryName(source_.KeywordName(id)));
}

void BuildQueryModel::InsertGroup(int32_t id) {
    InsertText("GROUP: " + QuoteQueryName(source_.GroupName(id)));
}

void BuildQueryModel::Clear() {
    SetSelection(0, text_.size());
    Edit(std::string());
    selStart_ = selEnd_ = 0;
}

void BuildQueryModel::Undo() {
    if (!canUndo_) return;
    std::string redo = text_;
    size_t s = selStart_, e = selEnd_;
    text_ = undoText_;
    SetSelection(undoStart_, undoEnd_);
    undoText_ = redo;  // a second Undo undoes the undo, as an edit field does
    undoStart_ = s;
    undoEnd_ = e;
    UpdatePrevious();
}

void BuildQueryModel::Previous() {
    SetSelection(0, text_.size());
    Edit(current_.text);
    selStart_ = selEnd_ = text_.size();
    fromText = DateText(current_.dateFrom, locale_);
    toText = DateText(current_.dateTo, locale_);
    UpdatePrevious();
}

bool BuildQueryModel::Ok(Ui& ui) {
    int32_t dates[2] = {kDateOpenLow, kDateOpenHigh};
    const std::string* texts[2] = {&fromText, &toText};
    for (int i = 0; i < 2; ++i) {
        const std::string& t = *texts[i];
        if (t.find_first_not_of(" \t") == std::string::npos) continue;  // no bound
        if (!ParseDate(t, locale_, pivotYear_, dates[i])) {
            ReportInvalidDate(ui, locale_);
            focus_ = i == 0 ? QueryField::From : QueryField::To;
            return false;
        }
    }
    std::string expr = text_;
    while (!expr.empty() && (expr.back() == ' ' || expr.back() == '\t' || expr.back() == '\r' ||
                             expr.back() == '\n'))
        expr.pop_back();
    try {
        current_.Compile(expr, source_);
    } catch (const CQuillError& e) {
        e.ReportError(ui);
        focus_ = QueryField::Expression;
        size_t start = size_t(std::max<int32_t>(0, current_.ErrorStart()));
        size_t end = size_t(std::max<int32_t>(0, current_.ErrorEnd()));
        if (start > 0 && start < end)
            SetSelection(start - 1, start);
        else
            SetSelection(start, start);
        return false;
    }
    current_.text = expr;
    current_.dateFrom = dates[0];
    current_.dateTo = dates[1];
    return true;
}

}  // namespace qb

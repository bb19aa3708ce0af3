// The Build Query dialog's decisions: what it is pre-filled with, how
// insertions are spaced, which controls are enabled, and what OK checks,
// so that the dialog itself only shows this state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/id_set.h"
#include "index/query_expression.h"

namespace qb {

class IndexSource;
class Locale;
class Ui;

enum class QueryField { Expression, From, To };

class BuildQueryModel {
public:
    // `selected` and `andOr` are the index window's Selected list and mode.
    BuildQueryModel(IndexSource& source, const Locale& locale, QueryExpression& current,
                    const IdSet& selected, int32_t andOr, int pivotYear);

    // ---- The expression field (Windows-1252), with its selection
    const std::string& Expression() const { return text_; }
    size_t SelectionStart() const { return selStart_; }
    size_t SelectionEnd() const { return selEnd_; }
    void SetSelection(size_t start, size_t end);
    // The person edited the field.
    void Edit(const std::string& text);

    // The dialog's keyword list: all keywords, ordered by name.
    const std::vector<int32_t>& Keywords() const { return keywords_; }

    // ---- Inserting
    void InsertText(const std::string& text);
    void InsertOperator(int32_t code);  // query::kAnd ... kAttachments, kOpen, kClose
    void InsertKeyword(int32_t id);
    void InsertGroup(int32_t id);  // "GROUP:" and the group's name

    // ---- Buttons
    void Clear();
    void Undo();
    void Previous();

    // ---- Dates (the fields' texts, UTF-8)
    std::string fromText, toText;

    // ---- Enabled states
    bool OkEnabled() const { return !text_.empty(); }
    bool DatesEnabled() const { return !text_.empty(); }
    bool PreviousEnabled() const { return previousEnabled_; }
    bool UndoEnabled() const { return canUndo_; }
    bool GroupEnabled() const { return hasGroups_; }
    bool SaveEnabled() const { return false; }

    // OK: validates both dates and compiles the expression into the current
    // query. True when the dialog may close. On failure the message has
    // been shown and FocusField() with the selection say where to go.
    bool Ok(Ui& ui);
    QueryField FocusField() const { return focus_; }

private:
    void Replace(const std::string& text);  // the selection, remembering undo
    void UpdatePrevious();

    IndexSource& source_;
    const Locale& locale_;
    QueryExpression& current_;
    int pivotYear_;
    std::vector<int32_t> keywords_;
    bool hasGroups_ = false;

    std::string text_;
    size_t selStart_ = 0, selEnd_ = 0;
    std::string undoText_;
    size_t undoStart_ = 0, undoEnd_ = 0;
    bool canUndo_ = false;
    bool previousEnabled_ = false;
    QueryField focus_ = QueryField::Expression;
};

}  // namespace qb

#include "index/index_model.h"

#include <algorithm>
#include <new>
#include <vector>

#include "datafile/quill_error.h"
#include "document/document_host.h"
#include "index/index_host.h"
#include "index/index_source.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

namespace {

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

int32_t ZeroOrOne(int32_t v) {
    return v == 1 ? 1 : 0;
}

}  // namespace

IndexModel::IndexModel(IndexSource& source, const Locale& locale, Ui& ui, IndexHost& host,
                       QueryExpression& currentQuery, IndexSettings settings)
    : source_(source),
      ui_(ui),
      host_(host),
      query_(currentQuery),
      settings_(settings),
      index_([&source](int32_t id) { return source.KeywordName(id); }, locale,
             &source.TextCodePage()),
      selected_([&source](int32_t id) { return source.KeywordName(id); }, locale,
                &source.TextCodePage()),
      groups_([&source](int32_t id) { return source.GroupName(id); }, locale,
              &source.TextCodePage()),
      titles_(source, locale, ui, host) {}

void IndexModel::Report(const CQuillError& e) {
    e.ReportError(ui_);
}

void IndexModel::InitialUpdate() {
    try {
        IdSet all;
        source_.AllKeywords(all);
        index_.SetMembers(all, filter_);
        selected_.SetMembers(IdSet());
        IdSet groups;
        source_.AllGroups(groups);
        groups_.SetMembers(groups);
        saved_ = SavedQueryList(source_.SavedQueryTable());

        titleMode_ = title_mode::kTitles;
        effectiveIndexMode_ = 0;
        if (settings_.initList == 1) {
            Show(title_mode::kBookmarked);
        } else if (settings_.initList == 2) {
            titles_.Fill(IdSet());
        } else {
            Show(title_mode::kAllTitles);
        }
        andOr_ = ZeroOrOne(settings_.selectListMode);
        requestedIndexMode_ = ZeroOrOne(settings_.indexMode);
        ApplyRequestedIndexMode();
    } catch (const CQuillError& e) {
        Report(e);
    }
}

// ---- Captions --------------------------------------------------------------------

std::string IndexModel::TitleCaption() const {
    const char* text = ResourceString(msg::kTitleCaptionBase + titleMode_);
    if (!text) return std::string();
    std::string s = ReplaceAll(text, "%1", std::to_string(titles_.RowCount()));
    return ReplaceAll(std::move(s), "%2", std::to_string(source_.VisibleCount()));
}

std::string IndexModel::IndexCaption() const {
    return effectiveIndexMode_ == 1 ? "Index (Related)" : "Index (All)";
}

std::string IndexModel::SelectedCaption() const {
    return andOr_ == kOrMode ? "Selected (OR)" : "Selected (AND)";
}

// ---- Sets ----------------------------------------------------------------------------

void IndexModel::LimitToVisible(IdSet& set) {
    if (source_.PrivateCount() <= 0) return;
    IdSet visible;
    source_.VisibleArticles(visible);
    set.Intersect(visible);
}

void IndexModel::ReplaceTitles(const IdSet& members) {
    titles_.Fill(members);
    if (effectiveIndexMode_ == 1) ComputeIndexList();
    host_.RefreshPreview();
}

void IndexModel::EvaluateSelection() {
    const IdSet& selected = selected_.Members();
    if (selected.Empty()) {
        if (settings_.initList == 1) {
            Show(title_mode::kBookmarked);
        } else if (settings_.initList == 2) {
            titles_.Fill(IdSet());
            host_.RefreshPreview();
            titleMode_ = title_mode::kTitles;
            if (effectiveIndexMode_ == 1) ComputeIndexList();
        } else {
            Show(title_mode::kAllTitles);
        }
        return;
    }
    IdSet result, one;
    bool first = true;
    for (int32_t k : selected) {
        if (first) {
            source_.ArticlesOfKeyword(k, result);
            first = false;
            continue;
        }
        source_.ArticlesOfKeyword(k, one);
        if (andOr_ == kOrMode)
            result.Unite(one);
        else
            result.Intersect(one);
    }
    LimitToVisible(result);
    ReplaceTitles(result);
    titleMode_ = title_mode::kSelected;
}

void IndexModel::ReplaceIndexMembers(const IdSet& members) {
    index_.SetMembers(members, filter_);
}

void IndexModel::ComputeIndexList() {
    // With no keyword selected and no title listed (a query that matched
    // nothing, or no titles at start) nothing is related to anything; the
    // list offers every keyword so that a new selection can begin.
    bool nothingToRelate = titles_.Members().Empty() && selected_.Members().Empty();
    if (effectiveIndexMode_ == 0 || nothingToRelate) {
        IdSet all;
        source_.AllKeywords(all);
        all.Subtract(selected_.Members());
        ReplaceIndexMembers(all);
        return;
    }
    WaitCursor wait(host_);
    std::vector<int32_t> related;
    IdSet one;
    const std::vector<int32_t>& members = titles_.Members().Ids();
    try {
        for (auto it = members.rbegin(); it != members.rend(); ++it) {
            source_.KeywordsOfArticle(*it, one);
            related.insert(related.end(), one.begin(), one.end());
        }
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory);
    }
    IdSet set = IdSet::FromUnsorted(std::move(related));
    set.Subtract(selected_.Members());
    ReplaceIndexMembers(set);
}

void IndexModel::ApplyRequestedIndexMode() {
    int32_t effective = andOr_ == kAndMode ? requestedIndexMode_ : 0;
    if (effective == effectiveIndexMode_) return;
    effectiveIndexMode_ = effective;
    ComputeIndexList();
}

// ---- Selection -------------------------------------------------------------------

void IndexModel::ClearSelection() {
    if (selected_.Members().Empty()) return;
    IdSet back;
    back.Copy(selected_.Members());
    index_.AddMembers(back, filter_, false);
    selected_.SetMembers(IdSet());
}

void IndexModel::ClearSelectionAndTitles() {
    ClearSelection();
    titles_.Fill(IdSet());
    host_.RefreshPreview();
}

void IndexModel::ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped) {
    try {
        ClearSelectionAndTitles();
        ReplaceTitles(IdSet::FromUnsorted(ids));
    } catch (const CQuillError& e) {
        Report(e);
    }
    titleMode_ = stopped ? title_mode::kFoundStopped : title_mode::kFound;
}

void IndexModel::Select(const IdSet& keywords) {
    bool wasEmpty = selected_.Members().Empty();
    selected_.ClearHighlight();
    selected_.AddMembers(keywords, GroupFilter(), true);
    index_.RemoveMembers(keywords);
    try {
        if (wasEmpty) {
            EvaluateSelection();
        } else {
            IdSet result, one;
            result.Copy(titles_.Members());
            for (int32_t k : keywords) {
                source_.ArticlesOfKeyword(k, one);
                if (andOr_ == kOrMode)
                    result.Unite(one);
                else
                    result.Intersect(one);
            }
            LimitToVisible(result);
            ReplaceTitles(result);
        }
    } catch (const CQuillError& e) {
        Report(e);
    }
    titleMode_ = title_mode::kSelected;
}

void IndexModel::MoveToSelected() {
    IdSet moved;
    moved.Copy(index_.Highlighted());
    if (moved.Empty()) return;
    Select(moved);
}

void IndexModel::AddToSelection(const IdSet& keywords) {
    if (keywords.Empty()) return;
    IdSet copy;
    copy.Copy(keywords);
    Select(copy);
}

void IndexModel::MoveToIndex() {
    IdSet moved;
    moved.Copy(selected_.Highlighted());
    if (moved.Empty()) return;
    index_.AddMembers(moved, filter_, true);
    selected_.RemoveMembers(moved);
    try {
        EvaluateSelection();
    } catch (const CQuillError& e) {
        Report(e);
    }
}

// ---- Modes -------------------------------------------------------------------------

void IndexModel::ChooseAndOrMode(int32_t mode) {
    mode = ZeroOrOne(mode);
    settings_.selectListMode = mode;
    host_.StoreSelectListMode(mode);
    SetAndOrMode(mode);
}

void IndexModel::SetAndOrMode(int32_t mode) {
    mode = ZeroOrOne(mode);
    if (mode == andOr_) return;
    andOr_ = mode;
    try {
        if (!selected_.Members().Empty()) EvaluateSelection();
        ApplyRequestedIndexMode();
    } catch (const CQuillError& e) {
        Report(e);
    }
}

void IndexModel::SetIndexMode(int32_t requested) {
    requestedIndexMode_ = ZeroOrOne(requested);
    settings_.indexMode = requestedIndexMode_;
    try {
        ApplyRequestedIndexMode();
    } catch (const CQuillError& e) {
        Report(e);
    }
}

void IndexModel::ToggleIndexMode() {
    if (andOr_ == kOrMode) return;
    SetIndexMode(1 - requestedIndexMode_);
}

// ---- Show commands ---------------------------------------------------------------

void IndexModel::Show(TitleListMode mode) {
    if (titleMode_ == mode) return;
    WaitCursor wait(host_);
    try {
        ClearSelection();
        IdSet set;
        if (mode == title_mode::kAllTitles) {
            source_.VisibleArticles(set);
        } else if (mode == title_mode::kBookmarked) {
            source_.VisibleBookmarks(set);
        } else {
            QueryExpression attachments;
            attachments.Compile("Attachments", source_);
            set = attachments.Evaluate(source_);
        }
        ReplaceTitles(set);
        titleMode_ = mode;
    } catch (const CQuillError& e) {
        Report(e);
    }
}

// ---- Groups ----------------------------------------------------------------------

void IndexModel::GroupHighlightChanged() {
    if (filter_.active) {
        IdSet keywords, one;
        try {
            for (int32_t g : groups_.Highlighted()) {
                source_.KeywordsOfGroup(g, one);
                keywords.Unite(one);
            }
        } catch (const CQuillError& e) {
            Report(e);
        }
        filter_.keywords.Copy(keywords);
        filter_.noneHighlighted = groups_.Highlighted().Empty();
    }
    index_.ApplyFilter(filter_);
}

void IndexModel::SetGroupPaneVisible(bool visible) {
    filter_.active = visible;
    GroupHighlightChanged();
}

void IndexModel::TurnOffGroupFilter() {
    groups_.ClearHighlight();
    GroupHighlightChanged();
}

// ---- Private articles ---------------------------------------------------------------

void IndexModel::PrivateShownOrHidden() {
    try {
        switch (titleMode_) {
            case title_mode::kAllTitles:
            case title_mode::kBookmarked:
            case title_mode::kAttachments: {
                TitleListMode mode = titleMode_;
                titleMode_ = title_mode::kTitles;  // so that Show does not skip it
                Show(mode);
                break;
            }
            case title_mode::kSelected:
                EvaluateSelection();
                break;
            case title_mode::kFound:
                titleMode_ = title_mode::kFoundOutdated;
                break;
            case title_mode::kQuery:
                // A query whose last compilation failed has no program left:
                // running it would empty the list, so it is marked outdated.
                if (settings_.autoUpdateQuery != 0 && query_.Valid()) {
                    WaitCursor wait(host_);
                    ReplaceTitles(query_.EvaluateReporting(source_, ui_));
                } else {
                    titleMode_ = title_mode::kQueryOutdated;
                }
                break;
            default:
                break;
        }
    } catch (const CQuillError& e) {
        Report(e);
    }
}

// ---- Queries -------------------------------------------------------------------------

void IndexModel::RunCurrentQuery() {
    WaitCursor wait(host_);
    try {
        ClearSelection();
        ReplaceTitles(query_.EvaluateReporting(source_, ui_));
        titleMode_ = title_mode::kQuery;
    } catch (const CQuillError& e) {
        Report(e);
    }
    host_.BringToFront();
}

bool IndexModel::RunSavedQuery(int32_t index) {
    const SavedQuery* q = saved_.At(index);
    if (!q) return false;
    ClearSelection();
    query_.text = q->text;
    query_.dateFrom = q->dateFrom;
    query_.dateTo = q->dateTo;
    try {
        query_.CompileSaved(q->text, source_);
    } catch (const CQuillError& e) {
        Report(e);
        return false;
    }
    RunCurrentQuery();
    saved_.MoveToFront(index);
    return true;
}

// ---- Preview ---------------------------------------------------------------------------

std::optional<int32_t> IndexModel::PreviewArticle() const {
    if (titles_.HighlightCount() != 1) return std::nullopt;
    return titles_.HighlightedIds().front();
}

IdSet IndexModel::PreviewKeywords() {
    IdSet common, one;
    bool first = true;
    try {
        for (int32_t id : titles_.HighlightedIds()) {
            source_.KeywordsOfArticle(id, one);
            if (first)
                common.Copy(one);
            else
                common.Intersect(one);
            first = false;
            if (common.Empty()) break;
        }
    } catch (const CQuillError& e) {
        Report(e);
        common.Clear();
    }
    return common;
}

// ---- Title list ------------------------------------------------------------------------

void IndexModel::ClearTitleHighlight() {
    titles_.ClearHighlight();
    host_.RefreshPreview();
}

}  // namespace qb

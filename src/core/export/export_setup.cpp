#include "export/export_setup.h"

#include "index/index_model.h"

namespace qb {

namespace {
bool ShowsAllOrBookmarked(const ExportContext& c) {
    return c.titleMode == title_mode::kAllTitles || c.titleMode == title_mode::kBookmarked;
}
}  // namespace

ExportRange InitialExportRange(const ExportContext& c) {
    if (c.articleWindowActive) return ExportRange::kCurrent;
    if (c.titleMode == title_mode::kAllTitles) return ExportRange::kAll;
    if (c.titleMode == title_mode::kBookmarked && c.visibleBookmarks > 0)
        return ExportRange::kBookmarked;
    // The selection range is offered only for a list that is neither of
    // the two above.
    if (c.titleCount > 0 && !ShowsAllOrBookmarked(c)) return ExportRange::kSelected;
    return ExportRange::kAll;
}

ExportSetup::ExportSetup(const ExportOptions& options, const ExportContext& context)
    : options_(options), context_(context) {
    options_.range = InitialExportRange(context);
    if (!options_.TitlesOnly()) options_.flags &= uint16_t(~export_flags::kNumbers);
}

bool ExportSetup::RangeEnabled(ExportRange range) const {
    switch (range) {
        case ExportRange::kAll:
            return true;
        case ExportRange::kBookmarked:
            return context_.visibleBookmarks > 0;
        case ExportRange::kCurrent:
            return context_.articleWindowActive;
        case ExportRange::kSelected:
            return context_.titleCount > 0 && !ShowsAllOrBookmarked(context_);
        case ExportRange::kHighlighted:
            return context_.highlightedCount > 0;
    }
    return false;
}

bool ExportSetup::SetRange(ExportRange range) {
    if (!RangeEnabled(range)) return false;
    options_.range = range;
    return true;
}

void ExportSetup::SetSort(bool byDate, bool descending) {
    options_.sort = ExportSort((byDate ? 2 : 0) + (descending ? 1 : 0));
}

bool ExportSetup::SortsByDate() const {
    return options_.sort == ExportSort::kDatesAscending ||
           options_.sort == ExportSort::kDatesDescending;
}

bool ExportSetup::SortsDescending() const {
    return options_.sort == ExportSort::kTitlesDescending ||
           options_.sort == ExportSort::kDatesDescending;
}

void ExportSetup::SetFlag(uint16_t flag, bool on) {
    if (flag == export_flags::kNumbers && on && !options_.TitlesOnly()) return;
    if (on)
        options_.flags |= flag;
    else
        options_.flags &= uint16_t(~flag);
    if (!options_.TitlesOnly()) options_.flags &= uint16_t(~export_flags::kNumbers);
}

}  // namespace qb

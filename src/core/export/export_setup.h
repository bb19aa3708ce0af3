// The rules of the "Export Articles Setup" dialog, without its widgets:
// which ranges can be chosen, the range it starts with, and how the
// content check boxes depend on each other.
#pragma once

#include <cstdint>

#include "export/export_options.h"

namespace qb {

// What the windows show when the dialog opens.
struct ExportContext {
    int64_t visibleBookmarks = 0;      // bookmarked titles the person may see
    bool articleWindowActive = false;  // an article window is the active one
    int32_t titleMode = 0;             // what the title list shows (title_mode::k...)
    int64_t titleCount = 0;            // titles in the title list
    int64_t highlightedCount = 0;      // highlighted titles
};

class ExportSetup {
public:
    // Edits a copy of `options`; the range starts as the windows suggest.
    ExportSetup(const ExportOptions& options, const ExportContext& context);

    bool RangeEnabled(ExportRange range) const;
    ExportRange Range() const { return options_.range; }
    // A disabled range is refused (false).
    bool SetRange(ExportRange range);

    ExportSort Sort() const { return options_.sort; }
    void SetSort(bool byDate, bool descending);
    bool SortsByDate() const;
    bool SortsDescending() const;

    bool Has(uint16_t flag) const { return options_.Has(flag); }
    // Leaving titles-only mode clears Number Titles List, which exists only
    // in that mode.
    void SetFlag(uint16_t flag, bool on);
    bool NumbersEnabled() const { return options_.TitlesOnly(); }
    // Something besides the export header must be chosen.
    bool OkEnabled() const { return options_.ChoosesContent(); }

    // Export Articles as Separate Files: off each time the dialog opens.
    bool separateFiles = false;

    const ExportOptions& Options() const { return options_; }

private:
    ExportOptions options_;
    ExportContext context_;
};

// The range the dialog starts with: the current article while an article
// window is active; else what the title list shows (all titles, the
// bookmarked ones when there are any, or its selection when it has titles);
// else all articles.
ExportRange InitialExportRange(const ExportContext& context);

}  // namespace qb

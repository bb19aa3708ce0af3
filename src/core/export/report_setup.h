// The two setup dialogs of the keyword reports without widgets: the
// Available and Included keyword lists, the Report Range with its
// availability, the From and To dates, the At least and No more than
// counts, the sort; and what they give as ReportParameters. qbx fills the
// same model from its options.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/report.h"
#include "export/report_export.h"
#include "export/report_window.h"

namespace qb {

class CQuillboxDoc;
class FontFamilies;
class Locale;
class Settings;
class Ui;
struct ArticleFont;

// A keyword a report may include: its id and its name as stored.
struct ReportKeyword {
    int32_t id = 0;
    std::string name;
};

// Every keyword of the file with a name, in name order (the locale's
// collation of the names decoded in the file's code page).
std::vector<ReportKeyword> ReportKeywordChoices(const CQuillboxDoc& doc, const Locale& locale);

// The Available and Included lists. Both stay in name order, so the usage
// report's first sort (keywords ascending, the Included list's order) is
// the name order.
class ReportKeywordLists {
public:
    explicit ReportKeywordLists(std::vector<ReportKeyword> choices);

    std::vector<ReportKeyword> Available() const;
    std::vector<ReportKeyword> Included() const;
    std::vector<int32_t> IncludedIds() const;

    // ">>" and "<<" with the chosen ids; ids not in the list are ignored.
    void Include(const std::vector<int32_t>& ids);
    void Exclude(const std::vector<int32_t>& ids);
    void IncludeAll();
    void Clear();  // "&Clear": everything back to Available
    // OK needs a keyword to report on.
    bool CanRun() const;

private:
    std::vector<ReportKeyword> choices_;
    std::vector<bool> included_;
};

// Which report ranges the index report's setup offers: All always,
// Bookmarked with visible bookmarks, Selected with titles in the index
// window, Highlighted with highlighted titles.
struct ReportRangeChoices {
    bool bookmarked = false;
    bool selected = false;
    bool highlighted = false;
    bool Allows(ReportRange r) const;
};

// The From and To fields: empty is the open end; a date as the locale
// writes it or YYYY-MM-DD. False (after message 11100 through `ui`) when
// one cannot be read.
bool ReadReportDates(const std::string& from, const std::string& to, const Locale& locale, Ui& ui,
                     ReportParameters& out);

// The usage setup's count fields run from 0 to the file's article count,
// starting at 0 and that count.
struct UsageCountRange {
    int32_t low = 0;
    int32_t high = 0;
};
UsageCountRange UsageCounts(const CQuillboxDoc& doc);

// The usage sort from the dialog's two choices.
UsageSort UsageSortOf(bool byCount, bool descending);

// The reader's settings for a report: the display font in the custom text
// colour (automatic while that is -1), the cloud's base colour (black while
// automatic) and its page's faces from `fonts`.
CharFormat ReportFont(const ArticleFont& display, int32_t customTextColor);
uint32_t CloudBaseColour(int32_t customTextColor);
ReportDisplay MakeReportDisplay(const Settings& settings, const CQuillboxDoc& doc,
                                const FontFamilies* fonts = nullptr);
// The export's settings: the HTML writer's from the preferences, written in
// the file's code page (declaring it when the page is not Windows-1252 and
// no charset was chosen), and the RTF file's default font.
ReportExportContext MakeReportExportContext(const Settings& settings, CQuillboxDoc& doc);

// The file type of a name chosen in the save dialog, by its extension
// (.txt, .rtf, .htm or .html, case ignored); nullopt for any other, which
// the caller writes as text (a name typed with "All Files" chosen).
std::optional<ReportFileFormat> ReportFormatOfPath(const std::string& path);
// The save dialog's proposed name: the data file's name without its extension.
std::string ReportExportName(const CQuillboxDoc& doc);
// The save dialog's extension for a stored report file type (1 to 3; "txt"
// for anything else).
const char* ReportFileSuffix(int32_t reportFileType);

}  // namespace qb

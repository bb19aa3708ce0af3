// The keyword reports of an open file: the Index Report (each chosen
// keyword with the titles of its articles), the Keyword Usage Report (the
// number of articles per keyword), the Keyword Cloud Report (every used
// keyword sized by its count) and the Keyword Group Report. A report is
// built from its parameters into text (and, for the cloud, an HTML page);
// the window shows it and the export writes it (report_export.h).
//
// While private articles are hidden they count nowhere: not in a count and
// not among the titles. Keywords with an empty name are in no report.
#pragma once

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qb {

class CQuillboxDoc;
class Locale;
class ProgressPort;

enum class ReportKind { kIndex = 1, kUsage = 2, kCloud = 3, kGroups = 4 };

enum class ReportRange { kAll = 0, kBookmarked = 1, kSelected = 2, kHighlighted = 3 };

enum class UsageSort {
    kNameAscending = 0,
    kNameDescending = 1,
    kCountAscending = 2,
    kCountDescending = 3
};

struct ReportParameters {
    // Index and usage reports: the Included list, in its order. The cloud
    // and the group report take every keyword.
    std::vector<int32_t> keywords;
    // Index report: which articles, and their inclusive article-date range.
    ReportRange range = ReportRange::kAll;
    std::vector<int32_t> rangeArticles;  // Selected and Highlighted: the index window's
    int32_t fromDate = INT32_MIN;
    int32_t toDate = INT32_MAX;
    // Usage report: the At least and No more than counts, and the order.
    int32_t minimum = 0;
    int32_t maximum = INT32_MAX;
    UsageSort sort = UsageSort::kNameAscending;
    // Cloud: the custom text colour, 0x00BBGGRR.
    uint32_t baseColour = 0;
};

// A heading with its lines: a keyword with its titles (index report), a
// group with its keyword names (group report); texts as stored.
struct ReportSection {
    std::string heading;
    std::vector<std::string> lines;
};

struct UsageRow {
    int32_t keyword = 0;
    int32_t count = 0;
    std::string name;
};

struct CloudWord {
    std::string name;
    int32_t count = 0;
    int size = 1;         // 1 .. 8 as written; the reader shows 8 as 7
    uint32_t colour = 0;  // 0x00BBGGRR
};

struct Report {
    ReportKind kind = ReportKind::kIndex;
    // The window's text as stored bytes with CR LF line ends; for the cloud
    // its HTML page.
    std::string text;
    std::vector<ReportSection> sections;  // index and group reports
    std::vector<UsageRow> rows;           // usage: the rows shown, in order
    std::vector<CloudWord> words;         // cloud: the words shown, in order
    std::vector<std::string> cloudLines;  // cloud: the page's keyword lines
};

// The window caption of each kind ("Index Report", "Keyword Usage Report", ...).
const char* ReportCaption(ReportKind kind);

// Builds the report. The cloud shows its two passes in a progress window
// of `progress` when given; nullopt when the person cancelled there.
// Throws CQuillError when the file cannot be read.
std::optional<Report> BuildReport(CQuillboxDoc& doc, const Locale& locale, ReportKind kind,
                                  const ReportParameters& params, ProgressPort* progress = nullptr);

// The article count of each keyword the way the reports count: visible
// articles only.
int32_t ReportArticleCount(CQuillboxDoc& doc, int32_t keyword);

// The cloud's second colour: each component of `base` (0x00BBGGRR) halved
// when they sum above 380, else moved halfway to 255.
uint32_t CloudAlternateColour(uint32_t base);

// The size of a count between the cloud's least and greatest counts:
// 1 at `lo`, 8 at `hi` (when lo < hi), in seven logarithmic steps.
int CloudSize(int32_t count, int32_t lo, int32_t hi);

}  // namespace qb

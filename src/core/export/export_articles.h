// The Export command's run: the articles of the chosen range in the chosen
// order, handed to the writer of the chosen format. Errors, Cancel and the
// Cardfile limit are shown through the Ui here, once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "export/export_job.h"
#include "export/export_options.h"
#include "export/export_writers.h"

namespace qb {

class CQuillboxDoc;
class IndexSource;
class Locale;
class ProgressPort;
class Ui;

// What the windows know of the ranges: each is unavailable (nullopt) unless
// the caller has it.
struct ExportRanges {
    std::optional<std::vector<int32_t>> selected;     // the title list's rows
    std::optional<std::vector<int32_t>> highlighted;  // its highlighted rows
    std::optional<int32_t> current;                   // the active article window's article
};

// The articles of `range` (visible articles only for All and Bookmarked);
// nullopt when the range is unavailable.
std::optional<std::vector<int32_t>> ArticlesOfRange(CQuillboxDoc& doc, ExportRange range,
                                                    const ExportRanges& ranges);

// Puts `ids` into the order of `sort`, stably, behind a progress window
// ("Sorting articles...", range count - 1) opened only for two or more
// articles. False when the person cancelled (the ids are then unchanged).
bool SortForExport(std::vector<int32_t>& ids, IndexSource& source, const Locale& locale,
                   ExportSort sort, ProgressPort& progress);

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::kNothing;
    int error = 0;          // the CQuillError code shown, when the run failed
    int64_t lostChars = 0;  // characters the output's code page lacks, written as "?"
    bool Succeeded() const { return outcome == ExportOutcome::kDone && error == 0; }
};

// Exports the range of `job`'s options to `target` (a file, or with
// `separateFiles` an existing folder; Markdown always a folder) in `format`. Shows a failure
// (message 1100 + code with the path; 1150 for a missing folder), the Cancel message 8310 and the
// Cardfile limit through the job's Ui.
ExportResult ExportArticles(ExportJob& job, const std::string& target, ExportFormat format,
                            bool separateFiles, const ExportRanges& ranges);

}  // namespace qb

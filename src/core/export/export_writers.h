// The writers of the article export, one per format, each over the ordered
// article numbers. Each opens its progress window through the job; a
// data-file or write error throws CQuillError (the output's temporary file
// is removed and an existing target stays as it was); Cancel ends the run
// with kCancelled and leaves nothing of the cancelled file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qb {

class ExportJob;

enum class ExportOutcome {
    kDone,
    kCancelled,
    kNothing,  // nothing was written (Cardfile's card limit, the question answered No)
};

// Into `target`, or with `separateFiles` one file per article in the folder
// `target`.
ExportOutcome ExportText(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids,
                         bool separateFiles);
ExportOutcome ExportRtf(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids,
                        bool separateFiles);
ExportOutcome ExportHtml(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids,
                         bool separateFiles);
// The articles' sections as the single HTML file has them (title, dates,
// keywords, attachments, content, by the job's flags), one after another
// without contents list or header, written into memory: Copy Articles'
// HTML. Bytes in the job's output code page.
std::string HtmlOfArticles(ExportJob& job, const std::vector<int32_t>& ids);
ExportOutcome ExportCsv(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids);
// More than kMaxCards articles: message 8307 and nothing is written.
ExportOutcome ExportCardfile(ExportJob& job, const std::string& target,
                             const std::vector<int32_t>& ids);

constexpr size_t kMaxCards = 32767;
constexpr size_t kMaxCardText = 32767;

}  // namespace qb

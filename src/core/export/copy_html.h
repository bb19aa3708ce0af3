// The HTML form of Copy Articles ("text/html" beside its text and RTF):
// the HTML export's article sections for the copied articles, as one UTF-8
// page. It lives here, not with Copy Articles, because it is the HTML
// export's converter; the windows hand it to CopyArticles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qb {

class CQuillboxDoc;
class Locale;
class Settings;
class Ui;

// Titles, dates, keywords, attachments and content of `ids` in that order,
// with the display font and link settings of `settings` (defaults when
// null). The page declares UTF-8 and is UTF-8 whatever the data file's code
// page. A data-file error throws CQuillError.
std::string ArticlesCopyHtml(CQuillboxDoc& doc, const std::vector<int32_t>& ids,
                             const Locale& locale, Ui& ui, const Settings* settings);

}  // namespace qb

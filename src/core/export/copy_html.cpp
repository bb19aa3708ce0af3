#include "export/copy_html.h"

#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "export/export_job.h"
#include "export/export_writers.h"

namespace qb {

std::string ArticlesCopyHtml(CQuillboxDoc& doc, const std::vector<int32_t>& ids,
                             const Locale& locale, Ui& ui, const Settings* settings) {
    ExportOptions options;
    // What a copy's text block shows: everything but the export header.
    options.flags = export_flags::kTitles | export_flags::kDates | export_flags::kAttachments |
                    export_flags::kKeywords | export_flags::kContent;
    Settings defaults;
    ExportSettings es = MakeExportSettings(options, settings ? *settings : defaults, doc);
    // Written in the code page, then made UTF-8 as a whole: every byte
    // above ASCII is the code page's, entities and markup are ASCII.
    es.htmlExportType = 2;
    es.htmlCustomSet = "utf-8";
    es.utf8Text = false;
    ExportJob job(doc, locale, ui, std::move(es));
    std::string page = HtmlOfArticles(job, ids);
    return job.Output().Page().ToUtf8(page);
}

}  // namespace qb

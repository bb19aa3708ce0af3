// What qbx titles, query and saved share: the document opened read-only
// with the password options, and the index model over it, as the index
// window would hold it.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "cli_document.h"
#include "datafile/dates.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "index/document_source.h"
#include "index/index_host.h"
#include "index/index_model.h"
#include "platform/icu_locale.h"
#include "terminal_ui.h"

namespace qbx {

struct IndexSession : CommandDocument {
    qb::DocumentIndexSource source{doc};
    qb::IndexHost host;
    qb::QueryExpression query;
    std::unique_ptr<qb::IndexModel> model;

    // Opens `path` with the password rules and code page of every document
    // command (OpenForCommand). Returns 0 or the exit status after the report.
    int Open(const std::string& path, const DocumentOptions& o, int32_t sortOrder,
             qb::IndexSettings settings = qb::IndexSettings()) {
        if (int rc = OpenForCommand(doc, path, o.allowNewer, ui, o.passwordFromStdin, o.codePage))
            return rc;
        doc.SetSortOrder(sortOrder);
        model = std::make_unique<qb::IndexModel>(source, locale, ui, host, query, settings);
        model->InitialUpdate();
        return 0;
    }

    // The caption, then one row per title: the date, a tab, the title.
    // Returns the exit status: 1 when a message reported a failure while
    // the list was built (the rows are then what the list reached) or the
    // output could not be written.
    int PrintTitles(std::FILE* out) {
        std::fprintf(out, "%s\n", model->TitleCaption().c_str());
        for (int32_t id : model->Titles().Rows()) {
            std::string date, title;
            try {
                const qb::ArticleSummary& s = doc.Summary(id);
                date = qb::FormatDate(s.articleDate, true, locale);
                title = doc.TextCodePage().ToUtf8(s.title);
            } catch (const qb::CQuillError&) {
                // an unreadable article keeps its row, without date and title
            }
            std::fprintf(out, "%s\t%s\n", date.c_str(), OneLine(title).c_str());
        }
        if (std::fflush(out) != 0) return 1;
        return ui.errorsShown ? 1 : 0;
    }
};

// "--sort N" with N in 0..11.
inline std::optional<int32_t> ParseSortOrder(const std::string& text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int32_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v >= qb::title_order::kCount) return std::nullopt;
    return v;
}

// A date typed on the command line, in the user's locale; an empty text is
// the open bound. Invalid: message 11100 with the pattern.
inline bool ParseCommandLineDate(const std::string& text, const qb::Locale& locale, qb::Ui& ui,
                                 int32_t& out) {
    if (qb::ParseDate(text, locale, qb::DefaultPivotYear(locale), out)) return true;
    qb::ReportInvalidDate(ui, locale);
    return false;
}

// A name or text typed on the command line, in the file's code page.
inline std::string ToFileText(const qb::CQuillboxDoc& doc, const std::string& utf8) {
    return doc.TextCodePage().FromUtf8(utf8).bytes;
}

}  // namespace qbx

#include "export/export_articles.h"

#include <sys/stat.h>

#include <new>

#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "export/markdown_export.h"
#include "index/document_source.h"
#include "index/title_list.h"
#include "platform/progress.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

std::optional<std::vector<int32_t>> ArticlesOfRange(CQuillboxDoc& doc, ExportRange range,
                                                    const ExportRanges& ranges) {
    auto ofSet = [](const IdSet& set) { return std::vector<int32_t>(set.begin(), set.end()); };
    switch (range) {
        case ExportRange::kAll: {
            IdSet all;
            doc.VisibleArticles(all);
            return ofSet(all);
        }
        case ExportRange::kBookmarked: {
            IdSet marked;
            doc.VisibleBookmarks(marked);
            return ofSet(marked);
        }
        case ExportRange::kSelected:
            return ranges.selected;
        case ExportRange::kHighlighted:
            return ranges.highlighted;
        case ExportRange::kCurrent:
            if (!ranges.current) return std::nullopt;
            return std::vector<int32_t>{*ranges.current};
    }
    return std::nullopt;
}

bool SortForExport(std::vector<int32_t>& ids, IndexSource& source, const Locale& locale,
                   ExportSort sort, ProgressPort& port) {
    if (ids.size() < 2) return true;
    std::unique_ptr<ProgressWindow> progress = port.OpenProgress("");
    progress->SetRange(int64_t(ids.size()) - 1);
    progress->SetText(ResourceString(msg::kSortingArticles));
    if (progress->Cancelled()) return false;
    // The order of inserting each article after its equals by binary
    // search, which the stable sort gives at O(n log n).
    std::vector<int32_t> sorted = ids;
    SortTitles(sorted, source, locale, int32_t(sort));
    progress->SetPosition(int64_t(ids.size()) - 1);
    if (progress->Cancelled()) return false;
    ids.swap(sorted);
    return true;
}

namespace {

ExportOutcome RunWriter(ExportJob& job, const std::string& target, ExportFormat format,
                        bool separateFiles, const std::vector<int32_t>& ids) {
    switch (format) {
        case ExportFormat::kText:
            return ExportText(job, target, ids, separateFiles);
        case ExportFormat::kRtf:
            return ExportRtf(job, target, ids, separateFiles);
        case ExportFormat::kHtml:
            return ExportHtml(job, target, ids, separateFiles);
        case ExportFormat::kCsv:
            return ExportCsv(job, target, ids);
        case ExportFormat::kCardfile:
            return ExportCardfile(job, target, ids);
        case ExportFormat::kMarkdown:
            return ExportMarkdown(job, target, ids);
    }
    return ExportOutcome::kNothing;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

ExportResult ExportArticles(ExportJob& job, const std::string& target, ExportFormat format,
                            bool separateFiles, const ExportRanges& ranges) {
    ExportResult result;
    Ui& ui = job.GetUi();
    // Only text, RTF and HTML have a folder form.
    if (format == ExportFormat::kCsv || format == ExportFormat::kCardfile) separateFiles = false;
    // A notes folder is always a folder.
    if (format == ExportFormat::kMarkdown) separateFiles = true;
    try {
        if (separateFiles && !IsFolder(target)) throw CQuillError(err::kFolderNotFound, target);
        std::optional<std::vector<int32_t>> ids =
            ArticlesOfRange(job.Doc(), job.Options().range, ranges);
        if (!ids) return result;
        DocumentIndexSource source(job.Doc());
        if (!SortForExport(*ids, source, job.GetLocale(), job.Options().sort, job.Progresses()))
            return result;
        // UTF-8 is offered for the plain formats only: HTML refers to a
        // missing character, RTF writes it as Unicode, Cardfile has no
        // encoding but the code page.
        job.Output().SetUtf8(job.Settings().utf8Text &&
                             (format == ExportFormat::kText || format == ExportFormat::kCsv));
        // The next articles are read and inflated on the other core while
        // the writer converts; stopped however the run ends, so that
        // nothing after it is handed what the run read.
        struct ReadingAhead {
            CQuillboxDoc& doc;
            ~ReadingAhead() { doc.StopReadingAhead(); }
        } readingAhead{job.Doc()};
        if (!job.TitlesOnly()) job.Doc().StartReadingAhead(*ids);
        result.outcome = RunWriter(job, target, format, separateFiles, *ids);
        result.lostChars = job.Output().Lost();
    } catch (const CQuillError& e) {
        job.CloseProgress();
        result.outcome = ExportOutcome::kNothing;
        result.error = e.Code();
        e.ReportError(ui);
        return result;
    } catch (const std::bad_alloc&) {
        job.CloseProgress();
        result.outcome = ExportOutcome::kNothing;
        result.error = err::kOutOfMemory;
        CQuillError(err::kOutOfMemory, target).ReportError(ui);
        return result;
    }
    job.CloseProgress();
    if (result.outcome == ExportOutcome::kCancelled)
        ui.MessageBox(ResourceString(msg::kExportCancelled), MessageIcon::Information);
    return result;
}

}  // namespace qb

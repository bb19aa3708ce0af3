// The plain-text export: one file, or one file per article, with the
// optional line limit of the wrapping rule.
#include <optional>

#include "document/quillbox_doc.h"
#include "export/content_lines.h"
#include "export/export_file.h"
#include "export/export_job.h"
#include "export/export_names.h"
#include "export/export_writers.h"
#include "export/plain_text_writer.h"
#include "export/text_wrapping.h"
#include "platform/progress.h"
#include "resources/strings.h"

namespace qb {
namespace {

void WriteHeader(ExportJob& job, WrappingText& out) {
    if (!job.Has(export_flags::kHeader)) return;
    out.Write(job.Output().Stored(job.Doc().ExportHeader()));
    out.EndLine();
    out.EmptyLine();
}

void WriteArticle(ExportJob& job, WrappingText& out, const ExportedArticle& a) {
    OutputText& enc = job.Output();
    if (job.Has(export_flags::kTitles)) {
        out.Write(enc.Stored(a.record.title), true);
        if (!job.TitlesOnly()) out.EmptyLine();
    }
    if (job.Has(export_flags::kDates)) {
        out.Write(ResourceString(msg::kExportDateLabel));
        out.Write(enc.FromUtf8(a.dateText), true);
    }
    if (job.Has(export_flags::kKeywords)) {
        out.Write(ResourceString(msg::kExportKeywordsLabel));
        for (size_t i = 0; i < a.keywords.size(); ++i) {
            if (i) out.Write(", ");
            out.Write(enc.Stored(a.keywords[i]));
        }
        if (out.Column() > 0 || out.Limit() == 0) out.EndLine();
    }
    if (job.Has(export_flags::kAttachments)) {
        for (const std::string& path : a.attachments) {
            out.Write(ResourceString(msg::kCopyAttachmentLabel));
            out.Write(enc.FromUtf8(path), true);
        }
    }
    if (job.Has(export_flags::kContent)) {
        if (job.Has(export_flags::kDates | export_flags::kKeywords | export_flags::kAttachments))
            out.EmptyLine();
        if (!a.record.IsRichText()) {
            out.Write(enc.Stored(a.record.Content()), true);
        } else {
            ForEachContentLine(job.Content(a), [&](const std::u16string& line) {
                if (line.empty())
                    out.EndLine();
                else
                    out.Write(enc.FromUtf16(line), true);
            });
        }
    }
}

}  // namespace

ExportOutcome ExportText(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids,
                         bool separateFiles) {
    const std::string caption = "Export to Text File";
    job.OpenProgress(caption, int64_t(ids.size()), ResourceString(msg::kExportingArticles));
    const int32_t limit = job.Settings().lineLength;

    std::optional<SeparateFileNames> names;
    std::optional<ExportFile> single;
    PlainTextWriter singleWriter;
    std::optional<WrappingText> singleOut;
    if (separateFiles) {
        names.emplace(target);
    } else {
        single.emplace(target);
        singleWriter.Create(single->TempPath(), single->Target());
        singleOut.emplace(singleWriter, limit, job.Output().IsUtf8());
        WriteHeader(job, *singleOut);
    }
    for (size_t i = 0; i < ids.size(); ++i) {
        if (job.Cancelled()) {
            singleWriter.Abort();
            return ExportOutcome::kCancelled;
        }
        job.ShowArticleProgress(caption, i, ids.size());
        ExportedArticle a = job.Read(ids[i]);
        if (separateFiles) {
            ExportFile file(names->Unique(a.record.title, ".txt"));
            PlainTextWriter w;
            w.Create(file.TempPath(), file.Target());
            WrappingText out(w, limit, job.Output().IsUtf8());
            WriteHeader(job, out);
            if (job.Has(export_flags::kNumbers))
                out.Write(NumberPrefix(int64_t(i + 1), int64_t(ids.size())));
            WriteArticle(job, out, a);
            w.Close();
            file.Commit();
        } else {
            if (i > 0 && !job.TitlesOnly()) {
                singleOut->EmptyLine();
                singleOut->EmptyLine();
            }
            if (job.Has(export_flags::kNumbers))
                singleOut->Write(NumberPrefix(int64_t(i + 1), int64_t(ids.size())));
            WriteArticle(job, *singleOut, a);
        }
        job.Step();
    }
    if (single) {
        if (job.Cancelled()) {
            singleWriter.Abort();
            return ExportOutcome::kCancelled;
        }
        singleWriter.Close();
        single->Commit();
    }
    return ExportOutcome::kDone;
}

}  // namespace qb

// The CSV export: one row per article, one file.
#include "document/quillbox_doc.h"
#include "export/content_lines.h"
#include "export/export_file.h"
#include "export/export_job.h"
#include "export/export_writers.h"
#include "export/plain_text_writer.h"
#include "platform/progress.h"
#include "resources/strings.h"

namespace qb {
namespace {

// Field text: a double quote doubled, CR written as LF, LF dropped (so a
// CR LF line end is one LF).
void AppendFieldText(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '"')
            out += "\"\"";
        else if (c == '\r')
            out += '\n';
        else if (c != '\n')
            out += c;
    }
}

void AppendQuoted(std::string& out, std::string_view text) {
    out += '"';
    AppendFieldText(out, text);
    out += '"';
}

// A list item: 'text' with every apostrophe doubled.
void AppendListItem(std::string& out, std::string_view text) {
    std::string item = "'";
    for (char c : text) {
        item += c;
        if (c == '\'') item += '\'';
    }
    item += '\'';
    AppendFieldText(out, item);
}

void AppendList(std::string& out, const std::vector<std::string>& items) {
    out += '"';
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        AppendListItem(out, items[i]);
    }
    out += '"';
}

std::string HeaderRow(const ExportJob& job) {
    static constexpr struct {
        uint16_t flag;
        const char* name;
    } kColumns[] = {{export_flags::kNumbers, "Item"},    {export_flags::kTitles, "Title"},
                    {export_flags::kDates, "Date"},      {export_flags::kAttachments, "Attachment"},
                    {export_flags::kContent, "Content"}, {export_flags::kKeywords, "Keywords"}};
    std::string row;
    for (const auto& c : kColumns) {
        if (!job.Has(c.flag)) continue;
        if (!row.empty()) row += ',';
        row += c.name;
    }
    return row;
}

std::string Row(ExportJob& job, const ExportedArticle& a, size_t position, size_t count) {
    OutputText& enc = job.Output();
    std::string row;
    bool first = true;
    auto field = [&] {
        if (!first) row += ',';
        first = false;
    };
    if (job.Has(export_flags::kNumbers)) {
        field();
        AppendQuoted(row, NumberPrefix(int64_t(position), int64_t(count)));
    }
    if (job.Has(export_flags::kTitles)) {
        field();
        AppendQuoted(row, enc.Stored(a.record.title));
    }
    if (job.Has(export_flags::kDates)) {
        field();
        AppendFieldText(row, enc.FromUtf8(a.dateText));
    }
    if (job.Has(export_flags::kAttachments)) {
        field();
        if (!a.attachments.empty()) {
            std::vector<std::string> paths;
            for (const std::string& p : a.attachments)
                paths.push_back(enc.FromUtf8(p));
            AppendList(row, paths);
        }
    }
    if (job.Has(export_flags::kContent)) {
        field();
        if (!a.record.IsRichText()) {
            AppendQuoted(row, enc.Stored(a.record.Content()));
        } else {
            row += '"';
            ForEachContentLine(job.Content(a), [&](const std::u16string& line) {
                AppendFieldText(row, enc.FromUtf16(line));
                row += '\n';
            });
            row += '"';
        }
    }
    if (job.Has(export_flags::kKeywords)) {
        field();
        std::vector<std::string> names;
        for (const std::string& k : a.keywords)
            names.push_back(enc.Stored(k));
        AppendList(row, names);
    }
    row += "\r\n";
    return row;
}

}  // namespace

ExportOutcome ExportCsv(ExportJob& job, const std::string& target,
                        const std::vector<int32_t>& ids) {
    const std::string caption = "Export to CSV File";
    job.OpenProgress(caption, int64_t(ids.size()), ResourceString(msg::kExportingArticles));
    ExportFile file(target);
    PlainTextWriter w;
    w.Create(file.TempPath(), file.Target());
    if (job.Has(export_flags::kHeader)) w.WriteLine(HeaderRow(job));
    for (size_t i = 0; i < ids.size(); ++i) {
        if (job.Cancelled()) {
            w.Abort();
            return ExportOutcome::kCancelled;
        }
        job.ShowArticleProgress(caption, i, ids.size());
        w.Write(Row(job, job.Read(ids[i]), i + 1, ids.size()));
        job.Step();
    }
    if (job.Cancelled()) {
        w.Abort();
        return ExportOutcome::kCancelled;
    }
    w.Close();
    file.Commit();
    return ExportOutcome::kDone;
}

}  // namespace qb

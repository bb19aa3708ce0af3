#include "export/report_export.h"

#include <functional>
#include <new>

#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "export/export_file.h"
#include "export/plain_text_writer.h"
#include "platform/progress.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

constexpr int32_t kHeaderTwips = 320;
constexpr char kHtmlCaption[] = "Export to HTML File";

// A writer's error names the temporary file; the person chose the target.
[[noreturn]] void RethrowForTarget(const CQuillError& e, const ExportFile& file) {
    if (e.Path() == file.TempPath()) throw CQuillError(e.Code(), file.Target());
    throw;
}

// The window's text in the file's code page with CR LF line ends.
std::string WindowBytes(const RichTextControl& window, const CodePage& page) {
    std::u16string text;
    text.reserve(window.Text().size());
    for (char16_t c : window.Text()) {
        if (c == u'\r') text += u'\r', c = u'\n';
        text += c;
    }
    return page.FromUtf16(text).bytes;
}

void WriteText(const RichTextControl& window, const ExportFile& file,
               const ReportExportContext& c) {
    PlainTextWriter w;
    w.Create(file.TempPath(), file.Target());
    w.WriteLine(c.doc.ExportHeader());
    w.EndLine();
    w.Write(WindowBytes(window, c.doc.TextCodePage()));
    w.EndLine();
    w.Close();
}

void WriteRtf(const RichTextControl& window, const ExportFile& file, const ReportExportContext& c) {
    RichTextControl d;
    d.SetDefaultCharFormat(c.rtfFont);
    d.Clear();
    // The header is there whether or not its text is empty.
    d.AppendText(c.doc.TextCodePage().ToUtf16(c.doc.ExportHeader()));
    CharFormat bold = c.rtfFont;
    bold.effects = kEffectBold;
    bold.height = kHeaderTwips;
    d.SetCharFormat(0, d.TextLength(), bold, kCharMaskBold | kCharMaskSize);
    d.AppendText(u"\r\r");
    int32_t end = d.TextLength();
    d.SetCharFormat(end, end, c.rtfFont, kCharMaskAll);
    d.Append(window);
    ParaFormat flush;
    d.SetParaFormat(0, d.TextLength(), flush, kParaMaskStartIndent);
    PlainTextWriter w;
    w.Create(file.TempPath(), file.Target());
    w.Write(d.StreamOutRtf());
    w.Close();
}

// The contents list and the sections of the index and group reports.
bool WriteSectioned(HtmlWriter& w, const Report& r, const std::string& header, const char* anchor,
                    ProgressWindow& progress) {
    const std::size_t n = r.sections.size();
    w.OpenDefaultFont();
    w.Write("<a name=\"TOC\"><h1><center>");
    w.WriteEscaped(header);
    w.WriteLine("</center></h1></a>");
    w.WriteLine("<h3>Table of Contents</h3>");
    w.WriteLine("<ol>");
    for (std::size_t i = 0; i < n; ++i) {
        if (progress.Cancelled()) return false;
        progress.SetPosition(int64_t(i));
        w.Write("<li><a href=\"#");
        w.Write(anchor);
        w.WriteNumber(int64_t(i + 1));
        w.Write("\">");
        w.WriteEscaped(r.sections[i].heading);
        w.WriteLine("</a></li>");
    }
    w.WriteLine("</ol>");
    for (std::size_t i = 0; i < n; ++i) {
        if (progress.Cancelled()) return false;
        progress.SetPosition(int64_t(n + i));
        const ReportSection& s = r.sections[i];
        w.WriteLine("<hr>");
        w.Write("<a name=\"");
        w.Write(anchor);
        w.WriteNumber(int64_t(i + 1));
        w.Write("\"><h3>");
        w.WriteEscaped(s.heading);
        w.WriteLine("</h3></a>");
        for (const std::string& line : s.lines) {
            w.Write("\t");
            w.WriteTextWithBreaks(line);
            w.WriteLine("<br>");
        }
        w.WriteLine("<p><a href=\"#TOC\">Table of Contents</a></p>");
    }
    w.CloseDefaultFont();
    return !progress.Cancelled();
}

void WriteUsage(HtmlWriter& w, const Report& r, const std::string& header) {
    w.OpenDefaultFont();
    w.Write("<h1>");
    w.WriteEscaped(header);
    w.WriteLine("</h1>");
    w.WriteLine(
        "<table><tr><td><b># of articles</b></td><td>&nbsp&nbsp&nbsp</td><td><b>Keyword</b>"
        "</td></tr>");
    for (const UsageRow& row : r.rows) {
        w.Write("<tr><td>");
        w.WriteTextWithBreaks(std::to_string(row.count));
        w.Write("</td><td></td><td>");
        w.WriteTextWithBreaks(row.name);
        w.WriteLine("</td></tr>");
    }
    w.WriteLine("</table>");
    w.CloseDefaultFont();
}

void WriteCloud(HtmlWriter& w, const Report& r, const std::string& header) {
    w.OpenDefaultFont();
    w.Write("<h1>");
    w.WriteEscaped(header);
    w.WriteLine("</h1>");
    for (const std::string& line : r.cloudLines)
        w.Write(line);
    w.CloseDefaultFont();
}

bool WriteHtml(const Report& r, const ExportFile& file, const ReportExportContext& c,
               ProgressPort* port) {
    std::unique_ptr<ProgressWindow> progress =
        port ? port->OpenProgress(kHtmlCaption) : std::make_unique<NoProgressWindow>();
    if (r.kind == ReportKind::kIndex || r.kind == ReportKind::kGroups)
        progress->SetRange(2 * int64_t(r.sections.size()));
    HtmlWriter w(c.html);
    const std::string& header = c.doc.ExportHeader();
    try {
        w.Open(file.TempPath());
        w.WriteHead(header);
        bool done = true;
        switch (r.kind) {
            case ReportKind::kIndex:
                done = WriteSectioned(w, r, header, "Keyword", *progress);
                break;
            case ReportKind::kGroups:
                done = WriteSectioned(w, r, header, "Group", *progress);
                break;
            case ReportKind::kUsage:
                WriteUsage(w, r, header);
                break;
            case ReportKind::kCloud:
                WriteCloud(w, r, header);
                break;
        }
        if (!done || progress->Cancelled()) {
            w.Abort();
            return false;
        }
        w.WriteTail();
        w.Close();
    } catch (const CQuillError& e) {
        w.Abort();
        RethrowForTarget(e, file);
    } catch (...) {
        w.Abort();
        throw;
    }
    return true;
}

}  // namespace

std::optional<ReportFileFormat> ReportFormatOfFilter(int position) {
    if (position >= 1 && position <= 3) return ReportFileFormat(position);
    return std::nullopt;
}

std::string ReportExportTitle(ReportKind kind) {
    return std::string("Export ") + ReportCaption(kind);
}

bool WriteReportFile(const Report& report, const RichTextControl& window, ReportFileFormat format,
                     const std::string& target, const ReportExportContext& context,
                     ProgressPort* progress) {
    try {
        ExportFile file(target);
        try {
            switch (format) {
                case ReportFileFormat::kText:
                    WriteText(window, file, context);
                    break;
                case ReportFileFormat::kRtf:
                    WriteRtf(window, file, context);
                    break;
                case ReportFileFormat::kHtml:
                    if (!WriteHtml(report, file, context, progress)) return false;
                    break;
            }
        } catch (const CQuillError& e) {
            RethrowForTarget(e, file);
        }
        file.Commit();
        return true;
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, target);
    }
}

bool ExportReport(const Report& report, const RichTextControl& window, ReportFileFormat format,
                  const std::string& target, const ReportExportContext& context, Ui& ui) {
    try {
        if (WriteReportFile(report, window, format, target, context, &ui)) return true;
        ui.MessageBox(ResourceString(msg::kExportCancelled), MessageIcon::Exclamation);
    } catch (const CQuillError& e) {
        e.ReportError(ui);
    }
    return false;
}

}  // namespace qb

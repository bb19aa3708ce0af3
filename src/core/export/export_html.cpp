// The HTML export: one file with a table of contents and a section per
// article, or a folder with a file per article and toc.htm. The page and
// the article content are written by the HtmlWriter.
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "document/quillbox_doc.h"
#include "export/export_file.h"
#include "export/export_job.h"
#include "export/export_names.h"
#include "export/export_writers.h"
#include "export/html_writer.h"
#include "export/output_code_page.h"
#include "platform/code_page.h"
#include "platform/progress.h"
#include "resources/strings.h"

namespace qb {
namespace {

constexpr const char* kCaption = "Export to HTML File";

HtmlSettings WriterSettings(const ExportJob& job) {
    const ExportSettings& s = job.Settings();
    HtmlSettings h;
    h.exportType = s.htmlExportType;
    h.encodeSet = s.htmlEncodeSet;
    h.customSet = s.htmlCustomSet;
    h.versionText = s.versionText;
    h.fontFace = s.font.font.faceName;
    h.fontHeightTwips = FontPointsForHeight(s.font.font.height, kDefaultScreenDpi) * 20;
    h.textColor = uint32_t(s.font.textColor) & 0xFFFFFFu;
    h.useTextColor = !s.font.autoColor;
    // The page is written in the data file's code page. Outside
    // Windows-1252 a page that declares no charset would be read as the
    // wrong one, so it declares its own.
    h.textCodePage = job.Doc().TextCodePage();
    const CodePage& page = job.Output().Page();
    if (page.Number() != CodePage::kDefault) {
        h.codePage = std::make_shared<OutputCodePage>(OutputCodePage::Of(page));
        if (h.exportType == 0) {
            h.exportType = 2;
            h.customSet = page.CharsetName();
        }
    }
    return h;
}

// A writer's error names the temporary file; the person chose the target.
[[noreturn]] void RethrowForTarget(const CQuillError& e, const ExportFile& file) {
    if (e.Path() == file.TempPath()) throw CQuillError(e.Code(), file.Target());
    throw;
}

// Writes one HTML file through its temporary file: the head with `title`,
// then `body`, which returns false when the run was cancelled; only a body
// that finished gets the tail and replaces the target. A failure drops the
// temporary file and names the target.
bool WriteHtmlFile(ExportFile& file, HtmlWriter& w, std::string_view title,
                   const std::function<bool()>& body) {
    try {
        w.Open(file.TempPath());
        w.WriteHead(title);
        if (!body()) {
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
    file.Commit();
    return true;
}

// What the writer needs to resolve stored link targets: the job's targets,
// read in the code page of the file's text as every other text of it.
LinkContext LinkContextOf(const ExportJob& job) {
    LinkContext links = LinkContextFrom(job.Settings().targets);
    links.targetCodePage = job.Doc().TextCodePage();
    return links;
}

bool StartsWithWww(std::string_view s) {
    if (s.size() < 4) return false;
    for (size_t i = 0; i < 3; ++i)
        if (s[i] != 'w' && s[i] != 'W') return false;
    return s[3] == '.';
}

void WriteHeaderHeading(ExportJob& job, HtmlWriter& w) {
    if (!job.Has(export_flags::kHeader)) return;
    w.Write("<h1><center>");
    w.WriteEscaped(job.Doc().ExportHeader());
    w.WriteLine("</center></h1>");
}

// Dates, keywords, attachments and content of an article section; false
// when the content's conversion was cancelled.
// The title as every HTML form shows it above the article.
void WriteBoldTitle(HtmlWriter& w, const std::string& title) {
    w.OpenDefaultFont();
    w.Write("<b>");
    w.WriteTextWithBreaks(title);
    w.Write("</b>");
    w.WriteLine("<br>");
    w.CloseDefaultFont();
}

bool WriteArticleBody(ExportJob& job, HtmlWriter& w, const ExportedArticle& a,
                      const LinkContext& links) {
    OutputText& enc = job.Output();
    if (job.Has(export_flags::kDates)) {
        w.OpenDefaultFont();
        w.Write(ResourceString(msg::kExportDateLabel));
        w.Write(enc.FromUtf8(a.dateText));
        w.WriteLine("<br>");
        w.CloseDefaultFont();
    }
    if (job.Has(export_flags::kKeywords)) {
        w.OpenDefaultFont();
        w.Write(ResourceString(msg::kExportKeywordsLabel));
        for (size_t i = 0; i < a.keywords.size(); ++i) {
            if (i) w.Write(", ");
            w.WriteEscaped(a.keywords[i]);
        }
        w.WriteLine("<br>");
        w.CloseDefaultFont();
    }
    if (job.Has(export_flags::kAttachments)) {
        for (size_t i = 0; i < a.record.attachments.size(); ++i) {
            const CAttachment& att = a.record.attachments[i];
            w.OpenDefaultFont();
            w.Write(ResourceString(msg::kCopyAttachmentLabel));
            if (att.kind == 1) {
                w.Write("<a href=\"file://");
                w.Write(enc.FromUtf8(i < a.attachments.size() ? a.attachments[i] : att.target));
                w.Write("\">");
                w.WriteEscaped(att.target);
                w.Write("</a>");
            } else if (att.kind == 2) {
                w.Write("<a href=\"");
                if (StartsWithWww(att.target)) w.Write("http://");
                w.Write(att.target);
                w.Write("\">");
                w.WriteEscaped(att.target);
                w.Write("</a>");
            }
            w.WriteLine("<br>");
            w.CloseDefaultFont();
        }
    }
    if (job.Has(export_flags::kContent)) {
        if (job.Has(export_flags::kDates | export_flags::kKeywords) ||
            (job.Has(export_flags::kAttachments) && !a.record.attachments.empty()))
            w.WriteLine("<br>");
        if (!w.WriteArticleContent(a.record, links, &job.Progress())) return false;
    }
    return true;
}

// The titles-only contents list, or the linked one (which fills the anchors).
void WriteContents(ExportJob& job, HtmlWriter& w, const std::vector<int32_t>& ids) {
    w.Anchors().Clear();
    w.OpenDefaultFont();
    WriteHeaderHeading(job, w);
    w.WriteLine("<a name=\"TOC\"><h3>Table of Contents</h3></a>");
    w.WriteLine("<ol>");
    const bool numbered = job.Has(export_flags::kNumbers);
    for (size_t n = 1; n <= ids.size(); ++n) {
        const std::string& title = job.Doc().Summary(ids[n - 1]).title;
        if (job.TitlesOnly()) {
            if (numbered) w.Write("<li>");
            w.WriteTextWithBreaks(title);
            w.Write(numbered ? "</li>" : "<br>");
        } else {
            std::string anchor = "#Article" + std::to_string(n);
            w.Write("<li><a href=\"");
            w.Write(anchor);
            w.Write("\">");
            w.WriteEscaped(title);
            w.WriteLine("</a></li>");
            w.Anchors().Number(ids[n - 1], int32_t(n));
        }
        job.Step();
    }
    w.WriteLine("</ol>");
    w.CloseDefaultFont();
}

ExportOutcome ExportSingleFile(ExportJob& job, const std::string& target,
                               const std::vector<int32_t>& ids) {
    const size_t count = ids.size();
    job.OpenProgress(kCaption, int64_t(job.TitlesOnly() ? count : 2 * count),
                     ResourceString(msg::kWritingContents));
    const LinkContext links = LinkContextOf(job);
    ExportFile file(target);
    HtmlWriter w(WriterSettings(job));
    bool done = WriteHtmlFile(file, w, job.Doc().ExportHeader(), [&] {
        WriteContents(job, w, ids);
        if (!job.TitlesOnly()) {
            job.Progress().SetText(ResourceString(msg::kExportingArticles));
            for (size_t n = 1; n <= count; ++n) {
                if (job.Cancelled()) break;
                job.ShowArticleProgress(kCaption, n - 1, count);
                ExportedArticle a = job.Read(ids[n - 1]);
                w.WriteLine("<hr>");
                w.Write("<a name=\"Article");
                w.WriteNumber(int64_t(n));
                w.Write("\">");
                if (job.Has(export_flags::kTitles)) {
                    WriteBoldTitle(w, a.record.title);
                }
                w.Write("</a>");
                if (job.Has(export_flags::kTitles)) w.WriteLine("<br>");
                if (!WriteArticleBody(job, w, a, links)) break;
                w.OpenDefaultFont();
                w.WriteLine("<p><a href=\"#TOC\">Table of Contents</a></p>");
                w.CloseDefaultFont();
                job.Step();
            }
        }
        return !job.Cancelled();
    });
    return done ? ExportOutcome::kDone : ExportOutcome::kCancelled;
}

// One article's own file in the folder; false when its conversion was
// cancelled (the file is then dropped).
bool WriteArticleFile(ExportJob& job, HtmlWriter& w, const std::string& path,
                      const ExportedArticle& a, const LinkContext& links,
                      const std::string& tocName) {
    ExportFile file(path);
    std::string_view title = job.Has(export_flags::kHeader)
                                 ? std::string_view(job.Doc().ExportHeader())
                                 : std::string_view(a.record.title);
    return WriteHtmlFile(file, w, title, [&] {
        if (job.Has(export_flags::kTitles)) {
            WriteBoldTitle(w, a.record.title);
            w.WriteLine("<br>");
        }
        if (!WriteArticleBody(job, w, a, links)) return false;
        w.OpenDefaultFont();
        w.Write("<p><a href=\"");
        w.Write(tocName);
        w.WriteLine("\">Table of Contents</a></p>");
        w.CloseDefaultFont();
        return true;
    });
}

ExportOutcome ExportFolder(ExportJob& job, const std::string& folder,
                           const std::vector<int32_t>& ids) {
    const size_t count = ids.size();
    job.OpenProgress(kCaption, int64_t(count), ResourceString(msg::kExportingArticles));
    const LinkContext links = LinkContextOf(job);
    SeparateFileNames names(folder);
    const std::string tocPath = names.Fixed("toc", ".htm");
    const std::string tocName = names.NameOnly(tocPath);
    const HtmlSettings settings = WriterSettings(job);

    // Every article's name first, so that links between articles reach
    // the other files.
    ArticleAnchors anchors;
    std::vector<std::string> paths(count);
    for (size_t i = 0; i < count; ++i) {
        paths[i] = names.Unique(job.Doc().Summary(ids[i]).title, ".htm");
        anchors.Name(ids[i], names.NameOnly(paths[i]));
    }

    ExportFile tocFile(tocPath);
    HtmlWriter toc(settings);
    bool done = WriteHtmlFile(tocFile, toc, job.Doc().ExportHeader(), [&] {
        if (job.TitlesOnly()) {
            WriteContents(job, toc, ids);
        } else {
            toc.OpenDefaultFont();
            WriteHeaderHeading(job, toc);
            toc.WriteLine("<h3>Table of Contents</h3>");
            toc.WriteLine("<ol>");
            for (size_t i = 0; i < count; ++i) {
                if (job.Cancelled()) break;
                job.ShowArticleProgress(kCaption, i, count);
                ExportedArticle a = job.Read(ids[i]);
                toc.Write("<li><a href=\"");
                toc.Write(names.NameOnly(paths[i]));
                toc.Write("\">");
                toc.WriteEscaped(a.record.title);
                toc.WriteLine("</a></li>");
                // The article's writer borrows the anchors for its links.
                HtmlWriter w(settings);
                w.Anchors().Swap(anchors);
                bool written = false;
                try {
                    written = WriteArticleFile(job, w, paths[i], a, links, tocName);
                } catch (...) {
                    w.Anchors().Swap(anchors);
                    throw;
                }
                w.Anchors().Swap(anchors);
                if (!written) break;
                job.Step();
            }
            toc.WriteLine("</ol>");
            toc.CloseDefaultFont();
        }
        return !job.Cancelled();
    });
    return done ? ExportOutcome::kDone : ExportOutcome::kCancelled;
}

}  // namespace

std::string HtmlOfArticles(ExportJob& job, const std::vector<int32_t>& ids) {
    const LinkContext links = LinkContextOf(job);
    HtmlWriter w(WriterSettings(job));
    std::string out;
    w.OpenMemory(out);
    w.WriteHead("");
    for (size_t n = 0; n < ids.size(); ++n) {
        ExportedArticle a = job.Read(ids[n]);
        if (n) w.WriteLine("<hr>");
        if (job.Has(export_flags::kTitles)) {
            WriteBoldTitle(w, a.record.title);
        }
        if (!WriteArticleBody(job, w, a, links)) break;
    }
    w.WriteTail();
    w.Close();
    return out;
}

ExportOutcome ExportHtml(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids,
                         bool separateFiles) {
    return separateFiles ? ExportFolder(job, target, ids) : ExportSingleFile(job, target, ids);
}

}  // namespace qb

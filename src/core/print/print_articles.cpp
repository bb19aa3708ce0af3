#include "print/print_articles.h"

#include <algorithm>
#include <cstdio>

#include "app/settings.h"
#include "datafile/dates.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "export/export_job.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

std::u16string Utf16(std::string_view utf8) {
    RichTextControl c;
    c.SetTextUtf8(utf8);
    return c.Text();
}

std::string Resource(int id, const char* fallback) {
    const char* text = ResourceString(id);
    return text ? text : fallback;
}

// Plain content as one text: paragraphs and line breaks become line ends.
std::u16string PlainLines(const RichTextControl& c) {
    std::u16string t = c.Text();
    std::replace(t.begin(), t.end(), kLineBreak, u'\n');
    return t;
}

// What a run shares: geometry, the margins question, the document, the
// progress window and the ending.
class Run {
public:
    Run(PrintSurface& surface, PrintServices& services, PageSetup& setup,
        std::optional<int32_t> tabWidth)
        : surface_(surface), services_(services), setup_(setup) {
        JobStyle style = MakeJobStyle(services.settings, surface.Geometry());
        style.tabWidthTwips = tabWidth;
        const CodePage& page = services.doc.TextCodePage();
        LocalDateTime now = services.locale.Now();
        std::u16string date =
            Utf16(FormatDate(now.year * 10000 + now.month * 100 + now.day, false, services.locale));
        std::u16string time = Utf16(
            FormatTime(now.hour * 3600 + now.minute * 60 + now.second, false, services.locale));
        job_.emplace(surface, setup, std::move(style),
                     ExpandDateTime(page.ToUtf16(setup.header), date, time),
                     ExpandDateTime(page.ToUtf16(setup.footer), date, time));
    }

    PrintJob& Job() { return *job_; }

    // The margins question; false when the person declined.
    bool Fit() {
        const PageGeometry& g = job_->Geometry();
        if (!g.raised) return true;
        MarginChoice choice =
            services_.askAdjustMargins ? services_.askAdjustMargins() : MarginChoice{};
        if (!choice.proceed) return false;
        if (choice.store) {
            SurfaceGeometry d = surface_.Geometry();
            StoreMargins(g, d.dpiX, d.dpiY, setup_);
        }
        return true;
    }

    bool Start(const std::string& name) {
        int32_t r = surface_.StartDocument(name);
        if (r <= 0) {
            if (r < 0) services_.ui.MessageBox(PrinterErrorText(r), MessageIcon::Information);
            return false;
        }
        progress_ = services_.ui.OpenProgress(Resource(msg::kProgramName, "Quillbox Reader"));
        progress_->SetText(Resource(msg::kPrinting, "Printing..."));
        job_->SetCancelCheck([this] { return progress_->Cancelled(); });
        return true;
    }

    void Show(const std::string& line) {
        progress_->SetText(Resource(msg::kPrinting, "Printing...") + "\n" + line);
    }
    bool Cancelled() const { return progress_ && progress_->Cancelled(); }

    PrintResult End(bool readFailed) {
        PrintJob& job = *job_;
        if (!job.Stopped() && !readFailed) job.Finish();
        PrintResult result;
        result.pages = job.PagesEnded();
        bool cancelled = job.Aborted() || Cancelled();
        if (cancelled || job.Failed() || readFailed) {
            surface_.AbortDocument();
            progress_.reset();
            if (job.Failed())
                services_.ui.MessageBox(PrinterErrorText(job.LastResult()),
                                        MessageIcon::Information);
            result.outcome =
                job.Failed() || readFailed ? PrintOutcome::kFailed : PrintOutcome::kCancelled;
            return result;
        }
        int32_t r = surface_.EndDocument();
        progress_.reset();
        if (r < 0) {
            services_.ui.MessageBox(PrinterErrorText(r), MessageIcon::Information);
            result.outcome = PrintOutcome::kFailed;
            return result;
        }
        result.outcome = PrintOutcome::kPrinted;
        return result;
    }

private:
    PrintSurface& surface_;
    PrintServices& services_;
    PageSetup& setup_;
    std::optional<PrintJob> job_;
    std::unique_ptr<ProgressWindow> progress_;
};

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

JobStyle MakeJobStyle(const Settings& settings, const SurfaceGeometry& device) {
    JobStyle s;
    const LogicalFont& f = settings.displayFont.font;
    s.normal.face = f.faceName;
    int32_t screenHeight = f.height < 0 ? -f.height : f.height;
    if (screenHeight == 0) screenHeight = 12;
    s.normal.height = std::max(1, MulDiv(screenHeight, device.dpiY, kDefaultScreenDpi));
    s.normal.weight = f.weight > 0 ? f.weight : kFontWeightNormal;
    s.normal.italic = f.italic != 0;
    s.normal.underline = f.underline != 0;
    s.normal.strikeout = f.strikeOut != 0;
    s.normal.charset = f.charSet;
    s.normal.pitchAndFamily = f.pitchAndFamily;
    s.bold = s.normal;
    s.bold.weight = kFontWeightBold;
    s.textColour =
        settings.customTextColor == -1 ? 0 : uint32_t(settings.customTextColor) & 0xFFFFFF;
    return s;
}

std::string PrinterErrorText(int32_t result) {
    switch (result) {
        case printer_result::kOutOfDisk:
            return Resource(msg::kPrinterOutOfDisk, "Not enough disk space to spool print file");
        case printer_result::kOutOfMemory:
            return Resource(msg::kPrinterOutOfMemory, "Not enough memory to spool print file");
        case printer_result::kCancelledByUser:
            return Resource(msg::kPrinterCancelled, "Printing canceled in Print Manager");
        default:
            return Resource(msg::kPrinterError, "Printer Error");
    }
}

PrintResult PrintArticles(PrintSurface& surface, PrintServices& services,
                          const PrintOptions& options, PageSetup& setup,
                          const std::vector<int32_t>& ids) {
    if (ids.empty()) return {};
    Run run(surface, services, setup, std::nullopt);
    if (!run.Fit()) return {PrintOutcome::kDeclined, 0};
    if (!run.Start(BaseName(services.doc.PathName()))) return {PrintOutcome::kFailed, 0};
    PrintJob& job = run.Job();
    const JobStyle& style = job.Style();
    const CodePage& page = services.doc.TextCodePage();

    ExportOptions readWhat;
    readWhat.flags = options.flags;
    ExportJob reader(services.doc, services.locale, services.ui,
                     MakeExportSettings(readWhat, services.settings, services.doc));
    const bool titlesOnly = options.TitlesOnly();
    const int32_t copies = surface.MakesCopies() ? 1 : std::max(1, options.copies);
    const std::u16string dateLabel = Utf16(Resource(msg::kExportDateLabel, "Date: "));
    const std::u16string keywordsLabel = Utf16(Resource(msg::kExportKeywordsLabel, "Keywords: "));
    const std::u16string attachmentLabel =
        Utf16(Resource(msg::kCopyAttachmentLabel, "Attachment: "));
    bool readFailed = false;

    for (int32_t copy = 0; copy < copies && !job.Stopped() && !readFailed; ++copy) {
        if (copy > 0) job.RestartCopy();
        for (size_t i = 0; i < ids.size() && !job.Stopped(); ++i) {
            ExportedArticle a;
            std::string storedTitle;
            try {
                // A list of titles needs no record: the summary has the title,
                // and reading (and inflating) every content would cost most of the run.
                if (titlesOnly) {
                    storedTitle = services.doc.Summary(ids[i]).title;
                } else {
                    a = reader.Read(ids[i]);
                    storedTitle = a.record.title;
                }
            } catch (const CQuillError& e) {
                e.ReportError(services.ui);
                readFailed = true;
                break;
            }
            std::u16string title = page.ToUtf16(storedTitle);
            char count[48];
            std::snprintf(count, sizeof count, "%zu of %zu", i + 1, ids.size());
            run.Show(page.ToUtf8(storedTitle) + "\n" + count);
            if (run.Cancelled()) break;
            if (i > 0 && !titlesOnly) job.PrintSeparator(setup.separator);

            if (options.Has(export_flags::kTitles)) {
                if (options.Numbered()) {
                    std::string n = std::to_string(i + 1) + ".\t";
                    job.PrintText(std::u16string(n.begin(), n.end()) + title, style.normal,
                                  style.textColour);
                } else {
                    bool bold = setup.boldTitles && !titlesOnly;
                    job.PrintText(title, bold ? style.bold : style.normal, style.textColour);
                }
                if (titlesOnly) continue;
                job.LineAdvance();
            }
            bool fixed = false;
            if (options.Has(export_flags::kDates)) {
                job.PrintText(dateLabel + Utf16(a.dateText), style.normal, style.textColour);
                fixed = true;
            }
            if (options.Has(export_flags::kKeywords)) {
                std::u16string line = keywordsLabel;
                for (size_t k = 0; k < a.keywords.size(); ++k) {
                    if (k > 0) line += u", ";
                    line += page.ToUtf16(a.keywords[k]);
                }
                job.PrintText(line, style.normal, style.textColour);
                fixed = true;
            }
            if (options.Has(export_flags::kAttachments)) {
                for (const std::string& path : a.attachments) {
                    job.PrintText(attachmentLabel + Utf16(path), style.normal, style.textColour);
                    fixed = true;
                }
            }
            if (options.Has(export_flags::kContent)) {
                if (fixed) job.LineAdvance();
                const RichTextControl& content = reader.Content(a);
                if (a.record.level < 5)
                    job.PrintText(PlainLines(content), style.normal, style.textColour);
                else
                    job.PrintRichText(content);
            }
        }
    }
    return run.End(readFailed);
}

PrintResult PrintReport(PrintSurface& surface, PrintServices& services, PageSetup& setup,
                        const RichTextControl& report, std::optional<int32_t> tabWidthTwips,
                        const std::string& documentName, int32_t copies) {
    Run run(surface, services, setup, tabWidthTwips);
    if (!run.Fit()) return {PrintOutcome::kDeclined, 0};
    if (!run.Start(documentName)) return {PrintOutcome::kFailed, 0};
    PrintJob& job = run.Job();
    const std::string pageFormat = Resource(msg::kPrintingPage, "Page %d");
    job.SetPageListener([&](int32_t page) {
        std::string text = pageFormat;
        size_t at = text.find("%d");
        if (at != std::string::npos) text.replace(at, 2, std::to_string(page));
        run.Show(text);
    });
    copies = surface.MakesCopies() ? 1 : std::max(1, copies);
    for (int32_t copy = 0; copy < copies && !job.Stopped(); ++copy) {
        if (copy > 0) job.RestartCopy();
        job.PrintRichText(report);
    }
    return run.End(false);
}

}  // namespace qb

// The RTF export: the whole document is assembled in one rich-text control
// and streamed out as RTF once (per file).
#include <cstdio>
#include <optional>

#include "document/quillbox_doc.h"
#include "export/export_file.h"
#include "export/export_job.h"
#include "export/export_names.h"
#include "export/export_writers.h"
#include "export/plain_text_writer.h"
#include "platform/progress.h"
#include "resources/strings.h"
#include "richtext/formats.h"
#include "richtext/rich_text.h"

namespace qb {
namespace {

constexpr int32_t kHeaderTwips = 320;

// The control of an RTF export and its operations.
class RtfDocument {
public:
    RtfDocument(const ArticleFont& font, const OutputText& output) : output_(output) {
        CharFormat f;
        f.face = font.font.faceName;
        f.height = FontPointsForHeight(font.font.height, kDefaultScreenDpi) * 20;
        f.colour = font.autoColor ? kAutoColour : uint32_t(font.textColor) & 0xFFFFFFu;
        control_.SetDefaultCharFormat(f);
        control_.Clear();
    }

    void Clear() { control_.Clear(); }
    int32_t Length() const { return control_.TextLength(); }
    void Append(std::u16string_view text) { control_.AppendText(text); }
    void AppendStored(std::string_view bytes) { Append(output_.StoredToUtf16(bytes)); }
    void AppendUtf8(std::string_view text) { control_.AppendTextUtf8(text); }
    void AppendRich(const RichTextControl& content) { control_.Append(content); }
    void NewParagraph() { control_.AppendText(u"\r"); }
    // A paragraph end unless the text is empty or (not forced) ends in one.
    void EndLine(bool forced = false) {
        if (control_.TextLength() == 0) return;
        char16_t last = control_.Text().back();
        if (!forced && (last == u'\r' || last == u'\n')) return;
        NewParagraph();
    }
    void MakeBold(int32_t start, int32_t end, int32_t height = 0) {
        CharFormat f = control_.DefaultCharFormat();
        f.effects = kEffectBold;
        uint32_t mask = kCharMaskBold;
        if (height) {
            f.height = height;
            mask |= kCharMaskSize;
        }
        control_.SetCharFormat(start, end, f, mask);
    }
    // The caret to the end, the default character format, no numbering
    // and no indents: an appended title must not continue a list.
    void ResetAtEnd() {
        int32_t end = control_.TextLength();
        control_.SetCharFormat(end, end, control_.DefaultCharFormat(), kCharMaskAll);
        if (end == 0 || control_.Text().back() == kParagraphEnd)
            control_.SetParaFormat(end, end, control_.DefaultParaFormat(), kParaMaskAll);
    }
    void Save(const ExportFile& file) const {
        PlainTextWriter w;
        w.Create(file.TempPath(), file.Target());
        w.Write(control_.StreamOutRtf());
        w.Close();
    }

private:
    const OutputText& output_;
    RichTextControl control_;
};

void WriteHeader(ExportJob& job, RtfDocument& d) {
    if (!job.Has(export_flags::kHeader)) return;
    d.AppendStored(job.Doc().ExportHeader());
    d.MakeBold(0, d.Length(), kHeaderTwips);
    d.EndLine();
    d.NewParagraph();
}

void WriteArticle(ExportJob& job, RtfDocument& d, const ExportedArticle& a, size_t position) {
    d.ResetAtEnd();
    if (job.Has(export_flags::kTitles)) {
        int32_t start = d.Length();
        if (job.Has(export_flags::kNumbers)) d.AppendUtf8(std::to_string(position) + ".\t");
        d.AppendStored(a.record.title);
        d.MakeBold(start, d.Length());
        d.EndLine();
        if (!job.TitlesOnly()) d.NewParagraph();
    }
    if (job.Has(export_flags::kDates)) {
        d.AppendUtf8(std::string(ResourceString(msg::kExportDateLabel)) + a.dateText);
        d.EndLine();
    }
    if (job.Has(export_flags::kKeywords)) {
        d.AppendUtf8(ResourceString(msg::kExportKeywordsLabel));
        for (size_t i = 0; i < a.keywords.size(); ++i) {
            if (i) d.Append(u", ");
            d.AppendStored(a.keywords[i]);
        }
        d.EndLine();
    }
    if (job.Has(export_flags::kAttachments)) {
        for (const std::string& path : a.attachments) {
            d.AppendUtf8(std::string(ResourceString(msg::kCopyAttachmentLabel)) + path);
            d.EndLine();
        }
    }
    if (job.Has(export_flags::kContent)) {
        if (job.Has(export_flags::kDates | export_flags::kKeywords | export_flags::kAttachments))
            d.NewParagraph();
        // Plain text as the control reads it, one paragraph per line.
        const RichTextControl& content = job.Content(a);
        if (a.record.IsRichText())
            d.AppendRich(content);
        else
            d.Append(content.Text());
    }
}

}  // namespace

ExportOutcome ExportRtf(ExportJob& job, const std::string& target, const std::vector<int32_t>& ids,
                        bool separateFiles) {
    const std::string caption = "Export to RTF File";
    job.OpenProgress(caption, int64_t(ids.size()), ResourceString(msg::kExportingArticles));
    RtfDocument d(job.Settings().font, job.Output());
    std::optional<SeparateFileNames> names;
    if (separateFiles)
        names.emplace(target);
    else
        WriteHeader(job, d);
    for (size_t i = 0; i < ids.size(); ++i) {
        if (job.Cancelled()) return ExportOutcome::kCancelled;
        job.ShowArticleProgress(caption, i, ids.size());
        ExportedArticle a = job.Read(ids[i]);
        if (separateFiles) {
            d.Clear();
            WriteHeader(job, d);
        } else if (i > 0 && !job.TitlesOnly()) {
            d.NewParagraph();
            d.NewParagraph();
        }
        WriteArticle(job, d, a, i + 1);
        if (!job.TitlesOnly()) {
            d.EndLine(!separateFiles && i + 1 == ids.size());
            d.ResetAtEnd();
        }
        if (separateFiles) {
            ExportFile file(names->Unique(a.record.title, ".rtf"));
            d.Save(file);
            file.Commit();
        }
        job.Step();
    }
    if (!separateFiles) {
        if (job.Cancelled()) return ExportOutcome::kCancelled;
        ExportFile file(target);
        d.Save(file);
        file.Commit();
    }
    return ExportOutcome::kDone;
}

}  // namespace qb

#include "export/export_job.h"

#include <algorithm>
#include <cstdio>

#include "app/settings.h"
#include "app/startup.h"
#include "article/article_view_model.h"
#include "datafile/cp1252.h"
#include "datafile/dates.h"
#include "document/quillbox_doc.h"
#include "platform/ui.h"
#include "richtext/article_content.h"

namespace qb {

ExportSettings MakeExportSettings(const ExportOptions& options, const Settings& settings,
                                  const CQuillboxDoc& doc) {
    ExportSettings s;
    s.options = options;
    s.lineLength = settings.exportTextLineLength;
    s.font = settings.displayFont;
    s.htmlExportType = settings.htmlExportType;
    s.htmlEncodeSet = settings.htmlEncodeSet;
    s.htmlCustomSet = settings.htmlCustomSet;
    s.versionText = OwnProgramVersion().text;
    s.targets = MakeTargetContext(doc, &settings);
    s.utf8Text = settings.exportTextEncoding == 1;
    s.markdown = options.markdown;
    return s;
}

namespace {
bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 0x80; });
}
}  // namespace

std::string OutputText::Stored(std::string_view stored) const {
    if (!utf8_ || IsAscii(stored)) return std::string(stored);
    return page_.ToUtf8(stored);
}

std::string OutputText::FromUtf8(std::string_view utf8) {
    if (utf8_) return std::string(utf8);
    // Plain ASCII, the common case, is the same in every output.
    if (IsAscii(utf8)) return std::string(utf8);
    CodePageEncoding e = page_.FromUtf8(utf8, '?');
    lost_ += int64_t(e.unencodable.size());
    return std::move(e.bytes);
}

std::string OutputText::FromUtf16(std::u16string_view utf16) {
    if (std::all_of(utf16.begin(), utf16.end(), [](char16_t c) { return c < 0x80; }))
        return std::string(utf16.begin(), utf16.end());
    if (utf8_) return Utf16ToUtf8(utf16);
    CodePageEncoding e = page_.FromUtf16(utf16, '?');
    lost_ += int64_t(e.unencodable.size());
    return std::move(e.bytes);
}

ExportJob::ExportJob(CQuillboxDoc& doc, const Locale& locale, Ui& ui, ExportSettings settings,
                     ProgressPort* progress)
    : doc_(doc),
      locale_(locale),
      ui_(ui),
      progressPort_(progress ? *progress : ui),
      settings_(std::move(settings)),
      output_(doc.TextCodePage()) {}

ExportJob::~ExportJob() = default;

ExportedArticle ExportJob::Read(int32_t id) {
    ExportedArticle a;
    doc_.ReadArticle(id, a.record);
    if (Has(export_flags::kDates)) a.dateText = FormatDate(a.record.articleDate, false, locale_);
    if (Has(export_flags::kKeywords)) {
        std::vector<int32_t> ids = a.record.keywordIds;
        doc_.SortKeywordsByName(ids);
        for (int32_t k : ids)
            a.keywords.push_back(doc_.KeywordName(k));
    }
    if (Has(export_flags::kAttachments))
        for (const CAttachment& att : a.record.attachments)
            a.attachments.push_back(AttachmentViewOf(att, settings_.targets).TargetText());
    return a;
}

const RichTextControl& ExportJob::Content(const ExportedArticle& article) {
    LoadArticleContent(control_, article.record.IsRichText(), article.record.Content(),
                       doc_.TextCodePage());
    return control_;
}

ProgressWindow& ExportJob::OpenProgress(const std::string& caption, int64_t range,
                                        const std::string& firstText) {
    progress_.reset();
    progress_ = progressPort_.OpenProgress(caption);
    progress_->SetRange(range);
    progress_->SetText(firstText);
    position_ = 0;
    return *progress_;
}

ProgressWindow& ExportJob::Progress() {
    if (!progress_) progress_ = std::make_unique<NoProgressWindow>();
    return *progress_;
}

void ExportJob::ShowArticleProgress(const std::string& caption, size_t index, size_t count) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "\n%zu of %zu", index + 1, count);
    Progress().SetText(caption + numbers);
}

void ExportJob::Step() {
    Progress().SetPosition(++position_);
}

bool ExportJob::Cancelled() const {
    return progress_ && progress_->Cancelled();
}

}  // namespace qb

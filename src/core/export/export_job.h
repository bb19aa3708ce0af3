// What every export writer works from: the document, the person's locale and
// screen, the values taken from the settings, one reused rich-text control
// for reading content, and the conversion of texts to the output's bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/article_font.h"
#include "article/attachment_opener.h"
#include "datafile/articles.h"
#include "export/export_options.h"
#include "export/markdown_options.h"
#include "platform/code_page.h"
#include "platform/progress.h"  // the job resets its window inline
#include "richtext/rich_text.h"

namespace qb {

class CQuillboxDoc;
class Locale;
class Settings;
class Ui;

// The preferences an export reads, copied when it starts.
struct ExportSettings {
    ExportOptions options;
    int32_t lineLength = 0;                   // ExportTextLineLength: 0 is no limit
    ArticleFont font = DefaultArticleFont();  // the article display font
    int32_t htmlExportType = 0;
    int32_t htmlEncodeSet = 0;
    std::string htmlCustomSet;
    std::string versionText;   // the program's version, for HTML heads
    TargetContext targets;     // resolving attachment and link targets
    bool utf8Text = false;     // text and CSV files in UTF-8 (ExportTextEncoding 1)
    MarkdownOptions markdown;  // the Markdown notes folder's own choices
};

// The values of `settings` (with the options given) over `doc`.
ExportSettings MakeExportSettings(const ExportOptions& options, const Settings& settings,
                                  const CQuillboxDoc& doc);

// Texts in the output's bytes. The output is in the data file's code page:
// stored texts pass unchanged; decoded texts (UTF-8 dates and paths, UTF-16
// rich text) are encoded here, the one place that knows the output's code
// page. A character it lacks becomes "?" and is counted. In UTF-8 mode
// (text and CSV files, when the person chose it) every text is UTF-8 and
// nothing is lost.
class OutputText {
public:
    explicit OutputText(const CodePage& page = CodePage()) : page_(page) {}
    void SetUtf8(bool on) { utf8_ = on; }
    bool IsUtf8() const { return utf8_; }
    // Stored bytes (titles, keywords, plain content) for the output.
    std::string Stored(std::string_view stored) const;
    std::string FromUtf8(std::string_view utf8);
    std::string FromUtf16(std::u16string_view utf16);
    // Stored bytes as UTF-16, for the rich-text control.
    std::u16string StoredToUtf16(std::string_view stored) const { return page_.ToUtf16(stored); }
    const CodePage& Page() const { return page_; }
    int64_t Lost() const { return lost_; }

private:
    CodePage page_;
    bool utf8_ = false;
    int64_t lost_ = 0;
};

// One article as the writers use it.
struct ExportedArticle {
    CArticle record;
    std::string dateText;                  // UTF-8, the display date
    std::vector<std::string> keywords;     // stored bytes, sorted by name
    std::vector<std::string> attachments;  // full paths or addresses, UTF-8
};

class ExportJob {
public:
    // Progress windows open through `progress` (the Ui's own when null).
    ExportJob(CQuillboxDoc& doc, const Locale& locale, Ui& ui, ExportSettings settings,
              ProgressPort* progress = nullptr);
    ~ExportJob();

    CQuillboxDoc& Doc() { return doc_; }
    const CQuillboxDoc& Doc() const { return doc_; }
    Ui& GetUi() { return ui_; }
    ProgressPort& Progresses() { return progressPort_; }
    const Locale& GetLocale() const { return locale_; }
    const ExportSettings& Settings() const { return settings_; }
    const ExportOptions& Options() const { return settings_.options; }
    bool Has(uint16_t flag) const { return settings_.options.Has(flag); }
    bool TitlesOnly() const { return settings_.options.TitlesOnly(); }
    OutputText& Output() { return output_; }
    const OutputText& Output() const { return output_; }

    // Reads article `id`; a data-file error throws CQuillError.
    ExportedArticle Read(int32_t id);
    // The article's content in the job's one control (plain text too); the
    // control stays valid until the next call.
    const RichTextControl& Content(const ExportedArticle& article);

    // The progress window, opened with `caption`, its bar's range and first
    // text; and the per-article text "<caption>\n%d of %d".
    ProgressWindow& OpenProgress(const std::string& caption, int64_t range,
                                 const std::string& firstText);
    ProgressWindow& Progress();
    void ShowArticleProgress(const std::string& caption, size_t index, size_t count);
    void Step();  // one bar step
    void CloseProgress() { progress_.reset(); }
    bool Cancelled() const;

private:
    CQuillboxDoc& doc_;
    const Locale& locale_;
    Ui& ui_;
    ProgressPort& progressPort_;
    ExportSettings settings_;
    OutputText output_;
    RichTextControl control_;
    std::unique_ptr<ProgressWindow> progress_;
    int64_t position_ = 0;
};

}  // namespace qb

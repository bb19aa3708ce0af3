// The one output object of every HTML file the program writes (article
// exports, report exports): it owns the file and a 32,000-byte buffer,
// writes the page head and tail, turns text into HTML with character
// entities, and converts one article's content into an HTML body fragment.
// One writer serves one export run; its entity restriction, switched on by
// a head that declares a pre-defined encoding, lasts for the whole run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/article_font.h"
#include "article/link_targets.h"
#include "export/article_anchors.h"
#include "export/entity_table.h"
#include "export/output_code_page.h"
#include "platform/code_page.h"
#include "richtext/rich_text.h"

namespace qb {

struct ArticleFont;
struct CArticle;
struct TargetContext;
class Settings;
class ProgressWindow;

struct HtmlSettings {
    int32_t exportType = 0;   // HTMLExportType: 0 no charset, 1 pre-defined, 2 custom
    int32_t encodeSet = 0;    // HTMLEncodeSet: index into PredefinedHtmlEncodings()
    std::string customSet;    // HTMLCustomSet: a charset name as typed
    std::string versionText;  // the program's version text, e.g. OwnProgramVersion().text
    // The article display font (the default font of plain-text articles).
    std::string fontFace = "Arial";  // UTF-8
    int32_t fontHeightTwips = 180;   // points x 20; the sign is ignored
    uint32_t textColor = 0;          // 0x00BBGGRR, red in the low byte
    bool useTextColor = false;       // false: the system text colour, no COLOR
    // The output's code page; null means Windows-1252.
    std::shared_ptr<const OutputCodePage> codePage;
    // The data file's code page, for rich-text content that is not RTF.
    CodePage textCodePage;
};

// The settings of a run from the preferences (HTMLExportType,
// HTMLEncodeSet, HTMLCustomSet), the display font `font` at `dpi` and this
// program's version text.
HtmlSettings MakeHtmlSettings(const Settings& settings, const ArticleFont& font,
                              int dpi = kDefaultScreenDpi);

// What resolving a stored file or folder link needs: the document's link
// base, the drive of ".:" paths and the Drives settings.
struct LinkContext {
    std::string linkBase;
    char drive = 'C';
    DriveMap drives;
    CodePage targetCodePage;  // of the stored targets: the file's text's
};
LinkContext LinkContextFrom(const TargetContext& context);

// A pre-defined encoding: what a list shows and the charset declared.
struct HtmlEncoding {
    std::string displayName;
    std::string charset;
};
// Strings 18000, 18001, ... up to the first that is exactly ";", each split
// at its first ";".
std::vector<HtmlEncoding> PredefinedHtmlEncodings();

// The size number (1 to 7) of a FONT element for a size in whole points.
int HtmlFontSize(int32_t points);
// The COLOR text of a colour with red in the low byte: "rrggbb", lower case.
std::string HtmlColourText(uint32_t colour);

class HtmlWriter {
public:
    static constexpr std::size_t kBufferSize = 32000;

    explicit HtmlWriter(HtmlSettings settings);
    ~HtmlWriter();  // an unclosed file is aborted
    HtmlWriter(const HtmlWriter&) = delete;
    HtmlWriter& operator=(const HtmlWriter&) = delete;

    // Creates or truncates `path`; throws CQuillError with the file error's
    // code and the path.
    void Open(const std::string& path);
    // Writes into `sink` instead of a file (a copy for the clipboard):
    // Close() leaves everything there, Abort() stops adding to it.
    void OpenMemory(std::string& sink);
    // The bytes as given. Throws CQuillError when a full buffer cannot be
    // written.
    void Write(std::string_view bytes);
    void WriteLine(std::string_view bytes);  // then CR LF
    void WriteNumber(int64_t n);
    // Stored (code-page) bytes, each through the entity rule.
    void WriteEscaped(std::string_view text);
    // Stored plain text: CR, LF, CR LF and LF CR become "<br>" and a line
    // end, recognised addresses become anchors, the rest is escaped.
    void WriteTextWithBreaks(std::string_view text);
    // The page head with the charset declaration the settings ask for; a
    // pre-defined encoding restricts entities to "&", "<" and ">" from here
    // on. `title` is stored bytes.
    void WriteHead(std::string_view title);
    void WriteTail();
    void OpenDefaultFont();
    void CloseDefaultFont();
    // The article's content as an HTML body fragment: rich text read from
    // the writer's control line by line, plain text through
    // WriteTextWithBreaks in the default font. False when `progress`
    // reported Cancel before the end (checked before each line).
    bool WriteArticleContent(const CArticle& article, const LinkContext& links,
                             ProgressWindow* progress);
    // Writes what is buffered and closes the file; throws CQuillError when
    // the data did not reach the file (the file is then closed).
    void Close();
    // Closes without raising and removes the file if it is a regular file
    // this writer created or truncated: for a failed run.
    void Abort();

    // The hrefs of links between exported articles. Filled by the export;
    // links to articles it has no entry for get no anchor.
    ArticleAnchors& Anchors() { return anchors_; }

    bool IsOpen() const { return fd_ >= 0 || sink_ != nullptr; }
    const std::string& Path() const { return path_; }
    const HtmlSettings& Settings() const { return settings_; }
    const EntityTable& Entities() const { return entities_; }

    // One character of rich text in the output code page: through the
    // entity rule when `escaped`, unchanged otherwise; a character the code
    // page lacks is written as "&#N;".
    void WriteCharacter(char32_t c, bool escaped) {
        // Most text is ASCII without an entity of its own.
        if (c < 0x80 && c != '"' && c != '&' && c != '<' && c != '>' && codePage_->AsciiAsIs())
            Put(char(c));
        else
            WriteOtherCharacter(c, escaped);
    }
    // Text in an attribute value between double quotes: as given, but a
    // double quote becomes "&quot;" so that the value cannot end early.
    void WriteAttribute(std::string_view bytes);
    void WriteAttribute(std::u16string_view text);

    void Put(char c) {
        if (!buffer_) Allocate();
        buffer_[fill_++] = c;
        if (fill_ == kBufferSize) Flush();
    }

private:
    void Allocate();
    void Flush();
    void Fail(int error);
    void PutEscapedByte(uint8_t b);
    void WriteNumericReference(char32_t c);
    void WriteOtherCharacter(char32_t c, bool escaped);

    HtmlSettings settings_;
    const OutputCodePage* codePage_;
    EntityTable entities_;
    std::vector<HtmlEncoding> encodings_;
    int fd_ = -1;
    std::string* sink_ = nullptr;  // OpenMemory's target
    bool ownsFile_ = false;        // a regular file created here, not yet closed well
    std::string path_;
    std::unique_ptr<char[]> buffer_;
    std::size_t fill_ = 0;
    // Bytes handed to the file, and how many of them writeback was started for.
    std::size_t written_ = 0, started_ = 0;
    static constexpr std::size_t kWritebackStep = std::size_t(8) << 20;
    ArticleAnchors anchors_;
    RichTextControl control_;  // the hidden control each rich-text article is read through
};

}  // namespace qb

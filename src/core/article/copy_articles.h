// Copy Articles: the highlighted articles of a title list as one copy, in
// list order, as plain text and as RTF. Each article is one block:
//
//   title
//   Date: <date>
//   Attachment: <target>        (one line per attachment, stored order)
//   Keywords: <a>, <b>, ...     (sorted as keyword lists are; may be empty)
//   <empty line>
//   <content>
//   <empty line>
//
// The RTF carries the same words, with the content's own formats, built in
// one control and streamed out once at the end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "article/attachment_opener.h"
#include "platform/clipboard.h"
#include "richtext/rich_text.h"

namespace qb {

class CQuillboxDoc;
class Locale;
class Ui;
class ClipboardWriter;

// Above this many articles Copy Articles shows its progress window.
constexpr std::size_t kCopyProgressThreshold = 50;

// What a copy shows of one article. Texts are UTF-8.
struct CopiedArticle {
    std::string title;
    std::string dateText;
    std::vector<std::string> attachments;  // target texts, in stored order
    std::vector<std::string> keywords;     // names, sorted as keyword lists are
    RichTextControl content;
    bool richText = false;  // the content was read as RTF
};

// Reads article `id` for a copy; a data-file error (also one of its keyword
// names) throws CQuillError.
CopiedArticle ReadCopiedArticle(CQuillboxDoc& doc, int32_t id, const Locale& locale,
                                const TargetContext& context);

// Appends the article's plain-text block, every line ended by CR LF.
void AppendCopyText(std::string& out, const CopiedArticle& article);
// Appends the article's block to `control`: heading lines in the control's
// default formats, then the content with its own (a plain-text content in
// the format before it). A line end is added only where the text does not
// end in one already, the empty lines always.
void AppendCopyRtf(RichTextControl& control, const CopiedArticle& article);

// Both forms of a copy of several articles, grown article by article.
class ArticleCopy {
public:
    void Add(const CopiedArticle& article);
    std::size_t Count() const { return count_; }
    // Lines ended by CR LF.
    const std::string& Text() const { return text_; }
    // Streams the whole control out; call it once, at the end.
    std::string Rtf() const { return rich_.StreamOutRtf(); }
    // The clipboard's formats: the text with LF line ends, and the RTF.
    std::vector<ClipboardFormat> Formats() const;

private:
    std::string text_;
    RichTextControl rich_;
    std::size_t count_ = 0;
};

// Copy Articles for `ids` in that order. Above kCopyProgressThreshold the
// progress window of `ui` shows "%d of %d"; Cancel there stops the copy.
// A data-file error stops it and is shown; a clipboard failure is shown by
// `clipboard`. Whenever it does not end with everything placed, nothing of
// it is. Returns true when the copy was placed. `html`, when given, makes
// the copy's "text/html" form of the same ids (a layer above this one has
// the HTML converter); an empty result offers none.
using CopyHtmlMaker = std::function<std::string(const std::vector<int32_t>& ids)>;
bool CopyArticles(CQuillboxDoc& doc, const std::vector<int32_t>& ids, const Locale& locale,
                  const TargetContext& context, Ui& ui, ClipboardWriter& clipboard,
                  const CopyHtmlMaker& html = nullptr);

}  // namespace qb

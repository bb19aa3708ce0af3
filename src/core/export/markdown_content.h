// An article's content as Markdown, read from the rich-text control's
// model (paragraphs, runs, paragraph formats, pictures) and the article's
// stored links; never from the RTF text.
#pragma once

#include <string>
#include <vector>

#include "datafile/articles.h"
#include "richtext/rich_text.h"

namespace qb {

// What the conversion asks of the export run: the written form of a stored
// link and of a picture (files beside the notes are the run's business).
class MarkdownTargets {
public:
    virtual ~MarkdownTargets() = default;
    // The Markdown for `link` shown as `text` (`escaped`: the same text
    // already escaped for Markdown).
    virtual std::string StoredLinkMarkdown(const StoredLink& link, const std::string& text,
                                           const std::string& escaped) = 0;
    // The Markdown for a picture of the content ("![](...)" or a note).
    virtual std::string PictureMarkdown(const Picture& picture) = 0;
};

struct MarkdownContentOptions {
    bool headings = false;    // a large bold first paragraph becomes "# ..."
    bool underline = false;   // underlined runs as <u>...</u>
    bool plainLines = false;  // plain text: lines are joined by hard breaks,
                              // empty lines separate paragraphs
};

// The bold first line that becomes a heading is at least this high (twips).
constexpr int32_t kHeadingHeight = 280;

// Markdown blocks separated by one empty line, each line ending in LF; the
// whole ends with LF unless empty. Bold, italic and strikethrough as
// ** * ~~ (as <strong> <em> <del> where the delimiters would not be read),
// monospace runs as code spans, line breaks as hard breaks ("\" at the end
// of the line), bulleted and numbered paragraphs as nested lists by their
// indents, recognised addresses as links that Markdown apps follow.
std::string ContentToMarkdown(const RichTextControl& control, const std::vector<StoredLink>& links,
                              MarkdownTargets& targets, const MarkdownContentOptions& options);

// Whether a run is in a monospace font: fixed pitch, the modern family, or
// a face known to be monospace.
bool IsMonospace(const CharFormat& format);

}  // namespace qb

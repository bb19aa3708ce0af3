// Rich text to HTML: the control is asked line by line for the paragraph
// format and position by position for the character format, and tags are
// written from the answers. Stored links become anchors (article links
// through the writer's anchor map), and addresses found in the words
// become anchors too.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "article/link_recognizer.h"
#include "datafile/articles.h"
#include "export/article_anchors.h"
#include "export/text_format.h"

namespace qb {

class HtmlWriter;
class ProgressWindow;
class RichTextControl;
struct LinkContext;

// The href prefix of a recognised link: "http://" for "www.", "mailto:" for
// an e-mail address, nothing for the other kinds (a quoted file link builds
// its own).
const char* RecognizedHrefPrefix(LinkKind kind);

// FONT with FACE, SIZE (from the height in twips) and, unless in a link,
// COLOR; then, unless fonts-only, STRIKE, U (not in a link), I, B, SUP, SUB.
void OpenTextFormat(HtmlWriter& out, const TextFormat& format, bool inLink, bool fontsOnly);
// The closing tags of OpenTextFormat with effects, in reverse order.
void CloseTextFormat(HtmlWriter& out, const TextFormat& format, bool inLink);

// The stored target of a link as an href: file and folder paths resolved
// (mapped to Linux where the Drives settings map them) as a file URL, web
// addresses ("http://" before "www."), articles through `anchors`; empty
// when the link has no target. UTF-16, or `bytes` for an anchor.
struct LinkTargetText {
    std::u16string text;
    std::string bytes;
    bool empty() const { return text.empty() && bytes.empty(); }
};
LinkTargetText StoredLinkTarget(const StoredLink& link, const LinkContext& context,
                                const ArticleAnchors& anchors);

// Writes every line of `control` (ending with "<br>" and a line end) with
// `links` as its stored links. False when `progress` was cancelled first.
bool WriteRichTextContent(HtmlWriter& out, const RichTextControl& control,
                          const std::vector<StoredLink>& links, const LinkContext& context,
                          ProgressWindow* progress);

}  // namespace qb

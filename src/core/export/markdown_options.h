// The choices of a Markdown notes-folder export (the format's own options
// beside the common export flags, range and sort).
#pragma once

namespace qb {

struct MarkdownOptions {
    bool wikiLinks = false;       // article links as [[Note]] rather than relative links
    bool headings = false;        // a large bold first line becomes a heading
    bool includePrivate = false;  // private articles (shown ones only) are exported too
    bool underline = false;       // underlined text as <u>...</u>
};

}  // namespace qb

// What the article content does with words and links under the mouse, as
// pure decisions over the text (UTF-16, the control's positions), the stored
// links' ranges and the link flags. Opening a target is the launcher's job.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "article/link_recognizer.h"

namespace qb {

// The characters a stored link covers: start is the first, end ends the
// range (hovering excludes it, a double-click includes it).
struct StoredLinkRange {
    int32_t start = 0;
    int32_t end = 0;
};

// The word at `pos`: first and length (0 for an empty word). It stops at
// white space, "<", ">" and at stored links on either side, and begins at
// its first alphanumeric character.
struct WordSpan {
    int32_t first = 0;
    int32_t length = 0;
};
WordSpan WordAt(std::u16string_view text, std::span<const StoredLinkRange> storedLinks,
                int32_t pos);

// The two link flags of a content control.
struct LinkFlags {
    bool colouring = false;  // recognised links are shown coloured
    bool activation = true;  // recognised links answer the mouse
};

// Both flags for the Active Links mode: 0 colouring and activation,
// 1 activation only, anything else neither.
LinkFlags FlagsForActiveLinksMode(int32_t mode);

// The colouring flag a loaded article asks for: a rich-text article's stored
// link-display value, non-zero meaning coloured; a plain-text article never.
inline bool ColouringForArticle(bool richText, int32_t linkDisplayValue) {
    return richText && linkDisplayValue != 0;
}

// What a change of the colouring flag asks of the control.
enum class ColouringChange { kNone, kMarkWholeText, kRemoveMarks };
ColouringChange ColouringChangeFor(bool wasOn, bool isOn);

// Hovering: over a stored link (index into the list), over a recognised
// link (the link cursor), or plain text (the I-beam).
struct HoverDecision {
    enum class Over { kText, kStoredLink, kRecognizedLink } over = Over::kText;
    int32_t storedLink = -1;
};
HoverDecision HoverAt(std::u16string_view text, std::span<const StoredLinkRange> storedLinks,
                      int32_t pos, bool activation,
                      const LinkRecognizer& recognizer = LinkRecognizer::Shared());

// A double-click: follow a stored link (selecting its range), open a
// recognised file or web target (selecting [selectStart, selectEnd)), let
// the control select the word itself, or do nothing.
struct DoubleClickDecision {
    enum class Action { kNothing, kControlSelectsWord, kFollowStoredLink, kOpenFile, kOpenWeb };
    Action action = Action::kNothing;
    int32_t storedLink = -1;  // kFollowStoredLink
    int32_t selectStart = 0;
    int32_t selectEnd = 0;  // exclusive
    std::u16string target;  // kOpenFile: the path as written; kOpenWeb: the address
};
DoubleClickDecision DoubleClickAt(std::u16string_view text,
                                  std::span<const StoredLinkRange> storedLinks, int32_t pos,
                                  bool activation,
                                  const LinkRecognizer& recognizer = LinkRecognizer::Shared());

}  // namespace qb

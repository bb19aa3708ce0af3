// Placing a copy on the clipboard: the formats of a selection of rich text,
// and the one place that turns a clipboard failure into its message.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datafile/quill_error.h"
#include "platform/clipboard.h"
#include "richtext/rich_text.h"

namespace qb {

class Ui;

// The data-file error a failed placing is shown as: the clipboard held by
// another program is error 21 (message 1121), one that cannot be emptied
// error 22 (1122), a format that cannot be stored error 1 (1101). Placed
// and no clipboard at all have none.
std::optional<CQuillError> ClipboardError(ClipboardResult result);

// Places copies through the Clipboard port and shows each failure through
// the Ui. A desktop without a clipboard is said once (message kNoClipboard)
// for the writer's lifetime, so one writer lives as long as the program.
class ClipboardWriter {
public:
    ClipboardWriter(Clipboard& clipboard, Ui& ui) : clipboard_(clipboard), ui_(ui) {}
    // True when every format was placed; otherwise nothing was, and the
    // failure has been shown.
    bool Place(const std::vector<ClipboardFormat>& formats);

private:
    Clipboard& clipboard_;
    Ui& ui_;
    bool toldNoClipboard_ = false;
};

// The formats of a copy of [start, end) of `content`: its plain text
// (UTF-8, LF line ends, pictures left out) and its RTF with the formats
// kept. An empty range gives no formats: there is nothing to copy.
std::vector<ClipboardFormat> SelectionFormats(const RichTextControl& content, int32_t start,
                                              int32_t end);

// CR LF line ends as LF, for the clipboard of this desktop.
std::string ToLfLineEnds(std::string text);

}  // namespace qb

#include "article/clipboard_copy.h"

#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

std::optional<CQuillError> ClipboardError(ClipboardResult result) {
    switch (result) {
        case ClipboardResult::kCannotOpen:
            return CQuillError(err::kClipboardBusy);
        case ClipboardResult::kCannotEmpty:
            return CQuillError(err::kClipboardUnavailable);
        case ClipboardResult::kCannotPlace:
            return CQuillError(err::kOutOfMemory);
        case ClipboardResult::kPlaced:
        case ClipboardResult::kNoClipboard:
            break;
    }
    return std::nullopt;
}

bool ClipboardWriter::Place(const std::vector<ClipboardFormat>& formats) {
    ClipboardResult result = clipboard_.Place(formats);
    if (result == ClipboardResult::kPlaced) return true;
    if (result == ClipboardResult::kNoClipboard) {
        // Every later copy would fail the same way; saying so each time
        // would only repeat it.
        if (!toldNoClipboard_) {
            toldNoClipboard_ = true;
            ui_.MessageBox(ResourceString(msg::kNoClipboard), MessageIcon::Exclamation);
        }
        return false;
    }
    if (std::optional<CQuillError> e = ClipboardError(result)) e->ReportError(ui_);
    return false;
}

std::string ToLfLineEnds(std::string text) {
    std::size_t w = 0;
    for (std::size_t r = 0; r < text.size(); ++r) {
        if (text[r] == '\r' && r + 1 < text.size() && text[r + 1] == '\n') continue;
        text[w++] = text[r];
    }
    text.resize(w);
    return text;
}

std::vector<ClipboardFormat> SelectionFormats(const RichTextControl& content, int32_t start,
                                              int32_t end) {
    RichTextControl copy = content.CopyRange(start, end);
    if (copy.TextLength() == 0) return {};
    return TextAndRtfFormats(ToLfLineEnds(copy.StreamOutText(TextEncoding::kUtf8)),
                             copy.StreamOutRtf());
}

}  // namespace qb

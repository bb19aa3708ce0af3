// The port of the desktop's clipboard. The reader only ever places data on
// it (it never pastes): one call puts every format of one copy there at
// once, replacing what the clipboard held, or fails and leaves it as it
// was. The reader implements it with Qt, tests with a recording fake.
#pragma once

#include <string>
#include <vector>

namespace qb {

// The formats a copy offers, by MIME type.
inline constexpr char kClipboardPlainText[] = "text/plain;charset=utf-8";  // UTF-8, LF line ends
inline constexpr char kClipboardRtf[] = "text/rtf";
inline constexpr char kClipboardRichText[] = "text/richtext";  // the same RTF, for older readers
inline constexpr char kClipboardHtml[] = "text/html";          // a UTF-8 page

struct ClipboardFormat {
    std::string mimeType;
    std::string data;
    bool operator==(const ClipboardFormat&) const = default;
};

// What became of placing a copy; the copy commands turn these into messages.
enum class ClipboardResult {
    kPlaced,
    kCannotOpen,   // another program holds the clipboard
    kCannotEmpty,  // it is open but what it holds cannot be replaced
    kCannotPlace,  // a format could not be stored (out of memory)
    kNoClipboard,  // there is no clipboard here (no display)
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content by `formats`, all or none: on any
    // result but kPlaced the clipboard holds what it held before.
    virtual ClipboardResult Place(const std::vector<ClipboardFormat>& formats) = 0;
};

// The formats of a copy with plain `text` (UTF-8, LF) and `rtf`; RTF is
// offered under both of its types, and left out when empty.
inline std::vector<ClipboardFormat> TextAndRtfFormats(std::string text, const std::string& rtf) {
    std::vector<ClipboardFormat> formats;
    formats.push_back({kClipboardPlainText, std::move(text)});
    if (!rtf.empty()) {
        formats.push_back({kClipboardRtf, rtf});
        formats.push_back({kClipboardRichText, rtf});
    }
    return formats;
}

}  // namespace qb

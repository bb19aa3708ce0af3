// A Clipboard for tests: keeps what was placed and answers from a scripted
// result (kPlaced unless told otherwise); a failed Place changes nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/clipboard.h"

namespace qb {

class RecordingClipboard : public Clipboard {
public:
    ClipboardResult Place(const std::vector<ClipboardFormat>& formats) override {
        ++calls;
        if (result == ClipboardResult::kPlaced) {
            content = formats;
            ++placed;
        }
        return result;
    }

    // The data of `mimeType` in the content, or empty.
    std::string Data(const std::string& mimeType) const {
        for (const ClipboardFormat& f : content)
            if (f.mimeType == mimeType) return f.data;
        return {};
    }

    ClipboardResult result = ClipboardResult::kPlaced;
    std::vector<ClipboardFormat> content;  // what the clipboard holds
    int calls = 0, placed = 0;
};

}  // namespace qb

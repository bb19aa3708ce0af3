// A picture of an RTF document ({\pict ...}): its kind, sizes and scale
// from the words of the group, its bytes from hex digits or \bin data.
// Internal to the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "richtext/rich_text.h"
#include "richtext/rtf_control_words.h"

namespace qb::rtf {

class PictureReader {
public:
    // Whether a picture is being read; pictures do not nest.
    bool Active() const { return active_; }
    void Begin();
    // A word of the picture's group (kind, sizes, scale); others are ignored.
    void Word(rtf::Word w, int32_t param);
    // Text of the group: pairs of hex digits, anything else between them
    // ignored.
    void HexText(const char* p, std::size_t n);
    void Binary(std::string_view bytes);
    // Ends the picture: the picture, unless it had no bytes.
    std::optional<Picture> Finish();

private:
    void SetKind(PictureKind kind);
    bool active_ = false;
    Picture picture_;
    int nibble_ = -1;  // the first digit of a pair, or -1
};

}  // namespace qb::rtf

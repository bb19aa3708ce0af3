// Reads the RTF dialect of rich-edit controls (and what other programs
// write) into a RichTextControl. Groups are kept on an explicit stack, so
// nesting depth costs memory, never native stack.
#pragma once

#include <string_view>

namespace qb {

class RichTextControl;

class RtfReader {
public:
    // `out` must be empty; its default formats fill what the RTF leaves open.
    explicit RtfReader(RichTextControl& out) : out_(out) {}
    // False when the input does not start as RTF ("{\rtf").
    bool Read(std::string_view rtf);

private:
    RichTextControl& out_;
};

}  // namespace qb

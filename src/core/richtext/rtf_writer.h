// Writes a RichTextControl as RTF of the rich-edit kind; RtfReader reads it
// back to an equal model.
#pragma once

#include <string>

namespace qb {

class RichTextControl;

class RtfWriter {
public:
    explicit RtfWriter(const RichTextControl& in) : in_(in) {}
    std::string Write() const;

private:
    const RichTextControl& in_;
};

}  // namespace qb

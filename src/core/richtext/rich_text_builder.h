// The building interface of RichTextControl, for readers that produce a
// whole document from start to end (the RTF reader). Text is appended in
// the character format chosen last, formats are interned once and then
// named by their id, and the control's own invariants hold again after
// Finish().
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

#include "richtext/rich_text.h"

namespace qb {

class RichTextControl::Builder {
public:
    // `control` must be empty (as after Clear()): its default formats are
    // those of the first run and the first paragraph until set.
    explicit Builder(RichTextControl& control) : rt_(control) {}
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    // Room for this many UTF-16 units of text; Finish gives back what is
    // left over when that is much more than was used.
    void Reserve(std::size_t units) { rt_.text_.reserve(units); }

    const CharFormat& DefaultCharFormat() const { return rt_.defaultChar_; }
    int32_t InternCharFormat(const CharFormat& format) { return rt_.charPool_.Intern(format); }
    int32_t InternParaFormat(const ParaFormat& format) { return rt_.paraPool_.Intern(format); }

    // The id of the character format that text appended next is in.
    int32_t CharFormatId() const { return rt_.runFormats_.back(); }
    // Text appended from here is in format `id`: a new run unless the last
    // one is still empty.
    void SetCharFormatId(int32_t id) {
        if (rt_.runFormats_.back() == id) return;
        int32_t len = Length();
        if (rt_.runStarts_.back() == len) {
            rt_.runFormats_.back() = id;
        } else {
            rt_.runStarts_.push_back(len);
            rt_.runFormats_.push_back(id);
        }
    }

    // Characters of the current paragraph; a CR here would not start a
    // paragraph, EndParagraph does.
    void Append(char16_t c) { rt_.text_.push_back(c); }
    void Append(const char16_t* s, std::size_t n) { rt_.text_.append(s, n); }
    int32_t Length() const { return int32_t(rt_.text_.size()); }

    // The format of the paragraph being built (the last one).
    void SetParaFormatId(int32_t id) { rt_.paraFormats_.back() = id; }
    // Ends the paragraph with its CR; the next one starts in the same format.
    void EndParagraph() {
        rt_.text_.push_back(kParagraphEnd);
        rt_.paraStarts_.push_back(Length());
        rt_.paraFormats_.push_back(rt_.paraFormats_.back());
    }

    // Appends the picture's object character, in the current run.
    void AddPicture(Picture picture) {
        picture.position = Length();
        rt_.text_.push_back(kObjectChar);
        rt_.pictures_.push_back(std::move(picture));
    }

    // Drops the runs left empty and makes the control answer questions again.
    // The story always ends in the control's own final paragraph mark, which
    // is not in the text: a stream that ends with a paragraph end has that
    // end become the final mark (the paragraph it closes keeps its format),
    // instead of opening an empty paragraph after it.
    void Finish() {
        if (!rt_.text_.empty() && rt_.text_.back() == kParagraphEnd) {
            rt_.text_.pop_back();
            rt_.paraStarts_.pop_back();
            rt_.paraFormats_.pop_back();
            int32_t len = Length();
            // The mark takes the last run's format: a run that held only the
            // dropped end goes with it.
            while (rt_.runStarts_.size() > 1 && rt_.runStarts_.back() >= len) {
                rt_.runStarts_.pop_back();
                rt_.runFormats_.pop_back();
            }
        }
        if (rt_.text_.capacity() > 2 * rt_.text_.size() + 4096) rt_.text_.shrink_to_fit();
        rt_.MergeRuns();
        rt_.InvalidateLines();
    }

private:
    RichTextControl& rt_;
};

}  // namespace qb

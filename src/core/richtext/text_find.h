// Finding text as the control finds it, over any UTF-16 text: the control's
// own FindText and the searches over text that is not loaded into a control
// (titles, extracted article text) share this one matcher, so they agree.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

// A pattern prepared once for many texts. Without kFindMatchCase both sides
// are compared under Unicode simple case folding (é matches É, Ǆ matches ǆ,
// ß stays ß), also for characters outside the first plane. With
// kFindWholeWord a match must begin and end on a boundary of the control's
// word-break rule (RichTextControl::WordAt).
class TextPattern {
public:
    TextPattern(std::u16string_view what, uint32_t flags);

    bool Empty() const { return pattern_.empty(); }
    // First match starting in [start, end) that also ends by `end`
    // (end -1: the end of the text). Returns its position or -1.
    int32_t Find(std::u16string_view text, int32_t start = 0, int32_t end = -1) const;
    int32_t Length() const { return int32_t(pattern_.size()); }

private:
    bool Matches(const char16_t* t, std::size_t size, std::size_t at) const;
    std::u16string pattern_;  // folded unless matching case
    bool matchCase_, wholeWord_;
    bool asciiFirst_;  // the first unit folds only within ASCII
};

// Folds the unit at text[i] under simple case folding; a surrogate is
// folded with its partner, so each unit of a pair gives its folded unit.
char16_t FoldUnitAt(std::u16string_view text, std::size_t i);

// The classes of the control's word-break rule: 0 white space, 1 word
// characters, 2 punctuation, 3 paragraph and line ends (each a word alone).
int WordBreakClass(char16_t c);

// Whether the control's word-break rule puts a boundary before text[i].
bool IsWordBoundary(std::u16string_view text, std::size_t i);

// UTF-8 as UTF-16; a malformed sequence gives U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace qb

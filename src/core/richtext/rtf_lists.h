// Paragraph numbering as RTF gives it: the rich-edit form ({\pn ...} in the
// paragraph) and the list-table form (\ls naming an override, which names a
// list, whose levels say the kind and the start). Internal to the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "richtext/rtf_control_words.h"
#include "richtext/rtf_state.h"

namespace qb::rtf {

class ListTable {
public:
    // A word inside {\listtable ...}, a list or a level; it may open a list
    // or a level in `s`. Returns true when the group is to be skipped (a
    // level beyond the most a list keeps).
    bool ListWord(State& s, Word w, int32_t param);
    // A word inside {\listoverridetable ...} or an override.
    void OverrideWord(State& s, Word w, int32_t param);

    // The numbering of a paragraph in list override `ls` at level `ilvl`
    // into `f`; bullets when the override or the list is not known.
    void Number(int32_t ls, int32_t ilvl, ParaFormat& f) const;

private:
    struct Level {
        int nfc = 0;
        int startAt = 1;
    };
    struct List {
        int32_t id = 0;
        std::vector<Level> levels;
    };
    std::vector<List> lists_;
    std::map<int32_t, int32_t> overrides_;  // \ls number to list id
    int32_t overrideId_ = 0, overrideLs_ = 0;
};

// \pn, \ls and \ilvl in the text's own destinations.
void ApplyNumberingWord(State& s, Word w, int32_t param);
// A word inside {\pn ...} or its {\pntxtb} and {\pntxta}.
void ApplyPnWord(State& s, Word w, int32_t param);
// Text of {\pntxtb ...} or {\pntxta ...}: its first character other than
// a space, in Windows-1252; a hex byte counts even when it is a space.
void ApplyPnText(State& s, const char* p, std::size_t n);
void ApplyPnByte(State& s, uint8_t b);
// A group of the {\pn ...} form closes: what it set belongs to the
// paragraph of the group around it.
void CloseNumberingGroup(const State& popped, State& top);
// The numbering fields of `f` for paragraph state `pa`.
void ApplyNumbering(const ParaState& pa, const ListTable& lists, ParaFormat& f);

}  // namespace qb::rtf

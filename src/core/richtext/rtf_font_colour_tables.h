// The font and colour tables of an RTF document, as the reader collects
// them: the entries, and what the text's fonts mean for decoding and for
// the character formats. Internal to the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "richtext/rtf_control_words.h"

namespace qb::rtf {

struct FontEntry {
    std::string nameBytes;
    // Characters the name gives as \u, each with the count of name bytes
    // before it: bytes are decoded late, once the entry's code page is known.
    std::vector<std::pair<std::size_t, char16_t>> nameUnicode;
    bool nameDone = false;
    int charset = 1;  // DEFAULT_CHARSET until told
    int codePage = 0;
    uint8_t family = 0, pitch = 0;
    std::string face;  // decoded, UTF-8
};

class FontTable {
public:
    // {\fonttbl starts: no entry is open until \f.
    void Open() { current_ = nullptr; }
    // The table's group has closed.
    void Close() { current_ = nullptr; }

    enum class WordEffect { kNotTableWord, kDone, kNewEntry };
    // A word inside the table. kNewEntry: an entry was (re)started, which
    // changes what formats and code pages the text's fonts stand for.
    WordEffect TableWord(Word w, int32_t param);
    // Name bytes of the open entry, up to its ';'.
    void NameText(const char* p, std::size_t n);
    void NameByte(uint8_t b);
    void NameUnicode(char16_t c);

    void SetDefault(int32_t number) { default_ = number; }
    // The code page that text in font `font` (-1: the default font) is in
    // by the font's own word; 0 when the font does not say.
    int CodePageOf(int32_t font) const;
    // The entry whose face and charset text in font `font` (-1: the
    // default) takes, with its name decoded; null when there is none.
    const FontEntry* ForText(int32_t font, int documentCodePage);

private:
    FontEntry* Find(int32_t number);
    const FontEntry* Find(int32_t number) const;

    std::map<int32_t, FontEntry> fonts_;
    FontEntry* current_ = nullptr;  // the entry being read
    int32_t default_ = 0;
};

class ColourTable {
public:
    // {\colortbl starts: the table is read anew.
    void Open() {
        colours_.clear();
        hasParts_ = false;
    }
    // \red, \green or \blue; false for any other word.
    bool TableWord(Word w, int32_t param);
    // Text of the table: each ';' ends an entry. True when one was added.
    bool Text(const char* p, std::size_t n);
    // The colour of table index `index`; automatic when there is none.
    uint32_t Colour(int32_t index) const;

private:
    std::vector<uint32_t> colours_;
    bool hasParts_ = false;  // the entry so far has a red, green or blue
    int r_ = 0, g_ = 0, b_ = 0;
};

}  // namespace qb::rtf

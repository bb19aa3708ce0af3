// The control words the RTF reader understands, grouped by what they act
// on, and the table that finds them. Internal to the reader.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "richtext/rich_text.h"

namespace qb::rtf {

// Words that mean the same (\cell and \nestcell, say) share a value. The
// order matters: each group below is one range, see GroupOf.
enum class Word : uint8_t {
    kUnknown,
    kSkipDest,  // a destination whose content is neither text nor formatting
    // document: code pages, defaults, and the destinations it opens
    kAnsi,
    kMac,
    kPc,
    kPca,
    kAnsiCpg,
    kDeff,
    kUc,
    kFontTable,
    kColourTable,
    kListTable,
    kOverrideTable,
    kUpr,
    kUd,
    // entries of the font table
    kFnil,
    kFroman,
    kFswiss,
    kFmodern,
    kFscript,
    kFdecor,
    kFtech,
    kFbidi,
    kFcharset,
    kFprq,
    kCpg,
    // entries of the colour table
    kRed,
    kGreen,
    kBlue,
    // characters and breaks in the text
    kPar,
    kLine,
    kTab,
    kCell,
    kRow,
    kPage,
    kSect,
    kEmdash,
    kEndash,
    kBullet,
    kLquote,
    kRquote,
    kLdblquote,
    kRdblquote,
    kEmspace,
    kEnspace,
    kQmspace,
    kZwj,
    kZwnj,
    kLtrmark,
    kRtlmark,
    kU,
    // paragraph formatting and tab stops
    kPard,
    kQl,
    kQr,
    kQc,
    kQj,
    kLi,
    kRi,
    kFi,
    kSb,
    kSa,
    kSl,
    kSlmult,
    kTx,
    kTb,
    kTqr,
    kTqc,
    kTqdec,
    kTldot,
    kTlhyph,
    kTlul,
    kTlth,
    kTleq,
    kIntbl,
    // character formatting: the words that change the character state,
    // which the reader's format cache relies on. \f is one of them; in the
    // font table it starts an entry instead.
    kPlain,
    kB,
    kI,
    kUl,
    kUlnone,
    kUld,
    kUldb,
    kUlw,
    kUlwave,
    kUldash,
    kUlth,
    kStrike,
    kStriked,
    kV,
    kProtect,
    kSuper,
    kSub,
    kNosupersub,
    kUp,
    kDn,
    kFs,
    kCf,
    kCb,
    kHighlight,
    kChcbpat,
    kF,
    // numbering of the paragraph: {\pn ...} and the list-table form (\ls, \ilvl)
    kPn,
    kLs,
    kIlvl,
    // inside {\pn ...} only
    kPnlvlblt,
    kPnlvlbody,
    kPnlvlcont,
    kPnlvl,
    kPndec,
    kPnucltr,
    kPnlcltr,
    kPnucrm,
    kPnlcrm,
    kPnstart,
    kPnindent,
    kPntxta,
    kPntxtb,
    // the list and list-override tables
    kList,
    kListId,
    kListLevel,
    kLevelNfc,
    kLevelStartAt,
    kOverride,
    // fields, objects, pictures and binary data
    kField,
    kFldrslt,
    kResult,
    kObject,
    kShppict,
    kPict,
    kPngblip,
    kJpegblip,
    kDibitmap,
    kWmetafile,
    kEmfblip,
    kOtherPict,
    kPicw,
    kPich,
    kPicwgoal,
    kPichgoal,
    kPicscalex,
    kPicscaley,
    kBin,
    kCount
};

enum class WordGroup : uint8_t {
    kNone,  // unknown words and skipped destinations
    kDocument,
    kFontEntry,
    kColourEntry,
    kTextCharacter,
    kParagraph,
    kCharacter,
    kNumbering,     // \pn, \ls, \ilvl
    kPnNumbering,   // the words inside {\pn ...}
    kListEntry,     // the words of the list tables
    kObject,        // fields, objects, \pict, \bin
    kPictureEntry,  // the words inside {\pict ...}
};

namespace detail {
constexpr std::array<WordGroup, std::size_t(Word::kCount)> kWordGroups = [] {
    std::array<WordGroup, std::size_t(Word::kCount)> g{};
    auto range = [&](Word first, Word last, WordGroup group) {
        for (std::size_t i = std::size_t(first); i <= std::size_t(last); ++i)
            g[i] = group;
    };
    range(Word::kAnsi, Word::kUd, WordGroup::kDocument);
    range(Word::kFnil, Word::kCpg, WordGroup::kFontEntry);
    range(Word::kRed, Word::kBlue, WordGroup::kColourEntry);
    range(Word::kPar, Word::kU, WordGroup::kTextCharacter);
    range(Word::kPard, Word::kIntbl, WordGroup::kParagraph);
    range(Word::kPlain, Word::kF, WordGroup::kCharacter);
    range(Word::kPn, Word::kIlvl, WordGroup::kNumbering);
    range(Word::kPnlvlblt, Word::kPntxtb, WordGroup::kPnNumbering);
    range(Word::kList, Word::kOverride, WordGroup::kListEntry);
    range(Word::kField, Word::kPict, WordGroup::kObject);
    range(Word::kPngblip, Word::kPicscaley, WordGroup::kPictureEntry);
    g[std::size_t(Word::kBin)] = WordGroup::kObject;
    return g;
}();
}  // namespace detail

constexpr WordGroup GroupOf(Word w) {
    return detail::kWordGroups[std::size_t(w)];
}

// Every control word is looked up, so the table is a flat open-addressed
// array: one short hash, usually one probe, no allocation and no library
// string comparison. Keys are stored inline; longer words cannot match.
class WordIndex {
public:
    static constexpr std::size_t kMaxKey = 23;

    static constexpr bool Fits(std::string_view word) {
        return !word.empty() && word.size() <= kMaxKey;
    }
    // The first entry for a word wins, as with a map's emplace.
    void Add(std::string_view word, Word w) {
        std::size_t i = Hash(word);
        while (slots_[i].len != 0) {
            if (Equal(slots_[i], word)) return;
            i = (i + 1) & (kSize - 1);
        }
        std::memcpy(slots_[i].key, word.data(), word.size());
        slots_[i].len = uint8_t(word.size());
        slots_[i].w = w;
    }
    Word Find(std::string_view word) const {
        if (word.empty() || word.size() > kMaxKey) return Word::kUnknown;
        for (std::size_t i = Hash(word);; i = (i + 1) & (kSize - 1)) {
            const Slot& s = slots_[i];
            if (s.len == 0) return Word::kUnknown;
            if (Equal(s, word)) return s.w;
        }
    }

private:
    static constexpr int kBits = 10;
    static constexpr std::size_t kSize = std::size_t(1) << kBits;  // a quarter full
    struct Slot {
        char key[kMaxKey];
        uint8_t len = 0;
        Word w = Word::kUnknown;
    };
    // The length and four of the letters, without a loop: enough to keep
    // the words of the table apart. Only called with a word of one or more.
    static std::size_t Hash(std::string_view w) {
        std::size_t n = w.size();
        uint32_t h = uint32_t(n) * 0x01000193u ^ uint8_t(w[0]) ^ uint32_t(uint8_t(w[n / 2])) << 8 ^
                     uint32_t(uint8_t(w[n - 1])) << 16 ^
                     uint32_t(uint8_t(w[n > 1 ? n - 2 : 0])) << 24;
        return (h * 0x9E3779B1u) >> (32 - kBits);
    }
    static bool Equal(const Slot& s, std::string_view w) {
        if (s.len != w.size()) return false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if (s.key[k] != w[k]) return false;
        return true;
    }
    std::array<Slot, kSize> slots_{};
};

// The character a word of the text stands for; kParagraphEnd for the words
// that end a paragraph (\u is read apart).
constexpr char16_t TextCharacter(Word w) {
    switch (w) {
        case Word::kLine:
            return kLineBreak;
        case Word::kTab:
        case Word::kCell:
            return u'\t';
        case Word::kEmdash:
            return 0x2014;
        case Word::kEndash:
            return 0x2013;
        case Word::kBullet:
            return 0x2022;
        case Word::kLquote:
            return 0x2018;
        case Word::kRquote:
            return 0x2019;
        case Word::kLdblquote:
            return 0x201C;
        case Word::kRdblquote:
            return 0x201D;
        case Word::kEmspace:
            return 0x2003;
        case Word::kEnspace:
            return 0x2002;
        case Word::kQmspace:
            return 0x2005;
        case Word::kZwj:
            return 0x200D;
        case Word::kZwnj:
            return 0x200C;
        case Word::kLtrmark:
            return 0x200E;
        case Word::kRtlmark:
            return 0x200F;
        default:
            return kParagraphEnd;  // \par, \row, \page, \sect
    }
}

// Every word the reader knows, built on first use.
const WordIndex& WordTable();

}  // namespace qb::rtf

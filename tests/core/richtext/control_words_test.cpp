// The reader's table of control words: every word found under its own
// meaning, and every meaning in a group (a word left out of the groups
// would be read as unknown).
#include <gtest/gtest.h>

#include "richtext/rtf_control_words.h"

namespace qb::rtf {
namespace {

TEST(RtfControlWords, WordsAndTheirAliases) {
    const WordIndex& t = WordTable();
    EXPECT_EQ(t.Find("b"), Word::kB);
    EXPECT_EQ(t.Find("f"), Word::kF);
    EXPECT_EQ(t.Find("fs"), Word::kFs);
    EXPECT_EQ(t.Find("listoverridetable"), Word::kOverrideTable);
    EXPECT_EQ(t.Find("nestcell"), Word::kCell);
    EXPECT_EQ(t.Find("nestrow"), Word::kRow);
    EXPECT_EQ(t.Find("uldashdd"), Word::kUldash);
    EXPECT_EQ(t.Find("levelnfcn"), Word::kLevelNfc);
    EXPECT_EQ(t.Find("wbitmap"), Word::kOtherPict);
    EXPECT_EQ(t.Find("colorschememapping"), Word::kSkipDest);
    EXPECT_EQ(t.Find("shp"), Word::kSkipDest);
}

TEST(RtfControlWords, UnknownEmptyAndOverlongWords) {
    const WordIndex& t = WordTable();
    EXPECT_EQ(t.Find(""), Word::kUnknown);
    EXPECT_EQ(t.Find("B"), Word::kUnknown);  // case matters
    EXPECT_EQ(t.Find("bb"), Word::kUnknown);
    EXPECT_EQ(t.Find("pictures"), Word::kUnknown);
    EXPECT_EQ(t.Find("listoverridetablexxxxxx"), Word::kUnknown);  // as long as a key can be
    EXPECT_EQ(t.Find(std::string(200, 'b')), Word::kUnknown);
}

TEST(RtfControlWords, TheFirstEntryForAWordWins) {
    WordIndex t;
    t.Add("par", Word::kPar);
    t.Add("par", Word::kLine);
    EXPECT_EQ(t.Find("par"), Word::kPar);
    EXPECT_EQ(t.Find("pa"), Word::kUnknown);
}

TEST(RtfControlWords, EveryMeaningIsInAGroup) {
    for (int i = int(Word::kSkipDest) + 1; i < int(Word::kCount); ++i)
        EXPECT_NE(GroupOf(Word(i)), WordGroup::kNone) << i;
    EXPECT_EQ(GroupOf(Word::kUnknown), WordGroup::kNone);
    EXPECT_EQ(GroupOf(Word::kSkipDest), WordGroup::kNone);
    // The format cache counts on every word that changes the character
    // state being in the character group, \f included.
    EXPECT_EQ(GroupOf(Word::kPlain), WordGroup::kCharacter);
    EXPECT_EQ(GroupOf(Word::kF), WordGroup::kCharacter);
    EXPECT_EQ(GroupOf(Word::kChcbpat), WordGroup::kCharacter);
    EXPECT_EQ(GroupOf(Word::kBin), WordGroup::kObject);
    EXPECT_EQ(GroupOf(Word::kU), WordGroup::kTextCharacter);
}

TEST(RtfControlWords, CharactersOfTheTextWords) {
    EXPECT_EQ(TextCharacter(Word::kLine), kLineBreak);
    EXPECT_EQ(TextCharacter(Word::kCell), u'\t');
    EXPECT_EQ(TextCharacter(Word::kRdblquote), u'\u201D');
    for (Word w : {Word::kPar, Word::kRow, Word::kPage, Word::kSect})
        EXPECT_EQ(TextCharacter(w), kParagraphEnd);
}

}  // namespace
}  // namespace qb::rtf

// The one matcher of the control and of texts outside it: simple case
// folding beyond ASCII and outside the first plane, whole words on the
// control's word-break boundaries, and ranges.
#include <gtest/gtest.h>

#include "richtext/rich_text.h"
#include "richtext/text_find.h"

namespace qb {
namespace {

int32_t Find(std::u16string_view text, std::u16string_view what, uint32_t flags = 0) {
    return TextPattern(what, flags).Find(text);
}

TEST(TextFind, SimpleCaseFolding) {
    EXPECT_EQ(Find(u"Café CRÈME", u"CAFÉ"), 0);
    EXPECT_EQ(Find(u"Café CRÈME", u"crème"), 5);
    EXPECT_EQ(Find(u"Café", u"CAFÉ", kFindMatchCase), -1);
    // Simple folding: ß is not "ss", and the capital sharp s folds to ß.
    EXPECT_EQ(Find(u"Strasse", u"straße"), -1);
    EXPECT_EQ(Find(u"STRAẞE", u"straße"), 0);
    // Greek final sigma and the Kelvin sign fold as Unicode says.
    EXPECT_EQ(Find(u"ΟΔΟΣ", u"οδος"), 0);
    EXPECT_EQ(Find(u"5 \u212A", u"k"), 2);
    EXPECT_EQ(Find(u"5 \u212A", u"k", kFindMatchCase), -1);
    // Outside the first plane: Deseret capital and small letters.
    EXPECT_EQ(Find(u"x \U00010400\U00010401", u"\U00010428\U00010429"), 2);
    EXPECT_EQ(Find(u"x \U00010400", u"\U00010428", kFindMatchCase), -1);
}

TEST(TextFind, LongTextsAndCandidatesBeyondAscii) {
    // The scan that skips ahead must still stop at units beyond ASCII.
    std::u16string text(1000, u'a');
    text += u"\u212Aey";
    EXPECT_EQ(Find(text, u"KEY"), 1000);
    text = std::u16string(37, u'x') + u"Needle" + std::u16string(40, u'x');
    EXPECT_EQ(Find(text, u"needle"), 37);
    EXPECT_EQ(Find(text, u"Needle", kFindMatchCase), 37);
    EXPECT_EQ(Find(text, u"needle", kFindMatchCase), -1);
}

TEST(TextFind, WholeWordsOnTheControlsBoundaries) {
    const uint32_t w = kFindWholeWord;
    EXPECT_EQ(Find(u"word, word.", u"word", w), 0);
    EXPECT_EQ(Find(u"swordfish word", u"word", w), 10);
    EXPECT_EQ(Find(u"x-ray", u"ray", w), 2);
    // A pattern of punctuation is a whole word only where its run ends.
    EXPECT_EQ(Find(u"a ((b (b", u"(b", w), 6);
    EXPECT_EQ(Find(u"a -- b", u"-", w), -1);
    // Paragraph ends are words of their own.
    EXPECT_EQ(Find(u"end\rstart", u"start", w), 4);
    EXPECT_EQ(Find(u"café's", u"café", w), 0);
    EXPECT_EQ(Find(u"cafés", u"café", w), -1);
}

TEST(TextFind, RangesAndTheControlAgree) {
    RichTextControl rt;
    rt.SetText(u"one two\rthree two");
    EXPECT_EQ(rt.FindText(0, -1, u"TWO", 0), 4);
    EXPECT_EQ(rt.FindText(5, -1, u"TWO", 0), 14);
    EXPECT_EQ(rt.FindText(5, 16, u"TWO", 0), -1);  // would end beyond the range
    // The boundary after a range's end is the text's, not the range's.
    EXPECT_EQ(rt.FindText(0, 2, u"on", kFindWholeWord), -1);
    TextPattern p(u"two", 0);
    EXPECT_EQ(p.Find(rt.Text(), 5), rt.FindText(5, -1, u"two", 0));
    EXPECT_EQ(TextPattern(u"", 0).Find(u"abc"), -1);
}

TEST(TextFind, Utf8Input) {
    EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9 \xF0\x90\x90\x80"), u"café \U00010400");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
}

}  // namespace
}  // namespace qb

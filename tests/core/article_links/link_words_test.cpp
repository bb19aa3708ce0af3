// Words under the mouse, hovering, double-clicks and the link flags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/link_words.h"

namespace qb {
namespace {

using Action = DoubleClickDecision::Action;
using Over = HoverDecision::Over;

std::u16string Word(std::u16string_view text, int32_t pos,
                    std::vector<StoredLinkRange> links = {}) {
    WordSpan w = WordAt(text, links, pos);
    return std::u16string(text.substr(size_t(w.first), size_t(w.length)));
}

TEST(WordAt, StopsAtWhiteSpaceAnglesAndStoredLinks) {
    std::u16string text = u"say (hi) to <www.x.y>\rnow";
    EXPECT_EQ(Word(text, 0), u"say");
    EXPECT_EQ(Word(text, 3), u"");     // white space
    EXPECT_EQ(Word(text, 4), u"hi)");  // leading punctuation skipped, trailing kept
    EXPECT_EQ(Word(text, 14), u"www.x.y");
    EXPECT_EQ(Word(text, 12), u"www.x.y");  // from the "<", skipping to the first letter
    EXPECT_EQ(Word(u"a (( b", 2), u"");     // nothing alphanumeric
    EXPECT_EQ(Word(text, 23), u"now");      // after the paragraph's CR
    EXPECT_EQ(Word(text, -1), u"");
    EXPECT_EQ(Word(text, int32_t(text.size())), u"");

    std::u16string glued = u"abcLINKdef";
    EXPECT_EQ(Word(glued, 1, {{3, 7}}), u"abc");
    EXPECT_EQ(Word(glued, 8, {{3, 7}}), u"def");
    EXPECT_EQ(Word(glued, 7, {{3, 7}}), u"def");  // the end is no longer the link's
    // Hostile ranges neither crash nor stretch the word.
    EXPECT_EQ(Word(glued, 1, {{-5, -1}, {100, 200}, {9, 2}}), u"abcLINKdef");
}

TEST(LinkFlags, ActiveLinksModes) {
    LinkFlags fresh;
    EXPECT_FALSE(fresh.colouring);
    EXPECT_TRUE(fresh.activation);
    EXPECT_TRUE(FlagsForActiveLinksMode(0).colouring);
    EXPECT_TRUE(FlagsForActiveLinksMode(0).activation);
    EXPECT_FALSE(FlagsForActiveLinksMode(1).colouring);
    EXPECT_TRUE(FlagsForActiveLinksMode(1).activation);
    for (int mode : {2, 7, -1}) {
        EXPECT_FALSE(FlagsForActiveLinksMode(mode).colouring) << mode;
        EXPECT_FALSE(FlagsForActiveLinksMode(mode).activation) << mode;
    }
    EXPECT_TRUE(ColouringForArticle(true, 1));
    EXPECT_FALSE(ColouringForArticle(true, 0));
    EXPECT_FALSE(ColouringForArticle(false, 1));
    EXPECT_EQ(ColouringChangeFor(false, true), ColouringChange::kMarkWholeText);
    EXPECT_EQ(ColouringChangeFor(true, false), ColouringChange::kRemoveMarks);
    EXPECT_EQ(ColouringChangeFor(true, true), ColouringChange::kNone);
}

TEST(HoverAt, StoredLinksThenRecognisedLinksWhenActive) {
    std::u16string text = u"go LINK or (www.x.y) now";
    std::vector<StoredLinkRange> links = {{3, 7}};
    HoverDecision h = HoverAt(text, links, 3, true);
    EXPECT_EQ(h.over, Over::kStoredLink);
    EXPECT_EQ(h.storedLink, 0);
    EXPECT_EQ(HoverAt(text, links, 7, true).over, Over::kText);  // end excluded
    EXPECT_EQ(HoverAt(text, links, 13, true).over, Over::kRecognizedLink);
    EXPECT_EQ(HoverAt(text, links, 11, true).over, Over::kText);  // the "(" is outside
    EXPECT_EQ(HoverAt(text, links, 13, false).over, Over::kText);
    EXPECT_EQ(HoverAt(text, links, 4, false).over, Over::kStoredLink);
}

TEST(DoubleClickAt, StoredLinksIncludeBothEnds) {
    std::u16string text = u"go LINK now";
    std::vector<StoredLinkRange> links = {{3, 7}};
    for (int32_t pos : {3, 7}) {
        DoubleClickDecision d = DoubleClickAt(text, links, pos, false);
        EXPECT_EQ(d.action, Action::kFollowStoredLink) << pos;
        EXPECT_EQ(d.storedLink, 0);
        EXPECT_EQ(d.selectStart, 3);
        EXPECT_EQ(d.selectEnd, 7);
    }
    EXPECT_EQ(DoubleClickAt(text, links, 9, true).action, Action::kControlSelectsWord);
}

TEST(DoubleClickAt, RecognisedLinks) {
    std::u16string text =
        u"mail bob@x.org, see (http://a.b/c). file://\"/tmp/a b.txt\" and "
        u"file:///etc/hosts";
    DoubleClickDecision mail = DoubleClickAt(text, {}, 6, true);
    EXPECT_EQ(mail.action, Action::kOpenWeb);
    EXPECT_EQ(mail.target, u"mailto:bob@x.org");
    EXPECT_EQ(mail.selectStart, 5);
    EXPECT_EQ(mail.selectEnd, 14);

    DoubleClickDecision web = DoubleClickAt(text, {}, 25, true);
    EXPECT_EQ(web.action, Action::kOpenWeb);
    EXPECT_EQ(web.target, u"http://a.b/c");
    EXPECT_EQ(web.selectStart, 21);
    EXPECT_EQ(web.selectEnd, 33);
    // Outside the link but inside its word: nothing happens.
    EXPECT_EQ(DoubleClickDecision{}.action, Action::kNothing);
    EXPECT_EQ(DoubleClickAt(text, {}, 33, true).action, Action::kNothing);
    // With activation off the control selects the word itself.
    EXPECT_EQ(DoubleClickAt(text, {}, 25, false).action, Action::kControlSelectsWord);

    size_t quoted = text.find(u"file://\"");
    DoubleClickDecision q = DoubleClickAt(text, {}, int32_t(quoted + 2), true);
    EXPECT_EQ(q.action, Action::kOpenFile);
    EXPECT_EQ(q.target, u"/tmp/a b.txt");  // spaces inside the quotes
    EXPECT_EQ(q.selectStart, int32_t(quoted));
    EXPECT_EQ(q.selectEnd, int32_t(text.find(u"\" and") + 1));

    size_t plain = text.find(u"file:///");
    DoubleClickDecision f = DoubleClickAt(text, {}, int32_t(plain + 9), true);
    EXPECT_EQ(f.action, Action::kOpenFile);
    EXPECT_EQ(f.target, u"/etc/hosts");

    EXPECT_EQ(DoubleClickAt(text, {}, 1, true).action, Action::kControlSelectsWord);
}

TEST(DoubleClickAt, QuotedFileEdgeCases) {
    // No closing quote: the path runs to the end of the text, trimmed.
    std::u16string open = u"file://\" /a b ";
    DoubleClickDecision d = DoubleClickAt(open, {}, 0, true);
    EXPECT_EQ(d.action, Action::kOpenFile);
    EXPECT_EQ(d.target, u"/a b");
    EXPECT_EQ(d.selectEnd, int32_t(open.size()));
    // Empty quotes open nothing.
    EXPECT_EQ(DoubleClickAt(u"file://\"  \" x", {}, 0, true).action, Action::kNothing);
}

}  // namespace
}  // namespace qb

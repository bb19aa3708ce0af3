// The plain-text export's wrapping rule.
#include <gtest/gtest.h>

#include "export/plain_text_writer.h"
#include "export/text_wrapping.h"
#include "support/temp_files.h"

namespace qb::testing {
namespace {

class WrappingTest : public ::testing::Test {
protected:
    std::string Wrapped(int32_t limit, std::initializer_list<std::string_view> texts,
                        bool endEach = false) {
        PlainTextWriter w;
        std::string path = dir / "out.txt";
        w.Create(path);
        WrappingText t(w, limit);
        for (std::string_view s : texts)
            t.Write(s, endEach);
        w.Close();
        return ReadFile(path);
    }
    TempDir dir;
};

TEST_F(WrappingTest, BreaksBeforeTheWordThatPassesTheLimit) {
    // The space after bbbb still fits (column 10) and stays on the line.
    EXPECT_EQ(Wrapped(10, {"aaaa bbbb cccc"}), "aaaa bbbb \r\ncccc");
    EXPECT_EQ(Wrapped(0, {"aaaa bbbb cccc"}), "aaaa bbbb cccc");
    // Spaces past the limit are dropped; a long word is never broken.
    EXPECT_EQ(Wrapped(4, {"ab    cd"}), "ab  \r\ncd");
    EXPECT_EQ(Wrapped(3, {"abcdefgh ij"}), "abcdefgh\r\nij");
}

TEST_F(WrappingTest, TabsAdvanceToTheNextStopPlusOne) {
    // A tab at column 0 counts as 9 columns.
    EXPECT_EQ(Wrapped(9, {"\tx"}), "\t\r\nx");
    EXPECT_EQ(Wrapped(10, {"\tx"}), "\tx");
    EXPECT_EQ(Wrapped(8, {"\tx"}), "x");  // the tab does not fit and is dropped
    EXPECT_EQ(Wrapped(17, {"ab\tcdefgh"}), "ab\tcdefgh");
}

TEST_F(WrappingTest, LineBreaksAndTheColumnCarriedBetweenTexts) {
    EXPECT_EQ(Wrapped(20, {"one\r\ntwo\n\rthree\rfour"}), "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(Wrapped(20, {"a\n\nb"}), "a\r\n\r\nb");
    // "Keywords: " then names: the second text wraps at the first's column.
    EXPECT_EQ(Wrapped(12, {"Keywords: ", "alpha"}), "Keywords: \r\nalpha");
    EXPECT_EQ(Wrapped(12, {"ab", "cd"}, true), "ab\r\ncd\r\n");
}

}  // namespace
}  // namespace qb::testing

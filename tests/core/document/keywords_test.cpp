// Keyword and group names: look-ups and ordering.
#include "doc_fixture.h"

namespace qb::testing {
namespace {

using ::testing::ElementsAre;

TEST_F(DocTest, FindKeywordIgnoresCaseButNotAccents) {
    ASSERT_TRUE(Open(WithKeywords({"Birds", "Animals", "Caf\xE9", "ANIMALS"})));
    EXPECT_EQ(doc->FindKeyword("animals"), 1) << "the first match wins";
    EXPECT_EQ(doc->FindKeyword("ANIMALS"), 1);
    EXPECT_EQ(doc->FindKeyword("CAF\xC9"), 2);
    EXPECT_EQ(doc->FindKeyword("cafe"), NIL_BLOCK);
    EXPECT_EQ(doc->FindKeyword(""), NIL_BLOCK);
    EXPECT_EQ(doc->FindKeyword("Animal"), NIL_BLOCK);
    EXPECT_EQ(doc->FindGroup("animals"), NIL_BLOCK);
}

TEST_F(DocTest, SortKeywordsByNamePutsLowerCaseAndPlainLettersFirst) {
    //                         0      1     2     3         4      5      6
    ASSERT_TRUE(Open(WithKeywords({"b", "B", "a", "\xE9t\xE9", "A", "et", "Zoo"})));
    std::vector<int32_t> ids{0, 1, 2, 3, 4, 5, 6};
    doc->SortKeywordsByName(ids);
    EXPECT_THAT(ids, ElementsAre(2, 4, 0, 1, 5, 3, 6));
}

TEST_F(DocTest, SortKeywordsByNameKeepsTheOrderOfEqualNames) {
    ASSERT_TRUE(Open(WithKeywords({"same", "alpha", "same", "same", "beta"})));
    IdSet all;
    doc->AllKeywords(all);
    EXPECT_THAT(doc->SortKeywordsByName(all), ElementsAre(1, 4, 0, 2, 3));
    std::vector<int32_t> reversed{3, 2, 0};
    doc->SortKeywordsByName(reversed);
    EXPECT_THAT(reversed, ElementsAre(3, 2, 0));
}

}  // namespace
}  // namespace qb::testing

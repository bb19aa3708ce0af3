#include <gtest/gtest.h>

#include <vector>

#include "datafile/id_set.h"

namespace qb {
namespace {

std::vector<int32_t> V(const IdSet& s) {
    return s.Ids();
}

TEST(IdSetMerge, IntersectKeepsOnlyCommonIds) {
    IdSet a{1, 3, 5};
    a.Intersect(IdSet{3, 4, 5, 6});
    EXPECT_EQ(V(a), (std::vector<int32_t>{3, 5}));

    IdSet b{3, 5};
    b.Intersect(IdSet{1, 3, 5, 7});
    EXPECT_EQ(V(b), (std::vector<int32_t>{3, 5}));

    // Ids left over after the other set ends are dropped too.
    IdSet c{1, 2, 9};
    c.Intersect(IdSet{1, 2});
    EXPECT_EQ(V(c), (std::vector<int32_t>{1, 2}));

    IdSet d{4};
    d.Intersect(IdSet{});
    EXPECT_TRUE(d.Empty());
}

TEST(IdSetMerge, UniteMergesInOrder) {
    IdSet a{2, 4};
    a.Unite(IdSet{4});
    EXPECT_EQ(V(a), (std::vector<int32_t>{2, 4}));
    a.Unite(IdSet{1});
    EXPECT_EQ(V(a), (std::vector<int32_t>{1, 2, 4}));

    IdSet tail{1};
    tail.Unite(IdSet{1, 7, 8});  // ids appended after this set ends
    EXPECT_EQ(V(tail), (std::vector<int32_t>{1, 7, 8}));

    IdSet neg{-5, 3};
    neg.Unite(IdSet{-7, 0});  // signed order
    EXPECT_EQ(V(neg), (std::vector<int32_t>{-7, -5, 0, 3}));
}

TEST(IdSetMerge, SymmetricDifferenceKeepsIdsInExactlyOne) {
    IdSet a{1, 2, 3};
    a.SymmetricDifference(IdSet{2});
    EXPECT_EQ(V(a), (std::vector<int32_t>{1, 3}));

    IdSet b{1};
    b.SymmetricDifference(IdSet{2});
    EXPECT_EQ(V(b), (std::vector<int32_t>{1, 2}));

    IdSet c{1, 2};
    c.SymmetricDifference(IdSet{2, 3});
    EXPECT_EQ(V(c), (std::vector<int32_t>{1, 3}));
}

TEST(IdSetMerge, RemovingASetIsUniteThenSymmetricDifference) {
    IdSet a{1, 2, 3, 4};
    IdSet b{2, 4, 6};
    a.Unite(b);
    a.SymmetricDifference(b);
    EXPECT_EQ(V(a), (std::vector<int32_t>{1, 3}));
}

TEST(IdSetMerge, SubtractRemovesEveryMemberOfTheOther) {
    IdSet a{-4, 1, 2, 3, 7, 9};
    a.Subtract(IdSet{-5, -4, 2, 5, 9, 12});
    EXPECT_EQ(V(a), (std::vector<int32_t>{1, 3, 7}));

    IdSet disjoint{2, 4};
    disjoint.Subtract(IdSet{1, 3, 5});
    EXPECT_EQ(V(disjoint), (std::vector<int32_t>{2, 4}));
    disjoint.Subtract(IdSet{});

    IdSet empty;
    empty.Subtract(IdSet{1});
    EXPECT_TRUE(empty.Empty());

    IdSet all{1, 2};
    all.Subtract(IdSet{0, 1, 2, 3});
    EXPECT_TRUE(all.Empty());

    IdSet self{1, 2};
    self.Subtract(self);
    EXPECT_TRUE(self.Empty());
}

TEST(IdSetMerge, OperationsWithItself) {
    IdSet a{1, 2};
    a.Unite(a);
    a.Intersect(a);
    EXPECT_EQ(V(a), (std::vector<int32_t>{1, 2}));
    a.Copy(a);
    EXPECT_EQ(V(a), (std::vector<int32_t>{1, 2}));
    a.SymmetricDifference(a);
    EXPECT_TRUE(a.Empty());
}

TEST(IdSetMembers, ContainsReportsTheInsertionPosition) {
    IdSet s{1, 3, 5};
    size_t pos = 99;
    EXPECT_FALSE(s.Contains(4, &pos));
    EXPECT_EQ(pos, 2u);
    EXPECT_TRUE(s.Contains(5, &pos));
    EXPECT_EQ(pos, 2u);
    EXPECT_FALSE(s.Contains(0, &pos));
    EXPECT_EQ(pos, 0u);
    EXPECT_FALSE(s.Contains(6, &pos));
    EXPECT_EQ(pos, 3u);
    EXPECT_FALSE(IdSet{}.Contains(1, &pos));
    EXPECT_EQ(pos, 0u);
    IdSet extremes{INT32_MIN, INT32_MAX};
    EXPECT_TRUE(extremes.Contains(INT32_MIN));
    EXPECT_TRUE(extremes.Contains(INT32_MAX));
}

TEST(IdSetMembers, InsertAndRemoveKeepTheOrder) {
    IdSet s{1, 3};
    s.Insert(3);  // present already
    s.Remove(2);  // absent
    EXPECT_EQ(V(s), (std::vector<int32_t>{1, 3}));
    s.Insert(2);
    EXPECT_EQ(V(s), (std::vector<int32_t>{1, 2, 3}));
    s.Remove(1);
    EXPECT_EQ(V(s), (std::vector<int32_t>{2, 3}));

    s.Clear();
    EXPECT_TRUE(s.Empty());
}

TEST(IdSetMembers, SortGivesNormalForm) {
    IdSet s = IdSet::FromUnsorted({5, -1, 3, 5, 0, -1});
    EXPECT_EQ(V(s), (std::vector<int32_t>{-1, 0, 3, 5}));
    IdSet copy;
    copy.Copy(s);
    EXPECT_EQ(copy, s);
}

TEST(IdSetMerge, LargeSetsMergeLinearly) {
    std::vector<int32_t> even, odd;
    for (int32_t i = 0; i < 200000; ++i)
        (i % 2 ? odd : even).push_back(i);
    IdSet a = IdSet::FromUnsorted(even);
    IdSet b = IdSet::FromUnsorted(odd);
    a.Unite(b);
    ASSERT_EQ(a.Count(), 200000u);
    for (size_t i = 0; i < a.Count(); ++i)
        ASSERT_EQ(a.At(i), int32_t(i));
    a.Intersect(b);
    EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace qb

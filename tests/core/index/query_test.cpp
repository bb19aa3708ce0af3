#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

#include "datafile/quill_error.h"
#include "fake_source.h"
#include "index/query_expression.h"
#include "index/saved_queries.h"
#include "resources/strings.h"
#include "support/recording_ui.h"

namespace qb::testing {
namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        k1 = src.AddKeyword("k1");
        k2 = src.AddKeyword("k2");
        k3 = src.AddKeyword("k3");
        spaced = src.AddKeyword("Bird Song");
        andWord = src.AddKeyword("and");
        a0 = src.AddArticle("a0", {k1}, 20200101);
        a1 = src.AddArticle("a1", {k2, k3}, 20200201);
        a2 = src.AddArticle("a2", {k1, k2}, 20200301);
        a3 = src.AddArticle("a3", {}, 20200401);
        a4 = src.AddArticle("a4", {spaced, andWord}, 20200501);
        src.AddGroup(0, "Birds", {k2, spaced});
    }

    std::vector<int32_t> Run(const std::string& text) {
        QueryExpression q;
        q.Compile(text, src);
        return Ids(q.Evaluate(src));
    }
    // The message number and the error positions of a failing compile.
    struct Failure {
        int code = 0;
        int32_t start = -1, end = -1;
    };
    Failure Fail(const std::string& text) {
        QueryExpression q;
        try {
            q.Compile(text, src);
        } catch (const CQuillError& e) {
            EXPECT_FALSE(q.Valid());
            EXPECT_TRUE(q.Program().empty());
            return {e.Code(), q.ErrorStart(), q.ErrorEnd()};
        }
        ADD_FAILURE() << "compiled: " << text;
        return {};
    }

    FakeSource src;
    int32_t k1, k2, k3, spaced, andWord;
    int32_t a0, a1, a2, a3, a4;
};

TEST_F(QueryTest, PrecedenceNotThenAndThenOr) {
    EXPECT_EQ(Run("k1 OR k2 AND k3"), (std::vector<int32_t>{a0, a1, a2}));
    EXPECT_EQ(Run("(k1 OR k2) AND k3"), (std::vector<int32_t>{a1}));
    EXPECT_EQ(Run("NOT k1 AND k2"), (std::vector<int32_t>{a1}));
    EXPECT_EQ(Run("NOT NOT k1"), (std::vector<int32_t>{a0, a2}));
    QueryExpression q;
    q.Compile("k1 OR k2 AND k3", src);
    std::vector<QueryEntry> want = {{4, k1}, {4, k2}, {4, k3}, {3, query::kAnd}, {3, query::kOr}};
    EXPECT_EQ(q.Program(), want);
}

TEST_F(QueryTest, ReservedWordsInAnyCaseAndQuotedNames) {
    EXPECT_EQ(Run("k1 aNd NoT k2"), (std::vector<int32_t>{a0}));
    // "and" is a keyword too, reachable only quoted.
    EXPECT_EQ(Run("\"AND\""), (std::vector<int32_t>{a4}));
    EXPECT_EQ(Run("'bird song'"), (std::vector<int32_t>{a4}));
    // An unterminated quote runs to the end of the text.
    EXPECT_EQ(Run("k1 OR \"Bird Song"), (std::vector<int32_t>{a0, a2, a4}));
    EXPECT_EQ(Fail("Bird Song").code, msg::kQueryUnknownKeyword);
}

TEST_F(QueryTest, NameContainingDoubleQuoteIsSingleQuoted) {
    int32_t q = src.AddKeyword("say \"hi\"");
    int32_t a = src.AddArticle("quoted", {q});
    EXPECT_EQ(QuoteQueryName("say \"hi\""), "'say \"hi\"'");
    EXPECT_EQ(Run(QuoteQueryName("say \"hi\"")), (std::vector<int32_t>{a}));
    EXPECT_EQ(QuoteQueryName("plain"), "plain");
    EXPECT_EQ(QuoteQueryName("Not"), "\"Not\"");
    EXPECT_EQ(QuoteQueryName("GROUP:"), "\"GROUP:\"");
    EXPECT_EQ(QuoteQueryName("a(b"), "\"a(b\"");
}

TEST_F(QueryTest, GroupsAndGroupErrors) {
    EXPECT_EQ(Run("GROUP: Birds"), (std::vector<int32_t>{a1, a2, a4}));
    EXPECT_EQ(Run("GROUP: 'birds' AND k1"), (std::vector<int32_t>{a2}));
    // Without the space GROUP:Birds is one bare word looked up as a keyword.
    EXPECT_EQ(Fail("GROUP:Birds").code, msg::kQueryUnknownKeyword);
    Failure f = Fail("k1 OR GROUP: Fish");
    EXPECT_EQ(f.code, msg::kQueryMissingGroupName);
    EXPECT_EQ(f.start, 6);  // moved back to GROUP:
    EXPECT_EQ(f.end, 17);
    EXPECT_EQ(Fail("GROUP:").code, msg::kQueryMissingGroupName);
    EXPECT_EQ(Fail("GROUP: AND").code, msg::kQueryMissingGroupName);
    // A group word names a keyword only when quoted as a keyword.
    EXPECT_EQ(Fail("Birds").code, msg::kQueryUnknownKeyword);
}

TEST_F(QueryTest, ErrorNumbersAndPositions) {
    Failure f = Fail("k1 k2");
    EXPECT_EQ(f.code, msg::kQueryMissingOperator);
    EXPECT_EQ(f.start, 3);
    EXPECT_EQ(f.end, 5);
    f = Fail("k1 AND");
    EXPECT_EQ(f.code, msg::kQueryIncomplete);
    EXPECT_EQ(f.start, 6);
    f = Fail("(k1");
    EXPECT_EQ(f.code, msg::kQueryMissingClose);
    f = Fail(") k1");
    EXPECT_EQ(f.code, msg::kQueryUnexpectedClose);
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(f.end, 1);
    EXPECT_EQ(Fail("AND k1").code, msg::kQueryUnexpectedAnd);
    EXPECT_EQ(Fail("k1 OR OR k2").code, msg::kQueryUnexpectedOr);
    f = Fail("k1 AND   nothing");
    EXPECT_EQ(f.code, msg::kQueryUnknownKeyword);
    EXPECT_EQ(f.start, 9);
    EXPECT_EQ(f.end, 16);
    EXPECT_EQ(Fail("(k1) (k2)").code, msg::kQueryMissingOperator);
}

TEST_F(QueryTest, FailedCompileDiscardsTheEarlierProgram) {
    QueryExpression q;
    q.Compile("k1", src);
    EXPECT_TRUE(q.Valid());
    EXPECT_THROW(q.Compile("k1 AND", src), CQuillError);
    EXPECT_FALSE(q.Valid());
    EXPECT_TRUE(q.Evaluate(src).Empty());
}

TEST_F(QueryTest, EmptyTextCompilesToNothing) {
    QueryExpression q;
    q.Compile("   ", src);
    EXPECT_TRUE(q.Valid());
    EXPECT_TRUE(q.Program().empty());
    EXPECT_TRUE(q.Evaluate(src).Empty());
    // Text after a NUL is not read.
    EXPECT_EQ(Run(std::string("k1\0 garbage", 11)), (std::vector<int32_t>{a0, a2}));
}

TEST_F(QueryTest, PropertiesAndVisibility) {
    src.bookmarks = {a1, a3};
    src.articles[a2].summary.attachmentCount = 2;
    src.privates = {a3, a2};
    src.privateHidden = true;
    // NOKEYS lists only visible articles without keywords.
    EXPECT_TRUE(Run("NOKEYS").empty());
    EXPECT_EQ(Run("BOOKMARKED"), (std::vector<int32_t>{a1}));
    EXPECT_TRUE(Run("ATTACHMENTS").empty());
    EXPECT_EQ(Run("k1"), (std::vector<int32_t>{a0}));
    EXPECT_EQ(Run("NOT k1"), (std::vector<int32_t>{a1, a4}));
    src.privateHidden = false;
    EXPECT_EQ(Run("NOKEYS"), (std::vector<int32_t>{a3}));
    EXPECT_EQ(Run("bookmarked"), (std::vector<int32_t>{a1, a3}));
    EXPECT_EQ(Run("attachments"), (std::vector<int32_t>{a2}));
    EXPECT_EQ(Run("k1"), (std::vector<int32_t>{a0, a2}));
}

TEST_F(QueryTest, DateRangeIsInclusiveAndAnInvertedRangeIsEmpty) {
    QueryExpression q;
    q.Compile("NOT k3", src);
    q.dateFrom = 20200201;
    q.dateTo = 20200401;
    EXPECT_EQ(Ids(q.Evaluate(src)), (std::vector<int32_t>{a2, a3}));
    q.dateFrom = 20200501;
    q.dateTo = 20200101;
    EXPECT_TRUE(q.Evaluate(src).Empty());
}

TEST_F(QueryTest, DocumentErrorDuringEvaluationIsReportedAndEmpty) {
    src.articles[a1].unreadable = true;
    QueryExpression q;
    q.Compile("ATTACHMENTS", src);
    RecordingUi ui;
    EXPECT_TRUE(q.EvaluateReporting(src, ui).Empty());
    EXPECT_EQ(ui.Count(), 1u);
}

TEST_F(QueryTest, DeepNestingIsRefusedWithoutRecursingFurther) {
    std::string deep(100000, '(');
    deep += "k1";
    Failure f = Fail(deep);
    EXPECT_EQ(f.code, msg::kQueryTooDeep);
    EXPECT_EQ(f.start, query::kMaxDepth);
    ASSERT_NE(ResourceString(msg::kQueryTooDeep), nullptr);

    std::string ok(query::kMaxDepth, '(');
    ok += "k1" + std::string(query::kMaxDepth, ')');
    EXPECT_EQ(Run(ok), (std::vector<int32_t>{a0, a2}));

    // A long run of NOTs is no nesting at all.
    std::string nots;
    for (int i = 0; i < 5000; ++i)
        nots += "NOT ";
    EXPECT_EQ(Run(nots + "k1"), (std::vector<int32_t>{a0, a2}));
}

TEST_F(QueryTest, SavedQueryErrorsBecomeOneMessage) {
    QueryExpression q;
    for (const char* text : {"gone", "k1 AND", "GROUP: gone", ") x"}) {
        try {
            q.CompileSaved(text, src);
            ADD_FAILURE() << text;
        } catch (const CQuillError& e) {
            EXPECT_EQ(e.Code(), msg::kSavedQueryInvalid) << text;
        }
    }
}

// ---- Random expressions against a direct evaluation of the same tree ----------

struct Node {
    enum Kind { Keyword, Group, Bookmarked, NoKeys, Attachments, Not, And, Or } kind;
    int32_t id = 0;
    std::unique_ptr<Node> left, right;
};

class RandomQueries : public ::testing::TestWithParam<uint32_t> {};

std::unique_ptr<Node> RandomTree(std::mt19937& rng, int depth, int keywords, int groups) {
    auto n = std::make_unique<Node>();
    int pick = depth <= 0 ? int(rng() % 5) : int(rng() % 8);
    n->kind = Node::Kind(pick);
    if (n->kind == Node::Keyword) n->id = int32_t(rng() % keywords);
    if (n->kind == Node::Group) n->id = int32_t(rng() % groups);
    if (n->kind >= Node::Not) n->left = RandomTree(rng, depth - 1, keywords, groups);
    if (n->kind >= Node::And) n->right = RandomTree(rng, depth - 1, keywords, groups);
    return n;
}

int Precedence(const Node& n) {
    return n.kind == Node::Or ? 1 : n.kind == Node::And ? 2 : n.kind == Node::Not ? 3 : 4;
}

std::string Print(const Node& n, int need, std::mt19937& rng, FakeSource& src) {
    std::string s;
    switch (n.kind) {
        case Node::Keyword:
            s = QuoteQueryName(src.keywords[size_t(n.id)]);
            break;
        case Node::Group:
            s = "GROUP: " + QuoteQueryName(src.groups[n.id].first);
            break;
        case Node::Bookmarked:
            s = rng() % 2 ? "BOOKMARKED" : "bookmarked";
            break;
        case Node::NoKeys:
            s = "NoKeys";
            break;
        case Node::Attachments:
            s = "ATTACHMENTS";
            break;
        case Node::Not:
            s = "NOT " + Print(*n.left, 3, rng, src);
            break;
        case Node::And:
        case Node::Or:
            s = Print(*n.left, Precedence(n), rng, src) + (n.kind == Node::And ? " AND " : " or ") +
                Print(*n.right, Precedence(n) + 1, rng, src);
            break;
    }
    if (Precedence(n) < need || rng() % 7 == 0) s = (rng() % 2 ? "(" : "( ") + s + " )";
    return s;
}

bool Matches(const Node& n, int32_t a, FakeSource& src) {
    const auto& art = src.articles[a];
    auto has = [&](int32_t k) {
        return std::find(art.keywords.begin(), art.keywords.end(), k) != art.keywords.end();
    };
    switch (n.kind) {
        case Node::Keyword:
            return has(n.id);
        case Node::Group:
            for (int32_t k : src.groups[n.id].second)
                if (has(k)) return true;
            return false;
        case Node::Bookmarked:
            return src.bookmarks.count(a) != 0;
        case Node::NoKeys:
            return art.keywords.empty();
        case Node::Attachments:
            return art.summary.attachmentCount > 0;
        case Node::Not:
            return !Matches(*n.left, a, src);
        case Node::And:
            return Matches(*n.left, a, src) && Matches(*n.right, a, src);
        case Node::Or:
            return Matches(*n.left, a, src) || Matches(*n.right, a, src);
    }
    return false;
}

TEST_P(RandomQueries, CompiledEvaluationAgreesWithTheTree) {
    std::mt19937 rng(GetParam());
    FakeSource src;
    const char* names[] = {"alpha", "Beta", "gamma ray", "and", "x(y", "o'brien", "NOT", "delta"};
    for (const char* n : names)
        src.AddKeyword(n);
    const int keywords = int(std::size(names));
    src.AddGroup(0, "Group one", {0, 1});
    src.AddGroup(1, "empty", {});
    src.AddGroup(2, "g3", {2, 5, 7});
    for (int i = 0; i < 60; ++i) {
        std::vector<int32_t> kws;
        for (int k = 0; k < keywords; ++k)
            if (rng() % 4 == 0) kws.push_back(k);
        int32_t id = src.AddArticle("t" + std::to_string(i), kws, 20200101 + int32_t(rng() % 28));
        src.articles[id].summary.attachmentCount = int32_t(rng() % 3 == 0);
        if (rng() % 5 == 0) src.bookmarks.insert(id);
        if (rng() % 6 == 0) src.privates.insert(id);
    }
    for (int round = 0; round < 200; ++round) {
        src.privateHidden = rng() % 2;
        auto tree = RandomTree(rng, int(rng() % 6), keywords, 3);
        std::string text = Print(*tree, 0, rng, src);
        QueryExpression q;
        q.Compile(text, src);
        bool ranged = rng() % 3 == 0;
        if (ranged) {
            q.dateFrom = 20200105;
            q.dateTo = 20200120;
        }
        std::vector<int32_t> want;
        for (auto& [id, a] : src.articles) {
            if (src.privateHidden && src.privates.count(id)) continue;
            if (ranged && (a.summary.articleDate < 20200105 || a.summary.articleDate > 20200120))
                continue;
            if (Matches(*tree, id, src)) want.push_back(id);
        }
        ASSERT_EQ(Ids(q.Evaluate(src)), want) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomQueries, ::testing::Values(1u, 2u, 3u, 4u));

// ---- Saved queries and their menu ----------------------------------------------

SavedQueries Table(int n, std::vector<int16_t> recent) {
    SavedQueries q;
    for (int i = 0; i < n; ++i)
        q.queries.push_back({"q" + std::to_string(i), "k1", kDateOpenLow, kDateOpenHigh});
    q.recent = std::move(recent);
    return q;
}

TEST(SavedQueryListTest, RecentListMovesToFrontAndHoldsTwenty) {
    SavedQueryList list(Table(30, {3, 1, 2}));
    list.MoveToFront(2);
    EXPECT_EQ(list.Recent(), (std::vector<int32_t>{2, 3, 1}));
    list.MoveToFront(7);
    EXPECT_EQ(list.Recent(), (std::vector<int32_t>{7, 2, 3, 1}));
    for (int i = 10; i < 30; ++i)
        list.MoveToFront(i);
    std::vector<int32_t> r = list.Recent();
    ASSERT_EQ(r.size(), 20u);
    EXPECT_EQ(r.front(), 29);
    EXPECT_EQ(r.back(), 10);
}

TEST(SavedQueryListTest, MenuItems) {
    auto items = SavedQueryList(Table(0, {})).Menu();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, QueryMenuItem::NoQueries);
    EXPECT_EQ(items[0].text, "No Saved Queries");
    EXPECT_FALSE(items[0].enabled);

    // Queries saved but none run yet: everything is disabled.
    items = SavedQueryList(Table(2, {})).Menu();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[2].text, "More Queries...");
    EXPECT_FALSE(items[2].enabled);

    items = SavedQueryList(Table(3, {2, 0})).Menu();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, "q2");
    EXPECT_EQ(items[1].queryIndex, 0);
    EXPECT_EQ(items[2].kind, QueryMenuItem::Separator);
    EXPECT_TRUE(items[3].enabled);

    items = SavedQueryList(Table(2, {1, 0})).Menu();
    EXPECT_EQ(items.size(), 2u);  // every query is recent: no "More Queries..."
}

TEST(SavedQueryListTest, StoredIndexesOutsideTheTableArePassedOver) {
    SavedQueryList list(Table(2, {5, -3, 1}));
    EXPECT_EQ(list.Recent(), (std::vector<int32_t>{1}));
    EXPECT_EQ(list.At(5), nullptr);
    EXPECT_EQ(list.FindByName("Q1"), 1);
}

}  // namespace
}  // namespace qb::testing

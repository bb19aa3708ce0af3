// The query target: the input is an expression, compiled as typed and as a
// saved query, and evaluated over a small index with keywords whose names
// need quoting, a group, bookmarks, attachments and private articles.
#include <string>

#include "datafile/quill_error.h"
#include "fake_source.h"
#include "fuzz_entries.h"
#include "index/query_expression.h"

namespace qbfuzz {

namespace {

qb::testing::FakeSource& Index() {
    static qb::testing::FakeSource* source = [] {
        auto* s = new qb::testing::FakeSource;
        int32_t garden = s->AddKeyword("garden");
        int32_t birds = s->AddKeyword("Birds");
        int32_t two = s->AddKeyword("two words");
        int32_t reserved = s->AddKeyword("and");
        int32_t quoted = s->AddKeyword("say \"hi\"");
        int32_t paren = s->AddKeyword("(paren)");
        int32_t accented = s->AddKeyword(
            "\xdc"
            "berall");      // Windows-1252
        s->AddKeyword("");  // a deleted slot
        s->AddGroup(0, "Nature", {garden, birds});
        s->AddGroup(5, "odd group", {two, reserved, quoted});
        s->AddArticle("a", {garden}, 20200101);
        s->AddArticle("b", {birds, two}, 20210615);
        s->AddArticle("c", {}, 19991231);
        s->AddArticle("d", {reserved, quoted, paren, accented}, 20250301);
        s->AddArticle("e", {garden, birds}, qb::kDateOpenLow);
        int32_t unreadable = s->AddArticle("f", {birds});
        s->articles[unreadable].unreadable = true;
        s->bookmarks = {1, 3};
        s->privates = {2};
        return s;
    }();
    return *source;
}

void EvaluateWithin(const qb::QueryExpression& q, qb::testing::FakeSource& source) {
    qb::IdSet visible;
    source.VisibleArticles(visible);
    try {
        qb::IdSet found = q.Evaluate(source);
        for (int32_t id : found)
            if (!visible.Contains(id)) PropertyFailed("a query found an invisible article");
    } catch (const qb::CQuillError&) {
        // The unreadable article's summary, when a date range asks for it.
    }
}

}  // namespace

int FuzzQuery(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    qb::testing::FakeSource& source = Index();
    for (bool saved : {false, true}) {
        qb::QueryExpression q;
        try {
            if (saved)
                q.CompileSaved(text, source);
            else
                q.Compile(text, source);
        } catch (const qb::CQuillError&) {
            if (q.ErrorStart() < 0 || q.ErrorEnd() < q.ErrorStart() || size_t(q.ErrorEnd()) > size)
                PropertyFailed("an error range outside the expression");
            continue;
        }
        EvaluateWithin(q, source);
        q.dateFrom = 20200101;
        q.dateTo = 20211231;
        EvaluateWithin(q, source);
    }
    // Every tokenizer position stays within the text.
    qb::QueryTokenizer tokens(text, source);
    for (int i = 0; i <= int(size); ++i) {
        qb::QueryToken t = tokens.Next(i % 2 == 1);
        if (t.start < 0 || t.end < t.start || size_t(t.end) > size)
            PropertyFailed("a token outside the expression");
        if (t.kind == qb::query::kEnd) break;
    }
    return 0;
}

}  // namespace qbfuzz

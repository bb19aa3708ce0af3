// The link recogniser: every prefix, case, the end of a link, the quoted
// file form, e-mail addresses and the characters that stop or restart it.
#include <gtest/gtest.h>

#include <string>

#include "article/link_recognizer.h"

namespace qb {
namespace {

struct Found {
    LinkKind kind;
    std::u16string link;
};

Found Recognize(std::u16string_view word) {
    RecognizedWord w = LinkRecognizer::Shared().RecognizeWord(word);
    if (w.kind == LinkKind::kNone) return {w.kind, u""};
    return {w.kind, std::u16string(word.substr(size_t(w.linkStart), size_t(w.linkLength)))};
}

void ExpectLink(std::u16string_view word, LinkKind kind, std::u16string_view link) {
    Found f = Recognize(word);
    EXPECT_EQ(f.kind, kind) << std::string(word.begin(), word.end());
    EXPECT_EQ(f.link, link) << std::string(word.begin(), word.end());
}

void ExpectNoLink(std::u16string_view word) {
    EXPECT_EQ(Recognize(word).kind, LinkKind::kNone) << std::string(word.begin(), word.end());
}

TEST(LinkRecognizer, EveryPrefixGivesItsKindAndNeedsABody) {
    struct {
        const char16_t* prefix;
        LinkKind kind;
    } prefixes[] = {{u"ftp://", LinkKind::kFtp},       {u"gopher://", LinkKind::kGopher},
                    {u"http://", LinkKind::kHttp},     {u"mailto:", LinkKind::kMailto},
                    {u"news:", LinkKind::kNews},       {u"file://", LinkKind::kFile},
                    {u"telnet://", LinkKind::kTelnet}, {u"https://", LinkKind::kHttps},
                    {u"www.", LinkKind::kWww}};
    for (const auto& p : prefixes) {
        std::u16string link = std::u16string(p.prefix) + u"host9";
        ExpectLink(link, p.kind, link);
        ExpectNoLink(p.prefix);  // bare prefix
        std::u16string upper;
        for (char16_t c : link)
            upper += c >= 'a' && c <= 'z' ? char16_t(c - 32) : c;
        ExpectLink(upper, p.kind, upper);
        // A prefix cut short is an ordinary word.
        std::u16string cut(p.prefix);
        cut.pop_back();
        ExpectNoLink(cut + u"x");
    }
}

TEST(LinkRecognizer, SpecEdgeCases) {
    ExpectLink(u"www.example.com.", LinkKind::kWww, u"www.example.com");
    ExpectLink(u"HTTP://EXAMPLE.COM", LinkKind::kHttp, u"HTTP://EXAMPLE.COM");
    ExpectLink(u"jane@example.com,", LinkKind::kEmail, u"jane@example.com");
    EXPECT_EQ(LinkRecognizer::Shared().RecognizeWord(u"jane@example.com,").linkText,
              u"mailto:jane@example.com");
    ExpectLink(u"<http://example.com>", LinkKind::kHttp, u"http://example.com");
    ExpectLink(u"http://example.com/", LinkKind::kHttp, u"http://example.com/");
    ExpectLink(u"http://example.com/#", LinkKind::kHttp, u"http://example.com/#");
    ExpectLink(u"http://example.com/~", LinkKind::kHttp, u"http://example.com/~");
    ExpectLink(u"(http://example.com)", LinkKind::kHttp, u"http://example.com");
    ExpectLink(u"http://example.com).,", LinkKind::kHttp, u"http://example.com");
    ExpectLink(u"file://\"C:\\My", LinkKind::kQuotedFile, u"file://\"");
    ExpectLink(u"file://c:/x.txt", LinkKind::kFile, u"file://c:/x.txt");
}

TEST(LinkRecognizer, RangeFormReportsWhereTheLinkLies) {
    RecognizedRange r;
    std::u16string text = u"see http://a.b/c. now";
    EXPECT_EQ(LinkRecognizer::Shared().Recognize(text, 0, int32_t(text.size()), r),
              LinkKind::kHttp);
    EXPECT_EQ(r.rangeStart, 0);
    EXPECT_EQ(r.beforeLength, 4);
    EXPECT_EQ(r.linkStart, 4);
    EXPECT_EQ(r.linkLength, 12);
    EXPECT_EQ(r.afterPos, 16);
    EXPECT_EQ(r.afterLength, 5);

    EXPECT_EQ(LinkRecognizer::Shared().Recognize(text, 4, 3, r), LinkKind::kNone);
    EXPECT_EQ(r.rangeStart, 4);
    EXPECT_EQ(r.beforeLength, 3);  // the characters examined

    // A range outside the text is cut to it.
    EXPECT_EQ(LinkRecognizer::Shared().Recognize(text, 4, 1000, r), LinkKind::kHttp);
    EXPECT_EQ(r.afterLength, 5);
    EXPECT_EQ(LinkRecognizer::Shared().Recognize(text, -5, 3, r), LinkKind::kNone);
    EXPECT_EQ(LinkRecognizer::Shared().Recognize(text, 100, 3, r), LinkKind::kNone);
    EXPECT_EQ(r.rangeStart, int32_t(text.size()));
}

TEST(LinkRecognizer, EmailAddresses) {
    ExpectLink(u"a@b", LinkKind::kEmail, u"a@b");
    ExpectLink(u"mary@x.org", LinkKind::kEmail, u"mary@x.org");  // leaves the "mailto" path
    ExpectLink(u"h@x", LinkKind::kEmail, u"h@x");                // inside a prefix
    ExpectLink(u"first.last@x.org", LinkKind::kEmail, u"first.last@x.org");
    ExpectLink(u"(bob@x.org)", LinkKind::kEmail, u"bob@x.org");
    ExpectNoLink(u"@home");  // nothing before the "@"
    ExpectNoLink(u"bob@");   // nothing after it
    ExpectNoLink(u"bob@.");  // only punctuation after it, dropped: not "mailto:bob"
    ExpectNoLink(u"http://.");
    ExpectNoLink(u"www.)");
}

TEST(LinkRecognizer, QuotesAnglesAndEqualSignsRestartTheScan) {
    ExpectLink(u"\"http://x.y\"", LinkKind::kHttp, u"http://x.y");
    ExpectLink(u"href=http://x.y", LinkKind::kHttp, u"http://x.y");
    ExpectLink(u"a<www.x.y>b", LinkKind::kWww, u"www.x.y");
    // Within a link "=" is part of it (queries).
    ExpectLink(u"http://x.y/?a=b", LinkKind::kHttp, u"http://x.y/?a=b");
    // A quote after a body ends a file link without making it quoted.
    ExpectLink(u"file://abc\"d", LinkKind::kFile, u"file://abc");
    // Punctuation outside a word does not start a candidate.
    ExpectLink(u"...www.x.y", LinkKind::kWww, u"www.x.y");
    // Within an ordinary word a prefix is not looked for.
    ExpectNoLink(u"xhttp://a.b");
    ExpectNoLink(u"plain");
    ExpectNoLink(u"");
}

TEST(LinkRecognizer, NonAsciiIsPunctuation) {
    // A no-break space does not end the word; letters above 0x7F are not
    // alphanumeric, so they are dropped from the end of a link.
    ExpectLink(u"http://x.y\u00E9", LinkKind::kHttp, u"http://x.y");
    ExpectLink(u"http://x.y\u00A0z", LinkKind::kHttp, u"http://x.y\u00A0z");
    ExpectLink(u"\u00E9www.x.y", LinkKind::kWww, u"www.x.y");
    ExpectNoLink(u"\u0130ttp://x.y");  // no Unicode case folding
    ExpectNoLink(u"www.\u00E9");       // the body is dropped, and "www" alone is no link
}

TEST(LinkRecognizer, QuotedFileKeepsItsTail) {
    RecognizedWord w = LinkRecognizer::Shared().RecognizeWord(u"FILE://\"c:\\a b\"");
    EXPECT_EQ(w.kind, LinkKind::kQuotedFile);
    EXPECT_EQ(w.linkStart, 0);
    EXPECT_EQ(w.linkLength, 8);
    EXPECT_EQ(w.linkText, u"FILE://\"");
}

}  // namespace
}  // namespace qb

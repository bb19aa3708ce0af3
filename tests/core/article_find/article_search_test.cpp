// Searching the articles of a written file: dates, where to look, titles
// and old plain contents, the order of the results, cancel and data-file
// errors mid-search, and agreement with the control over the demo file.
#include <gtest/gtest.h>

#include "article/article_search.h"
#include "core/document/doc_fixture.h"
#include "datafile/dates.h"
#include "resources/string_ids.h"
#include "richtext/article_content.h"
#include "richtext/code_page.h"

namespace qb::testing {
namespace {

qbw::ArticleData Dated(const std::string& title, const std::string& rtf, int32_t date) {
    qbw::ArticleData a;
    a.title = title;
    a.richText = rtf;
    a.articleDate = date;
    a.articleTime = 0;
    return a;
}

class ArticleSearchTest : public DocTest {
protected:
    void SetUp() override {
        qbw::FileBuilder b;
        b.SetRecord(1, 0,
                    qbw::EncodeArticleNew(Dated("Wren  \t", "{\\rtf1 A small bird.}", 20230405)));
        b.SetRecord(1, 1,
                    qbw::EncodeArticleNew(
                        Dated("Oak", "{\\rtf1 Rooks nest in the {\\b wren}s' oak.}", 20220110)));
        b.SetRecord(1, 2,
                    qbw::EncodeArticleNew(Dated(
                        "Robin redbreast",
                        "{\\rtf1 Caf\\'e9 \\u8220?quotes\\u8221? and \\v hidden wren\\v0  text}",
                        20231015)));
        qbw::ArticleData old = Dated("Old wren notes", "", 20240101);
        old.plainText = "first line\r\nsecond WREN\nthird";
        b.SetRecord(1, 3, qbw::EncodeArticleOld(old, 4));
        ASSERT_TRUE(Open(b));
    }

    std::vector<int32_t> Search(const std::string& text, uint32_t flags = 0,
                                FindWhere where = FindWhere::kTitleAndText,
                                int32_t from = kDateOpenLow, int32_t to = kDateOpenHigh,
                                std::vector<int32_t> ids = {0, 1, 2, 3}) {
        ArticleSearchRequest r{std::move(ids), text, flags, where, from, to};
        ArticleSearch s(*doc, r);
        while (!s.Done())
            s.Step(1);
        EXPECT_EQ(s.CurrentStatus(), ArticleSearch::Status::kFinished);
        EXPECT_EQ(doc->FoundArticles(), s.Found());
        EXPECT_FALSE(doc->FoundListStopped());
        last = s.EndMessage();
        return s.Found();
    }
    int last = 0;
};

using Ids = std::vector<int32_t>;

TEST_F(ArticleSearchTest, TitlesAndContents) {
    EXPECT_EQ(Search("wren"), (Ids{0, 1, 2, 3}));
    EXPECT_EQ(last, 0);
    EXPECT_EQ(Search("wren", 0, FindWhere::kTitleOnly), (Ids{0, 3}));
    EXPECT_EQ(Search("wren", 0, FindWhere::kTextOnly), (Ids{1, 2, 3}));
    EXPECT_EQ(Search("wren", kFindWholeWord, FindWhere::kTextOnly), (Ids{2, 3}));
    EXPECT_EQ(Search("WREN", kFindMatchCase), (Ids{3}));
    // The title is searched without its trailing white space.
    EXPECT_EQ(Search("wren  ", 0, FindWhere::kTitleOnly), Ids{});
    EXPECT_EQ(last, msg::kFindNothingFound);
    // Content as the control reads it: \'e9 and \u escapes, curly quotes.
    EXPECT_EQ(Search("CAFÉ “QUOTES”"), (Ids{2}));
    // A line break of plain content is one paragraph end.
    EXPECT_EQ(Search("line\rsecond"), (Ids{3}));
}

TEST_F(ArticleSearchTest, ResultsFollowTheRangeOrder) {
    EXPECT_EQ(Search("wren", 0, FindWhere::kTitleAndText, kDateOpenLow, kDateOpenHigh, {3, 0, 2}),
              (Ids{3, 0, 2}));
}

TEST_F(ArticleSearchTest, DatesBothIncludedAndAnEmptyText) {
    EXPECT_EQ(Search("", 0, FindWhere::kTitleAndText, 20220110, 20231015), (Ids{0, 1, 2}));
    EXPECT_EQ(Search("", 0, FindWhere::kTitleAndText, 20230405, 20230405), (Ids{0}));
    EXPECT_EQ(Search("wren", 0, FindWhere::kTitleAndText, 20231016, kDateOpenHigh), (Ids{3}));
    // From after to finds nothing, and says so.
    EXPECT_EQ(Search("", 0, FindWhere::kTitleAndText, 20240101, 20220101), Ids{});
    EXPECT_EQ(last, msg::kFindNothingFound);
}

TEST_F(ArticleSearchTest, StepsAreBoundedAndCancelKeepsWhatWasFound) {
    ArticleSearch s(*doc, {{0, 1, 2, 3}, "wren", 0, FindWhere::kTitleAndText});
    EXPECT_EQ(s.Step(2), ArticleSearch::Status::kRunning);
    EXPECT_EQ(s.Searched(), 2u);
    s.Cancel();
    EXPECT_EQ(s.CurrentStatus(), ArticleSearch::Status::kCancelled);
    EXPECT_EQ(s.Found(), (Ids{0, 1}));
    EXPECT_EQ(s.EndMessage(), msg::kFindCancelled);
    EXPECT_EQ(doc->FoundArticles(), (Ids{0, 1}));
    EXPECT_TRUE(doc->FoundListStopped());
    EXPECT_EQ(s.Step(5), ArticleSearch::Status::kCancelled);  // stays ended
    EXPECT_EQ(s.Searched(), 2u);
}

TEST_F(ArticleSearchTest, TheProgressWindowCountsAndCancels) {
    // Cancel once the window shows its second text: the first article found.
    ui.cancelAfterTexts = 2;
    ArticleSearch s(*doc, {{0, 1, 2, 3}, "wren", 0, FindWhere::kTitleAndText});
    EXPECT_EQ(RunArticleSearch(s, ui), ArticleSearch::Status::kCancelled);
    ASSERT_EQ(ui.progress.size(), 1u);
    EXPECT_EQ(ui.progress[0]->caption, "Find");
    EXPECT_EQ(ui.progress[0]->texts, (std::vector<std::string>{"Searching...\nArticles Found: 0",
                                                               "Searching...\nArticles Found: 1"}));
    EXPECT_FALSE(ui.progress[0]->open);
    EXPECT_EQ(s.Found(), (Ids{0}));
    EXPECT_EQ(doc->FoundArticles(), (Ids{0}));

    ArticleSearch all(*doc, {{0, 1, 2, 3}, "wren", 0, FindWhere::kTitleAndText});
    EXPECT_EQ(RunArticleSearch(all, ui), ArticleSearch::Status::kFinished);
    EXPECT_EQ(ui.progress[1]->texts.back(), "Searching...\nArticles Found: 4");
    EXPECT_EQ(ui.Count(), 0u);  // messages are the caller's to show
}

TEST_F(DocTest, ADataFileErrorEndsTheSearchWithWhatWasFound) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, qbw::EncodeArticleNew(Dated("wren one", "{\\rtf1 x}", 20200101)));
    // The second article's compressed content is damaged; its summary
    // (flags bit 6) does not read the content, so the file opens.
    qbw::ArticleData bad = Dated("two", "{\\rtf1 some longer content to compress well}", 20200101);
    bad.flags = 0x40;
    qbw::Encoder e;
    qbw::WriteArticleNew(e, bad);
    std::string bytes = e.Str();
    const qbw::BlobPlacement& content = e.Blobs().back();
    for (size_t i = 0; i < content.dataLength; ++i)
        bytes[content.dataOffset + i] = char(0x5A);
    b.SetRecord(1, 1, bytes);
    b.SetRecord(1, 2, qbw::EncodeArticleNew(Dated("wren three", "{\\rtf1 x}", 20200101)));
    ASSERT_TRUE(Open(b));

    ArticleSearch s(*doc, {{0, 1, 2}, "wren", 0, FindWhere::kTitleAndText});
    EXPECT_EQ(RunArticleSearch(s, ui), ArticleSearch::Status::kFailed);
    EXPECT_EQ(s.Found(), (Ids{0}));
    ASSERT_TRUE(s.Error().has_value());
    EXPECT_EQ(s.Error()->Code(), err::kCorrupted);
    EXPECT_EQ(ui.Count(), 1u);  // reported through the document
    EXPECT_TRUE(s.Stopped());
    EXPECT_EQ(s.EndMessage(), 0);
    EXPECT_EQ(doc->FoundArticles(), (Ids{0}));
    EXPECT_TRUE(doc->FoundListStopped());
}

TEST(ArticleMatcherText, PlainTextIsWhatTheControlHolds) {
    for (std::string s :
         {"a\r\nb", "a\n\nb\r", "\r\r\n\n", "caf\xE9 \x93q\x94\x80", "", "x\x0By"}) {
        RichTextControl rt;
        LoadArticleContent(rt, false, s);
        std::u16string mine;
        PlainTextAsControlHolds(s, mine);
        EXPECT_EQ(mine, rt.Text()) << s;
    }
    EXPECT_EQ(TrimmedTitle("Title \t\r\n"), "Title");
    EXPECT_EQ(TrimmedTitle("  "), "");
    EXPECT_EQ(TrimmedTitle(" a b"), " a b");
}

// Over every article of the demo file, the matcher agrees with loading the
// content into a control and searching it there.
TEST(ArticleMatcherText, AgreesWithTheControlOverTheDemoFile) {
    RecordingUi ui;
    FixedLocale locale;
    DocumentServices services;
    services.ui = &ui;
    services.locale = &locale;
    CQuillboxDoc doc(services);
    ASSERT_TRUE(doc.OnOpenDocument(QB_BINARY_DIR "/samples/demo.qbx"));
    IdSet ids;
    doc.VisibleArticles(ids);
    ASSERT_GT(ids.Count(), 10u);
    const std::u16string words[] = {u"the", u"bird", u"é", u"–", u"\r", u"garden", u"a"};
    int matches = 0;
    for (int32_t id : ids) {
        CArticle a;
        doc.ReadArticle(id, a);
        RichTextControl rt;
        LoadArticleContent(rt, a.IsRichText(), a.Content());
        for (const std::u16string& w : words)
            for (uint32_t flags : {0u, unsigned(kFindMatchCase), unsigned(kFindWholeWord)}) {
                ArticleMatcher m(w, flags, FindWhere::kTextOnly);
                bool control = rt.FindText(0, -1, w, flags) >= 0;
                EXPECT_EQ(m.ContentMatches(a.IsRichText(), a.Content()), control) << id;
                matches += control;
            }
    }
    EXPECT_GT(matches, 10);
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

// Rich content is searched as the control holds it: what the reader drops
// or turns into other characters matches as the window would show it.
TEST(ArticleMatcherText, TrickyRichContent) {
    auto found = [](const std::string& rtf, std::u16string_view what, uint32_t flags = 0) {
        ArticleMatcher m(what, flags, FindWhere::kTextOnly);
        return m.ContentMatches(true, rtf);
    };
    // \uN with its fallback: the character, never the fallback.
    EXPECT_TRUE(found("{\\rtf1 price \\u8364? 5}", u"price € 5"));
    EXPECT_FALSE(found("{\\rtf1 price \\u8364? 5}", u"?"));
    EXPECT_TRUE(found("{\\rtf1\\uc2 a\\u1234\\'81\\'82b}", u"a\u04D2b"));
    // \'hh in the font's code page (Greek here).
    EXPECT_TRUE(found("{\\rtf1{\\fonttbl{\\f1\\fcharset161 G;}}\\f1 \\'e1\\'e2}", u"ΑΒ"));
    // \line is a line break, \par a paragraph end; neither is a space.
    EXPECT_TRUE(found("{\\rtf1 one\\line two\\par three}", u"one\u000Btwo\rthree"));
    EXPECT_FALSE(found("{\\rtf1 one\\line two}", u"one two"));
    // A field's result is text, its instruction is not.
    const char* field =
        "{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x.org\"}{\\fldrslt here}}.}";
    EXPECT_TRUE(found(field, u"see here."));
    EXPECT_FALSE(found(field, u"HYPERLINK"));
    // Skipped destinations and a picture's data are not text.
    EXPECT_FALSE(found("{\\rtf1 {\\*\\generator Secret;}x}", u"Secret"));
    EXPECT_TRUE(found("{\\rtf1 a{\\pict\\pngblip 89504e47}b}", u"a\uFFFCb"));
    EXPECT_FALSE(found("{\\rtf1 a{\\pict\\pngblip 89504e47}b}", u"8950"));
    // Content that is not RTF is read as plain text even at a rich level.
    EXPECT_TRUE(found("plain \\b text", u"\\B TEXT"));
}

}  // namespace
}  // namespace qb::testing

// Copy Articles and the copy of a selection on the clipboard: what is
// placed, the progress window, and every failure leaving nothing placed.
#include <gtest/gtest.h>

#include "copy_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

class CopyArticlesTest : public CopyTest {
protected:
    void OpenTitled(int count) {
        std::vector<std::string> records;
        for (int i = 0; i < count; ++i)
            records.push_back(TitledArticle("T" + std::to_string(i)));
        OpenArticles(records);
    }
    static std::vector<int32_t> Range(int count) {
        std::vector<int32_t> ids;
        for (int i = 0; i < count; ++i)
            ids.push_back(i);
        return ids;
    }
    // Something already on the clipboard, which a failed copy must keep.
    void Preload() { clipboard.content = {{kClipboardPlainText, "before"}}; }
};

TEST_F(CopyArticlesTest, PlacesTextWithLfAndRtfUnderBothTypesInListOrder) {
    OpenTitled(3);
    ASSERT_TRUE(Copy({2, 0}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(clipboard.Data(kClipboardPlainText),
              "T2\nDate: \nKeywords: \n\nT2\n\nT0\nDate: \nKeywords: \n\nT0\n\n");
    std::string rtf = clipboard.Data(kClipboardRtf);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(clipboard.Data(kClipboardRichText), rtf);
    EXPECT_LT(rtf.find("T2"), rtf.find("T0"));
    EXPECT_TRUE(ui.progress.empty());  // not above 50
}

TEST_F(CopyArticlesTest, NothingHighlightedPlacesNothing) {
    OpenTitled(1);
    EXPECT_FALSE(Copy({}));
    EXPECT_EQ(clipboard.calls, 0);
}

TEST_F(CopyArticlesTest, ProgressOnlyAboveFiftyArticles) {
    OpenTitled(51);
    ASSERT_TRUE(Copy(Range(50)));
    EXPECT_TRUE(ui.progress.empty());
    ASSERT_TRUE(Copy(Range(51)));
    ASSERT_EQ(ui.progress.size(), 1u);
    const RecordingUi::Progress& p = *ui.progress[0];
    EXPECT_EQ(p.caption, "Copy Articles To Clipboard");
    EXPECT_EQ(p.range, 51);
    EXPECT_EQ(p.position, 51);
    ASSERT_EQ(p.texts.size(), 51u);
    EXPECT_EQ(p.texts.front(), "1 of 51");
    EXPECT_EQ(p.texts.back(), "51 of 51");
    EXPECT_FALSE(p.open);
}

TEST_F(CopyArticlesTest, CancelStopsAndPlacesNothing) {
    OpenTitled(60);
    Preload();
    ui.cancelAfterTexts = 10;
    EXPECT_FALSE(Copy(Range(60)));
    EXPECT_EQ(clipboard.calls, 0);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "before");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.progress[0]->open);
}

// An article record that claims a link list it does not hold: code 5.
std::string DamagedArticle() {
    qbw::ArticleData d;
    d.level = 5;
    qbw::Encoder e;
    qbw::WriteArticleNew(e, d);
    e.Int32(0x7FFFFFFF);
    std::string bytes = e.Str();
    bytes[10] = 6;  // the header's level: links follow
    return bytes;
}

TEST_F(CopyArticlesTest, DataFileErrorStopsTheCopyAndIsShown) {
    OpenArticles({TitledArticle("good"), DamagedArticle(), TitledArticle("x")});
    Preload();
    EXPECT_FALSE(Copy({0, 1, 2}));
    EXPECT_EQ(clipboard.calls, 0);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "before");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, CQuillError(err::kCorrupted, path).Message());
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(CopyArticlesTest, MissingArticleIsAnErrorToo) {
    OpenTitled(1);
    EXPECT_FALSE(Copy({0, 7}));
    EXPECT_EQ(clipboard.calls, 0);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(CopyArticlesTest, ClipboardFailuresShowTheirMessageAndKeepTheClipboard) {
    OpenTitled(1);
    struct Case {
        ClipboardResult result;
        int message;
    };
    for (Case c :
         {Case{ClipboardResult::kCannotOpen, 1121}, Case{ClipboardResult::kCannotEmpty, 1122},
          Case{ClipboardResult::kCannotPlace, 1101}}) {
        ui.messages.clear();
        Preload();
        clipboard.result = c.result;
        EXPECT_FALSE(Copy({0}));
        EXPECT_EQ(clipboard.Data(kClipboardPlainText), "before");
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, ResourceString(c.message));
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    }
    EXPECT_EQ(clipboard.placed, 0);
}

TEST_F(CopyArticlesTest, NoClipboardIsSaidOnceOnly) {
    OpenTitled(1);
    clipboard.result = ClipboardResult::kNoClipboard;
    EXPECT_FALSE(Copy({0}));
    EXPECT_FALSE(Copy({0}));
    EXPECT_FALSE(writer.Place(TextAndRtfFormats("x", "")));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, ResourceString(msg::kNoClipboard));
    EXPECT_EQ(clipboard.calls, 3);
    // Once a clipboard is there again, copies work.
    clipboard.result = ClipboardResult::kPlaced;
    EXPECT_TRUE(Copy({0}));
}

TEST(ClipboardError, CodesOfEachFailure) {
    EXPECT_EQ(ClipboardError(ClipboardResult::kCannotOpen)->Code(), err::kClipboardBusy);
    EXPECT_EQ(ClipboardError(ClipboardResult::kCannotEmpty)->Code(), err::kClipboardUnavailable);
    EXPECT_EQ(ClipboardError(ClipboardResult::kCannotPlace)->Code(), err::kOutOfMemory);
    EXPECT_FALSE(ClipboardError(ClipboardResult::kPlaced));
    EXPECT_FALSE(ClipboardError(ClipboardResult::kNoClipboard));
}

TEST(SelectionFormats, TextWithLfAndRtfWithTheFormatsOfTheRange) {
    RichTextControl c;
    ASSERT_TRUE(c.StreamInRtf("{\\rtf1 plain \\b bold\\par\\qc centred\\i  it\\par last}"));
    int32_t start = c.FindText(0, -1, u"old", kFindDown);
    int32_t end = c.FindText(0, -1, u" it", kFindDown);
    std::vector<ClipboardFormat> f = SelectionFormats(c, start, end);
    ASSERT_EQ(f.size(), 3u);
    EXPECT_EQ(f[0], (ClipboardFormat{kClipboardPlainText, "old\ncentred"}));
    EXPECT_EQ(f[1].mimeType, kClipboardRtf);
    EXPECT_EQ(f[2], (ClipboardFormat{kClipboardRichText, f[1].data}));
    RichTextControl back;
    ASSERT_TRUE(back.StreamInRtf(f[1].data));
    EXPECT_EQ(back, c.CopyRange(start, end));
    EXPECT_TRUE(back.CharFormatAt(0).Has(kEffectBold));
    EXPECT_EQ(back.ParaFormatAt(back.TextLength() - 1).alignment, Align::kCenter);
}

TEST(SelectionFormats, EmptyOrOutsideRangeHasNothingToCopy) {
    RichTextControl c;
    c.SetTextUtf8("abc");
    EXPECT_TRUE(SelectionFormats(c, 1, 1).empty());
    EXPECT_TRUE(SelectionFormats(c, 10, 20).empty());
    EXPECT_EQ(SelectionFormats(c, -5, 99)[0].data, "abc");
}

TEST(ToLfLineEnds, OnlyCrLfPairsChange) {
    EXPECT_EQ(ToLfLineEnds("a\r\nb\rc\n\r\n\r"), "a\nb\rc\n\n\r");
}

}  // namespace
}  // namespace qb::testing

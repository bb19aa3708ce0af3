// What each format writes: text with titles-only lists and wrapping, CSV
// quoting, the Cardfile layout, RTF numbering, the order of the articles
// and separate files.
#include <algorithm>

#include "datafile/dates.h"
#include "export_fixture.h"

namespace qb::testing {
namespace {

std::string Date(int32_t d, const Locale& locale) {
    return FormatDate(d, false, locale);
}

std::vector<qbw::ArticleData> Numbered(int count) {
    std::vector<qbw::ArticleData> v;
    for (int i = 0; i < count; ++i) {
        char title[16];
        std::snprintf(title, sizeof title, "T%03d", i + 1);
        v.push_back(ExportTest::Plain(title, "x"));
    }
    return v;
}

TEST_F(ExportTest, TextTitlesOnlyWithAndWithoutNumbers) {
    OpenArticles(Numbered(250), "My header");
    SetFlags(0x02);
    std::string plain = Export(ExportFormat::kText);
    EXPECT_EQ(plain.substr(0, 12), "T001\r\nT002\r\n");
    EXPECT_EQ(std::count(plain.begin(), plain.end(), '\n'), 250);
    SetFlags(0x07);
    std::string numbered = Export(ExportFormat::kText);
    EXPECT_EQ(numbered.substr(0, 24), "My header\r\n\r\n  1. T001\r\n");
    EXPECT_NE(numbered.find("\r\n  7. T007\r\n"), std::string::npos);
    EXPECT_NE(numbered.find("\r\n250. T250\r\n"), std::string::npos);
}

TEST_F(ExportTest, TextArticleBlocks) {
    qbw::ArticleData a =
        Rich("First",
             "{\\rtf1 Intro\\par{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt}\\fi-360\\li360 dot\\par}");
    a.keywordIds = {0, 2};
    a.attachments.push_back({2, "www.example.org", -1, 0});
    qbw::ArticleData b = Plain("Second", "line one\r\nline two");
    b.articleDate = 20240306;
    OpenArticles({a, b});
    SetFlags(0x7A);
    std::string text = Export(ExportFormat::kText);
    std::string expected = "First\r\n\r\nDate: " + Date(20240305, locale) +
                           "\r\nKeywords: Alpha, zeta\r\nAttachment: www.example.org\r\n\r\n"
                           "Intro\r\n\xB7 dot\r\n\r\n\r\n"
                           "Second\r\n\r\nDate: " +
                           Date(20240306, locale) +
                           "\r\nKeywords: \r\n\r\nline one\r\nline two\r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(ExportTest, CharactersTheOutputLacksAreCountedNotDropped) {
    OpenArticles({Rich("T", "{\\rtf1 a\\u1046?b \\u8364?\\par}")});
    SetFlags(0x40);
    std::string target = dir / "out.txt";
    ExportResult r = Run(ExportFormat::kText, target);
    ASSERT_TRUE(r.Succeeded());
    EXPECT_EQ(ReadFile(target), "a?b \x80\r\n");  // the euro sign has a byte
    EXPECT_EQ(r.lostChars, 1);
}

// A file written on a Cyrillic system exports in its own code page: stored
// bytes pass as they are, rich text is encoded into the same page.
TEST_F(ExportTest, TextIsWrittenInTheFilesCodePage) {
    OpenArticles({Rich("\xCF\xF0\xE8", "{\\rtf1 \\u1041?\\u1046?\\u8364?\\par}")});
    doc->SetTextCodePage(*CodePage::Windows(1251));
    SetFlags(0x42);
    std::string target = dir / "out.txt";
    ExportResult r = Run(ExportFormat::kText, target);
    ASSERT_TRUE(r.Succeeded());
    EXPECT_EQ(ReadFile(target), "\xCF\xF0\xE8\r\n\r\n\xC1\xC6\x88\r\n");
    EXPECT_EQ(r.lostChars, 0);
}

TEST_F(ExportTest, TextWrapsAtTheLineLength) {
    OpenArticles({Plain("T", "aaaa bbbb cccc")});
    SetFlags(0x40);
    settings.lineLength = 10;
    EXPECT_EQ(Export(ExportFormat::kText), "aaaa bbbb \r\ncccc\r\n");
    settings.lineLength = 0;
    EXPECT_EQ(Export(ExportFormat::kText), "aaaa bbbb cccc\r\n");
}

TEST_F(ExportTest, CsvQuoting) {
    qbw::ArticleData a = Rich("Say \"hi\"", "{\\rtf1 one\\par two}");
    a.keywordIds = {1, 2};
    a.attachments.push_back({2, "http://x.org/it's", -1, 0});
    qbw::ArticleData b = Plain("Text", "a\r\nb");
    OpenArticles({a, b});
    SetFlags(0x7F);
    std::string csv = Export(ExportFormat::kCsv);
    std::string date = Date(20240305, locale);
    EXPECT_EQ(csv,
              "Item,Title,Date,Attachment,Content,Keywords\r\n"
              "\"1. \",\"Say \"\"hi\"\"\"," +
                  date +
                  ",\"'http://x.org/it''s'\",\"one\ntwo\n\","
                  "\"'Alpha','O''Neil'\"\r\n"
                  "\"2. \",\"Text\"," +
                  date + ",,\"a\nb\",\"\"\r\n");
    SetFlags(0x42);
    EXPECT_EQ(Export(ExportFormat::kCsv),
              "\"Say \"\"hi\"\"\",\"one\ntwo\n\"\r\n\"Text\",\"a\nb\"\r\n");
}

TEST_F(ExportTest, CardfileLayout) {
    std::string longTitle(45, 'L');
    OpenArticles({Plain("Abc", "hello"), Plain(longTitle, std::string(40000, 'x'))});
    ui.QueueResult(MessageResult::Yes);
    std::string crd = Export(ExportFormat::kCardfile);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
    ASSERT_EQ(crd.size(), 5 + 2 * 52 + (4 + 5) + (4 + 32767));
    EXPECT_EQ(crd.substr(0, 5), std::string("MGC\x02\x00", 5));
    auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(crd[at])) | uint32_t(uint8_t(crd[at + 1])) << 8 |
               uint32_t(uint8_t(crd[at + 2])) << 16 | uint32_t(uint8_t(crd[at + 3])) << 24;
    };
    std::string first = crd.substr(5, 52);
    EXPECT_EQ(first.substr(0, 6), std::string(6, '\0'));
    EXPECT_EQ(u32(5 + 6), 5u + 104u);
    EXPECT_EQ(first.substr(11, 4), std::string("Abc\0", 4));
    std::string second = crd.substr(57, 52);
    EXPECT_EQ(u32(57 + 6), 5u + 104u + 9u);
    EXPECT_EQ(second.substr(11, 40), longTitle.substr(0, 39) + std::string(1, '\0'));
    EXPECT_EQ(second[51], '\0');
    EXPECT_EQ(crd.substr(109, 9), std::string("\0\0\x05\0hello", 9));
    EXPECT_EQ(crd.substr(118, 4), std::string("\0\0\xFF\x7F", 4));
}

TEST_F(ExportTest, CardfileQuestionAnsweredNoWritesNothing) {
    std::string target = dir.Write("cards.crd", "old cards");
    OpenArticles({Plain("Long", std::string(40000, 'x'))});
    ui.QueueResult(MessageResult::No);
    ExportResult r = Run(ExportFormat::kCardfile, target);
    EXPECT_EQ(r.outcome, ExportOutcome::kCancelled);
    EXPECT_EQ(ReadFile(target), "old cards");
    EXPECT_EQ(ui.LastText(), "Export canceled.\nOutput file deleted.");
}

TEST_F(ExportTest, CardfileTitlesOnlyHasEmptyCards) {
    OpenArticles({Plain("A", "text")});
    SetFlags(0x02);
    std::string crd = Export(ExportFormat::kCardfile);
    ASSERT_EQ(crd.size(), 5u + 52u + 4u);
    EXPECT_EQ(crd.substr(57), std::string(4, '\0'));
}

TEST_F(ExportTest, RtfNumbersTitlesWithATab) {
    OpenArticles(Numbered(250));
    SetFlags(0x06);
    std::string rtf = Export(ExportFormat::kRtf);
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    RichTextControl read;
    ASSERT_TRUE(read.StreamInRtf(rtf));
    EXPECT_EQ(read.LineText(6), u"7.\tT007");
    EXPECT_TRUE(read.CharFormatAt(read.LineIndex(6) + 3).Has(kEffectBold));
}

TEST_F(ExportTest, RtfKeepsContentFormatsAndTheHeader) {
    OpenArticles({Rich("A", "{\\rtf1 plain \\i slanted\\i0\\par}"), Plain("B", "one\r\ntwo")},
                 "Head");
    SetFlags(0x43);
    RichTextControl read;
    ASSERT_TRUE(read.StreamInRtf(Export(ExportFormat::kRtf)));
    EXPECT_EQ(read.LineText(0), u"Head");
    EXPECT_EQ(read.CharFormatAt(0).height, 320);
    EXPECT_EQ(read.LineText(2), u"A");
    EXPECT_EQ(read.LineText(4), u"plain slanted");
    EXPECT_TRUE(read.CharFormatAt(read.LineIndex(4) + 7).Has(kEffectItalic));
    EXPECT_FALSE(read.CharFormatAt(read.LineIndex(2)).Has(kEffectItalic));
    std::u16string all = read.Text();
    // A plain text's CR LF ends one paragraph.
    EXPECT_NE(all.find(u"B\r\rone\rtwo"), std::u16string::npos);
}

TEST_F(ExportTest, ArticlesInTheChosenOrderAndRange) {
    OpenArticles({Plain("b", "", 20240101), Plain("a", "", 20240301), Plain("c", "", 20240201)});
    SetFlags(0x02);
    EXPECT_EQ(Export(ExportFormat::kText), "a\r\nb\r\nc\r\n");
    settings.options.sort = ExportSort::kDatesDescending;
    EXPECT_EQ(Export(ExportFormat::kText), "a\r\nc\r\nb\r\n");
    settings.options.sort = ExportSort::kTitlesDescending;
    settings.options.range = ExportRange::kHighlighted;
    ranges.highlighted = std::vector<int32_t>{0, 2};
    EXPECT_EQ(Export(ExportFormat::kText), "c\r\nb\r\n");
    // A range the windows do not have exports nothing.
    settings.options.range = ExportRange::kCurrent;
    EXPECT_EQ(Run(ExportFormat::kText, dir / "none.txt").outcome, ExportOutcome::kNothing);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.txt"));
}

TEST_F(ExportTest, SortShowsItsProgressAndCancelStopsTheExport) {
    OpenArticles({Plain("b", ""), Plain("a", "")});
    SetFlags(0x02);
    ui.cancelAfterTexts = 1;  // cancelled once "Sorting articles..." is shown
    ExportResult r = Run(ExportFormat::kText, dir / "sorted.txt");
    EXPECT_EQ(r.outcome, ExportOutcome::kNothing);
    ASSERT_FALSE(ui.progress.empty());
    EXPECT_EQ(ui.progress[0]->texts.at(0), "Sorting articles...");
    EXPECT_EQ(ui.progress[0]->range, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "sorted.txt"));
}

TEST_F(ExportTest, SeparateTextAndRtfFiles) {
    OpenArticles({Plain("Notes", "one"), Plain("Notes", "two"), Plain("?!", "three")}, "H");
    SetFlags(0x43);
    std::string folder = dir / "folder";
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(Run(ExportFormat::kText, folder, true).Succeeded());
    EXPECT_EQ(Names(folder), (std::vector<std::string>{".txt", "Notes.txt", "Notes1.txt"}));
    EXPECT_EQ(ReadFile(folder + "/Notes1.txt"), "H\r\n\r\nNotes\r\n\r\ntwo\r\n");
    ASSERT_TRUE(Run(ExportFormat::kRtf, folder, true).Succeeded());
    // A second run into the same folder never replaces the first one's files.
    ASSERT_TRUE(Run(ExportFormat::kText, folder, true).Succeeded());
    EXPECT_EQ(Names(folder).size(), 9u);
    EXPECT_TRUE(std::filesystem::exists(folder + "/Notes2.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/1.txt"));
    RichTextControl read;
    ASSERT_TRUE(read.StreamInRtf(ReadFile(folder + "/Notes.rtf")));
    EXPECT_EQ(read.Text().substr(0, 9), u"H\r\rNotes\r");
}

}  // namespace
}  // namespace qb::testing

// The HTML export's structure: the table of contents, the sections, the
// folder form with toc.htm, and links between exported articles. Built with
// the HTML writer only; what the writer makes of the content is its own
// tests' business.
#include "export_fixture.h"

namespace qb::testing {
namespace {

bool Has(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

size_t Count(const std::string& s, const std::string& part) {
    size_t n = 0;
    for (size_t at = s.find(part); at != std::string::npos; at = s.find(part, at + 1))
        ++n;
    return n;
}

// Outside Windows-1252 the page declares the file's code page (unless the
// settings name one) and is written in it.
TEST_F(ExportTest, HtmlDeclaresAndUsesTheFilesCodePage) {
    OpenArticles({Rich("\xCF\xF0\xE8", "{\\rtf1 \\u1041?\\u20013?\\par}")});
    doc->SetTextCodePage(*CodePage::Windows(1251));
    SetFlags(0x42);
    std::string html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "charset=windows-1251")) << html;
    EXPECT_TRUE(Has(html, "\xCF\xF0\xE8"));
    EXPECT_TRUE(Has(html, "\xC1&#20013;")) << html;
    settings.htmlExportType = 2;
    settings.htmlCustomSet = "koi8-r";
    html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "charset=koi8-r"));
    EXPECT_FALSE(Has(html, "windows-1251"));
}

// Rich-text content that is no RTF is text in the file's code page, as the
// article window shows it.
TEST_F(ExportTest, HtmlReadsRichContentThatIsNoRtfInTheFilesCodePage) {
    OpenArticles({Rich("T", "\xCF\xF0\xE8")});
    doc->SetTextCodePage(*CodePage::Windows(1251));
    SetFlags(0x40);
    std::string html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "\xCF\xF0\xE8")) << html;
    EXPECT_FALSE(Has(html, "&#")) << "every letter is in the page's code page";
}

// A stored web link's target is read in the file's code page as its text
// is, so that the href names the same address.
TEST_F(ExportTest, HtmlReadsStoredLinkTargetsInTheFilesCodePage) {
    qbw::ArticleData a = Rich("T", "{\\rtf1 site\\par}");
    qbw::StoredLinkData link;
    link.start = 0;
    link.end = 4;
    link.kind = 2;
    link.target = "www.\xEF\xF0\xE8\xEC\xE5\xF0.ru";  // "пример" in Windows-1251
    a.links.push_back(link);
    OpenArticles({a});
    doc->SetTextCodePage(*CodePage::Windows(1251));
    SetFlags(0x40);
    std::string html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "href=\"http://www.\xEF\xF0\xE8\xEC\xE5\xF0.ru\"")) << html;
}

TEST_F(ExportTest, HtmlTitlesOnlyListsWithoutAnchorsOrSections) {
    OpenArticles({Plain("Beta", "b"), Plain("Alpha", "a")}, "Header");
    SetFlags(0x07);
    std::string html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "<li>Alpha</li><li>Beta</li>")) << html;
    EXPECT_FALSE(Has(html, "#Article"));
    EXPECT_FALSE(Has(html, "<hr>"));
    EXPECT_TRUE(Has(html, "<h1><center>Header</center></h1>\r\n"));
    SetFlags(0x02);
    html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "Alpha<br>Beta<br>")) << html;
    EXPECT_FALSE(Has(html, "<li>"));
    EXPECT_FALSE(Has(html, "<h1>"));
}

TEST_F(ExportTest, HtmlSingleFileContentsAndSections) {
    qbw::ArticleData linked = Rich("Alpha", "{\\rtf1 see beta\\par}");
    qbw::StoredLinkData link;
    link.start = 4;
    link.end = 8;
    link.kind = 3;
    link.targetId = 1;
    linked.links.push_back(link);
    OpenArticles({linked, Plain("Beta <b>", "text")});
    SetFlags(0x7B);
    std::string html = Export(ExportFormat::kHtml);
    EXPECT_TRUE(Has(html, "<a name=\"TOC\"><h3>Table of Contents</h3></a>\r\n<ol>\r\n"));
    EXPECT_TRUE(Has(html, "<li><a href=\"#Article1\">Alpha</a></li>\r\n"));
    EXPECT_TRUE(Has(html, "<li><a href=\"#Article2\">Beta &lt;b&gt;</a></li>\r\n"));
    EXPECT_EQ(Count(html, "<hr>\r\n"), 2u);
    EXPECT_TRUE(Has(html, "<a name=\"Article2\">"));
    EXPECT_EQ(Count(html, "<p><a href=\"#TOC\">Table of Contents</a></p>"), 2u);
    EXPECT_TRUE(Has(html, "Date: "));
    EXPECT_TRUE(Has(html, "Keywords: "));
    // The stored link to the other exported article reaches its section.
    EXPECT_EQ(Count(html, "href=\"#Article2\""), 2u) << html;
    EXPECT_LT(html.find("<a name=\"Article1\">"), html.find("<a name=\"Article2\">"));
}

TEST_F(ExportTest, HtmlFolderHasAFilePerArticleAndToc) {
    qbw::ArticleData first = Rich("Notes", "{\\rtf1 next\\par}");
    qbw::StoredLinkData link;
    link.start = 0;
    link.end = 4;
    link.kind = 3;
    link.targetId = 1;
    first.links.push_back(link);
    OpenArticles({first, Plain("Notes", "second"), Plain("?!", "third")});
    std::string folder = dir / "site";
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(Run(ExportFormat::kHtml, folder, true).Succeeded()) << ui.LastText();
    EXPECT_EQ(Names(folder),
              (std::vector<std::string>{".htm", "Notes.htm", "Notes1.htm", "toc.htm"}));
    std::string toc = ReadFile(folder + "/toc.htm");
    EXPECT_TRUE(Has(toc, "<h3>Table of Contents</h3>\r\n<ol>\r\n"));
    EXPECT_TRUE(Has(toc, "<li><a href=\"Notes.htm\">Notes</a></li>"));
    EXPECT_TRUE(Has(toc, "<li><a href=\"Notes1.htm\">Notes</a></li>"));
    EXPECT_TRUE(Has(toc, "<li><a href=\".htm\">?!</a></li>"));
    std::string notes = ReadFile(folder + "/Notes.htm");
    EXPECT_TRUE(Has(notes, "<p><a href=\"toc.htm\">Table of Contents</a></p>"));
    EXPECT_TRUE(Has(notes, "href=\"Notes1.htm\"")) << notes;
    EXPECT_FALSE(Has(notes, "<hr>"));
}

TEST_F(ExportTest, HtmlCancelLeavesTheOldFile) {
    OpenArticles({Plain("a", "1"), Plain("b", "2")});
    std::string target = dir.Write("out.htm", "old page");
    ui.cancelAfterTexts = 0;
    struct CancelWriter : RecordingUi {
        int opened = 0;
        std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
            cancelAfterTexts = opened++ == 1 ? 2 : 0;
            return RecordingUi::OpenProgress(caption);
        }
    } cancelling;
    ExportJob job(*doc, locale, cancelling, settings);
    ExportResult r = ExportArticles(job, target, ExportFormat::kHtml, false, ranges);
    EXPECT_EQ(r.outcome, ExportOutcome::kCancelled);
    EXPECT_EQ(ReadFile(target), "old page");
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"out.htm", "test.qbx"}));
}

// An old plain-text article is text whatever it starts with.
TEST_F(ExportTest, PlainArticleThatLooksLikeRtfStaysText) {
    OpenArticles({Plain("T", "{\\rtf1 \\b x}")});
    SetFlags(0x40);
    std::string html = Export(ExportFormat::kHtml);
    EXPECT_NE(html.find("{\\rtf1 \\b x}"), std::string::npos) << html;
}

}  // namespace
}  // namespace qb::testing

// The Markdown notes folder as a whole: front matter read back by a YAML
// parser, links that reach the right note, names unique without regard to
// case, attachments copied or noted, pictures written byte for byte,
// private articles only when shown and asked for, and Cancel.
#include <sys/stat.h>
#include <zlib.h>

#include <fstream>
#include <set>

#include "datafile/quill_error.h"
#include "export/export_file.h"
#include "export/markdown_export.h"
#include "export/markdown_pictures.h"
#include "markdown_fixture.h"

namespace qb::testing {
namespace {

const qbw::Key16 kSalt{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const qbw::Key16 kMaterial{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                           0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};

bool Has(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

qbw::StoredLinkData LinkData(int16_t kind, int32_t start, int32_t end, int32_t targetId = -1,
                             const std::string& target = "") {
    qbw::StoredLinkData l;
    l.kind = kind;
    l.start = start;
    l.end = end;
    l.targetId = targetId;
    l.target = target;
    return l;
}

std::string Hex(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
    return out;
}

// The hrefs of cmark's rendering, percent-decoded back to file names.
std::vector<std::string> Hrefs(const std::string& html) {
    std::vector<std::string> out;
    for (size_t at = html.find("href=\""); at != std::string::npos;
         at = html.find("href=\"", at + 1)) {
        size_t end = html.find('"', at + 6);
        std::string href = html.substr(at + 6, end - at - 6), name;
        for (size_t i = 0; i < href.size(); ++i) {
            if (href[i] == '%' && i + 2 < href.size()) {
                name += char(std::stoi(href.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else if (href.compare(i, 5, "&amp;") == 0) {
                name += '&';
                i += 4;
            } else {
                name += href[i];
            }
        }
        out.push_back(name);
    }
    return out;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class MarkdownExportTest : public MarkdownTest {
public:
    // Articles and keywords of the test's own, with the bookmarks given.
    void OpenFile(const std::vector<qbw::ArticleData>& articles,
                  const std::vector<std::string>& keywords = {},
                  const std::vector<int32_t>& bookmarks = {}) {
        qbw::FileBuilder b;
        for (size_t i = 0; i < articles.size(); ++i)
            b.SetRecord(1, int32_t(i), Encode(articles[i]));
        for (size_t i = 0; i < keywords.size(); ++i)
            b.SetRecord(0, int32_t(i), qbw::EncodeKeyword(keywords[i], {}));
        if (!bookmarks.empty())
            b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream(bookmarks));
        ASSERT_TRUE(Open(b));
    }
    std::vector<std::string> NoteNames() { return Names(dir / "notes"); }
};

// Titles and keywords that YAML would misread unquoted come back as
// written, with the dates as timestamps and every other key typed.
TEST_F(MarkdownExportTest, FrontMatterReadsBackForHostileTitlesAndKeywords) {
    const std::vector<std::string> titles = {"He said: \"yes\" - and 'no'",
                                             "- starts with a dash",
                                             "key: value # comment",
                                             "[not, a, list] {nor: map}",
                                             "Caf\xE9 \x80 100%",
                                             "tab\there\\back",
                                             "---",
                                             "null"};
    const std::vector<std::string> keywords = {"plain",       ": colon", "- dash",   "\"quoted\"",
                                               "line\nbreak", "#hash",   "Z\xFCrich"};
    std::vector<qbw::ArticleData> articles;
    for (size_t i = 0; i < titles.size(); ++i) {
        qbw::ArticleData a = Rich(titles[i], "{\\rtf1 body\\par}", 20240305);
        a.articleTime = 14 * 3600 + 30 * 60 + 5;
        a.modifiedDate = 20240401;
        a.modifiedTime = 60;
        a.createdDate = 19991231;
        a.createdTime = 86399;
        a.keywordIds = {0, 1, 2, 3, 4, 5, 6};
        articles.push_back(a);
    }
    OpenFile(articles, keywords, {2});
    std::string folder = ExportNotes();
    std::vector<std::string> names = NoteNames();
    ASSERT_EQ(names.size(), titles.size() + 1);  // and index.md

    // Windows-1252 decoded: é, the euro sign, ü.
    const std::vector<std::string> utf8Titles = {
        titles[0], titles[1], titles[2], titles[3], "Caf\xC3\xA9 \xE2\x82\xAC 100%",
        titles[5], titles[6], titles[7]};
    std::vector<std::string> tagsByName = {"\"quoted\"",  "#hash", ": colon",      "- dash",
                                           "line\nbreak", "plain", "Z\xC3\xBCrich"};
    std::set<std::string> seen;
    for (const std::string& name : names) {
        if (name == kIndexNote) continue;
        std::map<std::string, YamlValue> fm = ReadFrontMatter(folder + "/" + name);
        ASSERT_EQ(fm["title"].type, "str") << name;
        const std::string& title = fm["title"].value;
        auto it = std::find(utf8Titles.begin(), utf8Titles.end(), title);
        ASSERT_NE(it, utf8Titles.end()) << title;
        const int32_t id = int32_t(it - utf8Titles.begin());
        seen.insert(title);
        EXPECT_EQ(fm["date"].type, "datetime");
        EXPECT_EQ(fm["date"].value, "2024-03-05 14:30:05");
        EXPECT_EQ(fm["modified"].value, "2024-04-01 00:01:00");
        EXPECT_EQ(fm["created"].value, "1999-12-31 23:59:59");
        ASSERT_EQ(fm["tags"].value, std::to_string(keywords.size())) << name;
        std::vector<std::string> tags;
        for (size_t k = 0; k < keywords.size(); ++k)
            tags.push_back(fm["tags[" + std::to_string(k) + "]"].value);
        std::sort(tags.begin(), tags.end());
        std::vector<std::string> expected = tagsByName;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(tags, expected);
        EXPECT_EQ(fm["bookmarked"].type, "bool");
        EXPECT_EQ(fm["bookmarked"].value, id == 2 ? "True" : "False") << title;
        EXPECT_EQ(fm["private"].value, "False");
        EXPECT_EQ(fm["attachments"].value, "0");
        EXPECT_EQ(fm["source.file"].value, "test.qbx");
        EXPECT_EQ(fm["source.id"].type, "int");
        EXPECT_EQ(fm["source.id"].value, std::to_string(id));
        // UTF-8 with LF line ends only.
        std::string note = Note(name);
        EXPECT_FALSE(Has(note, "\r")) << name;
        EXPECT_EQ(NoteBody(note), "body\n");
    }
    EXPECT_EQ(seen.size(), titles.size());
}

TEST_F(MarkdownExportTest, LinksBetweenArticlesReachTheTargetsFile) {
    qbw::ArticleData a = Rich("Alpha (first)", "{\\rtf1 see beta here\\par}");
    a.links.push_back(LinkData(3, 4, 8, 1));
    qbw::ArticleData b = Rich("Beta: 50% & more", "{\\rtf1 back to alpha\\par}");
    b.links.push_back(LinkData(3, 8, 13, 0));
    // A link to a free slot, and to a record now holding another article.
    qbw::ArticleData c = Rich("Gamma", "{\\rtf1 nowhere moved\\par}");
    c.links.push_back(LinkData(3, 0, 7, 9));
    qbw::StoredLinkData moved = LinkData(3, 8, 13, 0);
    moved.targetCreatedDate = 20010101;
    moved.targetCreatedTime = 5;
    c.links.push_back(moved);
    OpenFile({a, b, c});
    std::string folder = ExportNotes();
    EXPECT_EQ(NoteNames(), (std::vector<std::string>{"Alpha (first).md", "Beta_ 50% & more.md",
                                                     "Gamma.md", "index.md"}));

    std::string html = RenderCommonMark(NoteBody(Note("Alpha (first).md")));
    EXPECT_TRUE(Has(html, ">beta</a>")) << html;
    EXPECT_EQ(Hrefs(html), (std::vector<std::string>{"Beta_ 50% & more.md"}));
    html = RenderCommonMark(NoteBody(Note("Beta_ 50% & more.md")));
    EXPECT_EQ(Hrefs(html), (std::vector<std::string>{"Alpha (first).md"}));
    EXPECT_EQ(NoteBody(Note("Gamma.md")), "nowhere moved\n");

    // The index lists every note by its title, in the run's order.
    html = RenderCommonMark(Note(kIndexNote));
    EXPECT_EQ(Hrefs(html),
              (std::vector<std::string>{"Alpha (first).md", "Beta_ 50% & more.md", "Gamma.md"}));
    EXPECT_TRUE(Has(html, ">Beta: 50% &amp; more</a>")) << html;
    EXPECT_TRUE(Has(html, "<h1>test</h1>")) << html;
    for (const std::string& name : Hrefs(html))
        EXPECT_TRUE(std::filesystem::exists(folder + "/" + name)) << name;

    settings.markdown.wikiLinks = true;
    std::filesystem::remove_all(folder);
    ExportNotes();
    EXPECT_EQ(NoteBody(Note("Alpha (first).md")), "see [[Beta_ 50% & more\\|beta]] here\n");
    EXPECT_TRUE(Has(Note(kIndexNote), "- [[Gamma]]\n")) << Note(kIndexNote);
}

// Titles that differ only in case get files that differ in more, and each
// link still reaches its own article's file.
TEST_F(MarkdownExportTest, NamesThatDifferOnlyInCase) {
    qbw::ArticleData linker = Rich("Links", "{\\rtf1 one two three\\par}");
    linker.links = {LinkData(3, 0, 3, 1), LinkData(3, 4, 7, 2), LinkData(3, 8, 13, 3)};
    qbw::ArticleData notes = Rich("Notes", "{\\rtf1 first\\par}");
    qbw::ArticleData upper = Rich("NOTES", "{\\rtf1 second\\par}");
    qbw::ArticleData accented = Rich("notes", "{\\rtf1 third\\par}");
    OpenFile({linker, notes, upper, accented});
    std::string folder = ExportNotes();
    std::vector<std::string> names = NoteNames();
    ASSERT_EQ(names.size(), 5u);
    std::set<std::string> folded;
    for (std::string n : names) {
        std::transform(n.begin(), n.end(), n.begin(), ::tolower);
        folded.insert(n);
    }
    EXPECT_EQ(folded.size(), names.size());
    std::vector<std::string> targets = Hrefs(RenderCommonMark(NoteBody(Note("Links.md"))));
    ASSERT_EQ(targets.size(), 3u);
    const std::vector<std::string> bodies = {"first\n", "second\n", "third\n"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(NoteBody(Note(targets[i])), bodies[i]) << targets[i];
        EXPECT_EQ(ReadFrontMatter(folder + "/" + targets[i])["source.id"].value,
                  std::to_string(i + 1));
    }
}

TEST_F(MarkdownExportTest, FileAttachmentsAndLinksAreCopiedOrNoted) {
    std::filesystem::create_directories(dir / "disk/docs");
    const std::string bytes("report\0\xFF\r\n", 10);
    WriteFile(dir / "disk/docs/report.txt", bytes);
    WriteFile(dir / "disk/docs/plan.pdf", "pdf");
    settings.targets.drives = {{"C:", dir / "disk"}};

    qbw::ArticleData a = Rich("Files", "{\\rtf1 the plan and the lost one\\par}");
    a.attachments = {{1, "C:\\docs\\report.txt"},
                     {1, "C:\\docs\\missing.txt"},
                     {2, "https://example.com/a b"},
                     {3, "Other", 1}};
    a.links = {LinkData(1, 4, 8, -1, "C:\\docs\\plan.pdf"),
               LinkData(1, 17, 25, -1, "C:\\docs\\gone [1].doc")};
    qbw::ArticleData other = Rich("Other", "{\\rtf1 x\\par}");
    // The same file attached again is copied once.
    other.attachments = {{1, "c:\\DOCS\\report.txt"}};
    OpenFile({a, other});
    std::string folder = ExportNotes();

    EXPECT_EQ(Names(folder + "/attachments"), (std::vector<std::string>{"plan.pdf", "report.txt"}));
    EXPECT_EQ(Slurp(folder + "/attachments/report.txt"), bytes);
    std::map<std::string, YamlValue> fm = ReadFrontMatter(folder + "/Files.md");
    EXPECT_EQ(fm["attachments"].value, "4");
    EXPECT_EQ(fm["attachments[0]"].value, "attachments/report.txt");
    EXPECT_EQ(fm["attachments[1]"].value, "C:\\docs\\missing.txt");
    EXPECT_EQ(fm["attachments[2]"].value, "https://example.com/a b");
    EXPECT_EQ(fm["attachments[3]"].value, "Other.md");
    EXPECT_EQ(ReadFrontMatter(folder + "/Other.md")["attachments[0]"].value,
              "attachments/report.txt");

    std::string html = RenderCommonMark(NoteBody(Note("Files.md")));
    EXPECT_TRUE(Has(html, "<a href=\"attachments/plan.pdf\">plan</a>")) << html;
    EXPECT_TRUE(Has(html, "lost one (file not copied: C:\\docs\\gone [1].doc)")) << html;
}

// PNG and JPEG bytes as they were, a bitmap as the PNG of the same pixels,
// a metafile as a note; each picture is linked where it stood.
TEST_F(MarkdownExportTest, PicturesAreWrittenAsFiles) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR-not-really", 24);
    const std::string jpeg("\xFF\xD8\xFF\xE0 jpeg \xFF\xD9", 12);
    // A 2 x 2 bitmap, 24 bits, bottom-up: rows padded to 8 bytes.
    std::string dib(40, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k)
            dib[at + size_t(k)] = char(v >> (8 * k));
    };
    put32(0, 40);
    put32(4, 2);
    put32(8, 2);
    dib[12] = 1;
    dib[14] = 24;
    // Bottom row: blue, green; top row: red, white (BGR order).
    dib += std::string("\xFF\x00\x00\x00\xFF\x00\x00\x00", 8);
    dib += std::string("\x00\x00\xFF\xFF\xFF\xFF\x00\x00", 8);
    std::string rtf = "{\\rtf1 a{\\pict\\pngblip " + Hex(png) + "}b{\\pict\\jpegblip " + Hex(jpeg) +
                      "}\\line{\\pict\\dibitmap0 " + Hex(dib) + "} {\\pict\\wmetafile8 0102}\\par}";
    OpenFile({Rich("Pictures", rtf)});
    std::string folder = ExportNotes();

    std::string body = NoteBody(Note("Pictures.md"));
    EXPECT_EQ(body,
              "a![](attachments/Pictures%20picture%201.png)b"
              "![](attachments/Pictures%20picture%202.jpg)\\\n"
              "![](attachments/Pictures%20picture%203.png) "
              "*(picture: a Windows metafile, not converted)*\n");
    EXPECT_EQ(Names(folder + "/attachments"),
              (std::vector<std::string>{"Pictures picture 1.png", "Pictures picture 2.jpg",
                                        "Pictures picture 3.png"}));
    EXPECT_EQ(Slurp(folder + "/attachments/Pictures picture 1.png"), png);
    EXPECT_EQ(Slurp(folder + "/attachments/Pictures picture 2.jpg"), jpeg);

    // The converted bitmap: IHDR 2 x 2 RGB, and rows top-down.
    std::string converted = Slurp(folder + "/attachments/Pictures picture 3.png");
    ASSERT_GT(converted.size(), 33u);
    EXPECT_EQ(converted.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(converted.substr(12, 4), "IHDR");
    EXPECT_EQ(converted.substr(16, 8), std::string("\0\0\0\x02\0\0\0\x02", 8));
    size_t idat = converted.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    uint32_t length = uint32_t(uint8_t(converted[idat - 4])) << 24 |
                      uint32_t(uint8_t(converted[idat - 3])) << 16 |
                      uint32_t(uint8_t(converted[idat - 2])) << 8 | uint8_t(converted[idat - 1]);
    std::string raw(64, '\0');
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef*>(converted.data() + idat + 4), length),
              Z_OK);
    raw.resize(rawSize);
    EXPECT_EQ(raw, std::string("\0\xFF\x00\x00\xFF\xFF\xFF"
                               "\0\x00\x00\xFF\x00\xFF\x00",
                               14));
}

TEST_F(MarkdownExportTest, BitmapsThatCannotBeReadBecomeANote) {
    EXPECT_EQ(DibToPng(std::string(39, '\0')), std::nullopt);
    std::string dib(40, '\0');
    dib[0] = 40;
    dib[4] = 4;  // 4 x 4
    dib[8] = 4;
    dib[14] = 24;
    EXPECT_EQ(DibToPng(dib), std::nullopt) << "no rows";
    dib[14] = 16;
    EXPECT_EQ(DibToPng(dib + std::string(32, '\0')), std::nullopt) << "16 bits";
    // Too many pixels is refused before anything is allocated.
    dib[14] = 1;
    dib[4] = dib[5] = dib[6] = 0;
    dib[7] = 0x40;
    dib[8] = 0x40;
    EXPECT_EQ(DibToPng(dib + std::string(8, '\0')), std::nullopt);
    // A 1-bit bitmap reads its palette.
    std::string mono(40, '\0');
    mono[0] = 40;
    mono[4] = 1;
    mono[8] = 1;
    mono[12] = 1;
    mono[14] = 1;
    mono += std::string("\0\0\0\0\x10\x20\x30\0", 8) + std::string("\x80\0\0\0", 4);
    std::optional<std::string> png = DibToPng(mono);
    ASSERT_TRUE(png);
    size_t idat = png->find("IDAT");
    std::string raw(16, '\0');
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef*>(png->data() + idat + 4),
                         uLong(png->size() - idat - 4 - 12 - 4)),
              Z_OK);
    EXPECT_EQ(raw.substr(0, rawSize), std::string("\0\x30\x20\x10", 4));
}

// Plain-text articles are escaped text with their lines.
TEST_F(MarkdownExportTest, PlainArticlesAreEscapedText) {
    OpenFile({Plain("Plain", "* not a list\r\n<b>not html</b>\r\n\r\nnext")});
    ExportNotes();
    EXPECT_EQ(RenderCommonMark(NoteBody(Note("Plain.md"))),
              "<p>* not a list<br />\n&lt;b&gt;not html&lt;/b&gt;</p>\n<p>next</p>\n");
}

qbw::FileBuilder PrivateFile() {
    qbw::Privacy p = qbw::MakePrivacy("Secret", kSalt, kMaterial);
    qbw::FileBuilder b;
    qbw::ArticleData open = ExportTest::Rich("Open", "{\\rtf1 see hidden\\par}");
    open.links.push_back(LinkData(3, 4, 10, 1));
    b.SetRecord(1, 0, qbw::EncodeArticleNew(open));
    qbw::ArticleData hidden = ExportTest::Rich("Hidden", "{\\rtf1 secret\\par}");
    hidden.flags = 0x0003;
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kPrivate;
    o.blobs.contentKey = p.contentKey;
    b.SetRecord(1, 1, qbw::EncodeArticleNew(hidden, o));
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({1}));
    return b;
}

TEST_F(MarkdownExportTest, PrivateArticlesOnlyWhenShownAndAsked) {
    ASSERT_TRUE(Open(PrivateFile()));
    settings.markdown.includePrivate = true;  // asked, but the file is locked
    std::string folder = ExportNotes();
    EXPECT_EQ(NoteNames(), (std::vector<std::string>{"Open.md", "index.md"}));
    EXPECT_EQ(NoteBody(Note("Open.md")), "see hidden\n") << "no link to a note not written";

    ui.QueuePassword("Secret");
    doc->OnShowPrivateArticles();
    ASSERT_TRUE(doc->IsUnlocked());
    settings.markdown.includePrivate = false;  // shown, but not asked
    std::filesystem::remove_all(folder);
    ExportNotes();
    EXPECT_EQ(NoteNames(), (std::vector<std::string>{"Open.md", "index.md"}));
    EXPECT_FALSE(Has(Note(kIndexNote), "Hidden"));

    settings.markdown.includePrivate = true;
    std::filesystem::remove_all(folder);
    ExportNotes();
    EXPECT_EQ(NoteNames(), (std::vector<std::string>{"Hidden.md", "Open.md", "index.md"}));
    EXPECT_EQ(ReadFrontMatter(folder + "/Hidden.md")["private"].value, "True");
    EXPECT_EQ(NoteBody(Note("Hidden.md")), "secret\n");
    EXPECT_EQ(NoteBody(Note("Open.md")), "see [hidden](Hidden.md)\n");
}

// Cancel keeps the notes already finished, leaves no temporary file and
// writes no index; a run into a folder with notes of its own keeps them.
TEST_F(MarkdownExportTest, CancelLeavesOnlyFinishedNotes) {
    OpenFile(
        {Rich("a", "{\\rtf1 1\\par}"), Rich("b", "{\\rtf1 2\\par}"), Rich("c", "{\\rtf1 3\\par}")});
    std::string folder = dir / "notes";
    std::filesystem::create_directory(folder);
    WriteFile(folder + "/A.md", "mine");
    struct CancellingUi : RecordingUi {
        int opened = 0;
        std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
            cancelAfterTexts = opened++ == 1 ? 3 : 0;  // the writer's, after two notes
            return RecordingUi::OpenProgress(caption);
        }
    } cancelling;
    ExportJob job(*doc, locale, cancelling, settings);
    ExportResult r = ExportArticles(job, folder, ExportFormat::kMarkdown, false, ranges);
    EXPECT_EQ(r.outcome, ExportOutcome::kCancelled);
    EXPECT_EQ(NoteNames(), (std::vector<std::string>{"A.md", "a 1.md", "b.md"}));
    EXPECT_EQ(Note("A.md"), "mine");
}

// More notes than the writer queues at once, with pictures between them
// (each waits for the notes before it): every note holds its own article,
// and a second run writes the same folder byte for byte.
TEST_F(MarkdownExportTest, ManyNotesInOrderAndTheSameEveryRun) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR-not-really", 24);
    std::vector<qbw::ArticleData> articles;
    for (int i = 0; i < 600; ++i) {
        std::string rtf = "{\\rtf1 note " + std::to_string(i);
        if (i % 50 == 7) rtf += "{\\pict\\pngblip " + Hex(png) + "}";
        articles.push_back(Rich("n" + std::to_string(i), rtf + "\\par}"));
    }
    OpenFile(articles);
    std::string folder = ExportNotes();
    ASSERT_EQ(NoteNames().size(), 602u) << "the notes, index.md and attachments";
    EXPECT_EQ(Names(folder + "/attachments").size(), 12u);
    for (int i = 0; i < 600; ++i) {
        std::string n = std::to_string(i);
        std::string expected = i % 50 == 7
                                   ? "note " + n + "![](attachments/n" + n + "%20picture%201.png)\n"
                                   : "note " + n + "\n";
        ASSERT_EQ(NoteBody(Note("n" + n + ".md")), expected) << n;
    }

    std::filesystem::rename(folder, dir / "first");
    ExportNotes();
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir / "first"))
        if (e.is_regular_file())
            files.push_back(std::filesystem::relative(e.path(), dir / "first").string());
    EXPECT_EQ(files.size(), 613u);
    for (const std::string& f : files)
        ASSERT_EQ(Slurp(dir / ("first/" + f)), Slurp(folder + "/" + f)) << f;
}

// A file that cannot be written stops the run where it stood: the notes
// before it are finished, none after it is started, no temporary is left.
TEST_F(MarkdownExportTest, AFailedWriteStopsTheRunInOrder) {
    const std::string png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR-not-really", 24);
    OpenFile({Rich("a", "{\\rtf1 1\\par}"), Rich("b", "{\\rtf1 2\\par}"),
              Rich("c", "{\\rtf1 {\\pict\\pngblip " + Hex(png) + "}\\par}"),
              Rich("d", "{\\rtf1 4\\par}")});
    std::string folder = dir / "notes";
    std::filesystem::create_directory(folder);
    WriteFile(folder + "/attachments", "a file where the folder would be");
    ExportResult r = Run(ExportFormat::kMarkdown, folder);
    EXPECT_FALSE(r.Succeeded());
    EXPECT_EQ(ui.Count(), 1u);
    EXPECT_EQ(NoteNames(), (std::vector<std::string>{"a.md", "attachments", "b.md"}));
    EXPECT_EQ(NoteBody(Note("b.md")), "2\n");
}

TEST_F(MarkdownExportTest, AMissingFolderIsAnError) {
    OpenFile({Rich("a", "{\\rtf1 1\\par}")});
    ExportResult r = Run(ExportFormat::kMarkdown, dir / "none");
    EXPECT_FALSE(r.Succeeded());
    EXPECT_EQ(ui.Count(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

// The notes are written through the temporary file's own descriptor: the
// target appears only on Commit, with the umask's permissions, and a file
// given up leaves nothing behind.
TEST(ExportFileWrite, TheTargetAppearsOnlyWhenCommitted) {
    TempDir dir;
    const std::string target = dir / "note.md";
    {
        ExportFile file(target);
        file.Write("half");
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "the temporary file is gone";
    ExportFile file(target);
    file.Write("whole ");
    file.Write(std::string(100000, 'x'));
    file.Sync();
    file.Commit();
    EXPECT_EQ(ReadFile(target).size(), 100006u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
    // Writing after the commit is an error, not a write to a closed descriptor.
    EXPECT_THROW(file.Write("late"), CQuillError);
}

}  // namespace
}  // namespace qb::testing

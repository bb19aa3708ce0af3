// --print-pdf end to end: the reader lays a file's articles out into a PDF
// without a window, checked through poppler's pdftotext and pdfinfo.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "datafile/numbered_streams.h"
#include "support/run_program.h"
#include "support/temp_files.h"
#include "writer/qbx_writer.h"

namespace qb::testing {
namespace {

std::string Reader() {
    return std::string(QB_BINARY_DIR) + "/bin/quillbox-reader";
}
std::string Demo() {
    return std::string(QB_BINARY_DIR) + "/samples/demo.qbx";
}

std::string Tool(const std::string& name) {
    for (const char* dir : {"/usr/bin/", "/usr/local/bin/"})
        if (std::filesystem::exists(std::string(dir) + name)) return std::string(dir) + name;
    return "";
}

class PrintPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(Tool("pdftotext").empty()) << "poppler-utils is missing (scripts/deps.sh)";
        ASSERT_FALSE(Tool("pdfinfo").empty()) << "poppler-utils is missing (scripts/deps.sh)";
    }

    // The reader with settings of its own, so the person's never count.
    ProgramResult Print(std::vector<std::string> args) {
        RunOptions o;
        o.Env("XDG_CONFIG_HOME", (dir / "config"))
            .Env("HOME", (dir / "home"))
            .Env("LC_ALL", "C.UTF-8")
            .Env("LANG", "en_US.UTF-8")
            .Unset("QT_QPA_PLATFORM")
            .Unset("DISPLAY")
            .Unset("WAYLAND_DISPLAY");
        return RunProgram(Reader(), args, o);
    }
    std::string Text(const std::string& pdf) {
        return RunProgram(Tool("pdftotext"), {pdf, "-"}).out;
    }
    int Pages(const std::string& pdf) {
        std::string info = RunProgram(Tool("pdfinfo"), {pdf}).out;
        size_t at = info.find("Pages:");
        if (at == std::string::npos) return -1;
        return std::stoi(info.substr(at + 6));
    }

    // Titles "Title 001" on, dated so that the date order is the reverse
    // of the title order; `bookmarked` go into the bookmark list.
    std::string Written(int count, std::vector<int32_t> bookmarked = {},
                        std::optional<std::array<int16_t, 12>> pageSetup = std::nullopt) {
        qbw::FileBuilder fb;
        for (int32_t id = 0; id < count; ++id) {
            qbw::ArticleData a;
            char title[32];
            std::snprintf(title, sizeof title, "Title %03d", id + 1);
            a.title = title;
            a.articleDate = a.createdDate = a.modifiedDate = 20300101 - id * 10000;
            a.richText = std::string("{\\rtf1\\ansi Body of ") + title + "\\par}";
            fb.SetRecord(1, id, qbw::EncodeArticleNew(a));
        }
        if (!bookmarked.empty())
            fb.SetStream(stream_id::kBookmarks, qbw::EncodeIdStream(bookmarked));
        if (pageSetup) fb.SetStream(stream_id::kPageSetup, qbw::EncodePageSetup(*pageSetup));
        fb.SetStream(stream_id::kPrintHeader, qbw::EncodeTextStream("Head of page &P"));
        fb.SetStream(stream_id::kPrintFooter, qbw::EncodeTextStream("Foot &P"));
        std::string path = (dir / "written.qbx");
        fb.WriteFile(path);
        return path;
    }

    TempDir dir;
};

TEST_F(PrintPdfTest, TheDemoPrintsItsArticlesWithDatesKeywordsAndContent) {
    ASSERT_TRUE(std::filesystem::exists(Demo()));
    std::string pdf = (dir / "demo.pdf");
    ProgramResult r = Print({"--print-pdf", pdf, Demo()});
    ASSERT_EQ(r.status, 0) << r;
    std::string text = Text(pdf);
    EXPECT_NE(text.find("Autumn Fungi in the Beech Wood"), std::string::npos) << text;
    EXPECT_NE(text.find("Keywords: Autumn, Fungi, Trees"), std::string::npos);
    EXPECT_NE(text.find("Date: "), std::string::npos);
    EXPECT_NE(text.find("Beefsteak fungus on an old oak stump"), std::string::npos);
    // Letters stay letters: no "fl" ligature glyph, so the text reads back.
    EXPECT_NE(text.find("A fine fly agaric"), std::string::npos);
    EXPECT_GE(Pages(pdf), 2);
    // Nothing is left beside the PDF.
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST_F(PrintPdfTest, TitlesOnlyNumberedOneLineEachInTheChosenOrder) {
    std::string file = Written(150);
    std::string pdf = (dir / "titles.pdf");
    ProgramResult r = Print({"--print-pdf", pdf, "--titles-only", "--numbered", file});
    ASSERT_EQ(r.status, 0) << r;
    std::string text = Text(pdf);
    size_t first = text.find("Title 001"), last = text.find("Title 150");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(last, std::string::npos);
    EXPECT_LT(first, last);
    EXPECT_NE(text.find("150."), std::string::npos);
    EXPECT_EQ(text.find("Body of"), std::string::npos);  // titles only
    EXPECT_EQ(text.find("Date:"), std::string::npos);
    // 150 lines do not fit one page; each page has its header with its number.
    int pages = Pages(pdf);
    EXPECT_GE(pages, 3);
    EXPECT_NE(text.find("Head of page " + std::to_string(pages)), std::string::npos);
    EXPECT_NE(text.find("Foot " + std::to_string(pages)), std::string::npos);

    // By date, oldest first: the dates run against the titles.
    std::string byDate = (dir / "by-date.pdf");
    ASSERT_EQ(Print({"--print-pdf", byDate, "--titles-only", "--sort", "date", file}).status, 0);
    std::string dated = Text(byDate);
    EXPECT_LT(dated.find("Title 150"), dated.find("Title 001"));
    std::string desc = (dir / "desc.pdf");
    ASSERT_EQ(Print({"--print-pdf", desc, "--titles-only", "--sort", "title-desc", file}).status,
              0);
    std::string down = Text(desc);
    EXPECT_LT(down.find("Title 150"), down.find("Title 001"));
}

TEST_F(PrintPdfTest, BookmarkedRangeAndPageBreakSeparation) {
    // Separator 2: every article on its own page, without an empty first page.
    std::array<int16_t, 12> setup = {50, 75, 50, 75, 2, 0, 1, 1, 0, 1, 1, 0};
    std::string file = Written(6, {1, 4}, setup);
    std::string pdf = (dir / "bookmarked.pdf");
    ProgramResult r = Print({"--print-pdf", pdf, "--range", "bookmarked", file});
    ASSERT_EQ(r.status, 0) << r;
    std::string text = Text(pdf);
    EXPECT_NE(text.find("Title 002"), std::string::npos) << text;
    EXPECT_NE(text.find("Body of Title 005"), std::string::npos);
    EXPECT_EQ(text.find("Title 001"), std::string::npos);
    EXPECT_EQ(text.find("Title 003"), std::string::npos);
    EXPECT_EQ(Pages(pdf), 2);

    std::string all = (dir / "all.pdf");
    ASSERT_EQ(Print({"--print-pdf", all, file}).status, 0);
    EXPECT_EQ(Pages(all), 6);
}

TEST_F(PrintPdfTest, FailuresExitOneAndLeaveNoFile) {
    std::string pdf = (dir / "out.pdf");
    ProgramResult missing = Print({"--print-pdf", pdf, (dir / "no-such.qbx")});
    EXPECT_EQ(missing.status, 1) << missing;
    EXPECT_FALSE(missing.err.empty());
    EXPECT_FALSE(std::filesystem::exists(pdf));

    std::string file = Written(3);
    ProgramResult noFolder = Print({"--print-pdf", (dir / "none/out.pdf"), file});
    EXPECT_EQ(noFolder.status, 1) << noFolder;
    EXPECT_NE(noFolder.err.find("cannot write"), std::string::npos) << noFolder;

    // No bookmarks: nothing to print is a failure, not an empty success.
    ProgramResult empty = Print({"--print-pdf", pdf, "--range", "bookmarked", file});
    EXPECT_EQ(empty.status, 1) << empty;
    EXPECT_FALSE(std::filesystem::exists(pdf));

    // Damaged content: the full print stops with its message and leaves no
    // PDF; a list of titles, which never reads the content, still prints.
    qbw::FileBuilder fb;
    qbw::ArticleData good;
    good.title = "Good";
    fb.SetRecord(1, 0, qbw::EncodeArticleNew(good));
    qbw::ArticleData bad;
    bad.title = "Bad";
    bad.flags = 0x40;
    bad.richText = "{\\rtf1 some longer content to compress well, some longer content}";
    qbw::Encoder e;
    qbw::WriteArticleNew(e, bad);
    std::string bytes = e.Str();
    const qbw::BlobPlacement& content = e.Blobs().back();
    for (size_t i = 0; i < content.dataLength; ++i)
        bytes[content.dataOffset + i] = char(0x5A);
    fb.SetRecord(1, 1, bytes);
    std::string damaged = dir / "damaged.qbx";
    fb.WriteFile(damaged);
    ProgramResult broken = Print({"--print-pdf", pdf, damaged});
    EXPECT_EQ(broken.status, 1) << broken;
    EXPECT_FALSE(broken.err.empty());
    EXPECT_FALSE(std::filesystem::exists(pdf));
    ProgramResult titles = Print({"--print-pdf", pdf, "--titles-only", damaged});
    EXPECT_EQ(titles.status, 0) << titles;
    EXPECT_NE(Text(pdf).find("Bad"), std::string::npos);
    std::filesystem::remove(pdf);

    ProgramResult usage = Print({"--print-pdf", pdf, "--range", "selected", file});
    EXPECT_EQ(usage.status, 2) << usage;
    EXPECT_NE(usage.err.find("--range takes all or bookmarked"), std::string::npos);
}

}  // namespace
}  // namespace qb::testing

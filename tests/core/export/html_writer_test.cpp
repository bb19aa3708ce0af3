#include "export/html_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>

#include "app/settings.h"
#include "core/export/html_fixture.h"
#include "export/entity_table.h"
#include "resources/html_symbols.h"
#include "support/quill_error_code.h"

namespace qb {
namespace {

using testing::Count;
using testing::ReadFile;
using testing::TempDir;
using testing::Written;

TEST(HtmlSymbols, TablesKeepTheirOrderAndLookUp) {
    auto tags = HtmlTagTable();
    ASSERT_EQ(tags.size(), 72u);
    EXPECT_STREQ(tags.front().name, "!");
    EXPECT_EQ(tags.front().code, 0);
    EXPECT_STREQ(tags.back().name, "basefont");
    EXPECT_EQ(tags.back().code, 128);
    EXPECT_EQ(FindHtmlTag("BlockQuote"), FindHtmlTag("blockquote"));
    EXPECT_EQ(FindHtmlTag("blink"), -1);

    ASSERT_EQ(HtmlEntityTable().size(), 105u);
    EXPECT_EQ(FindHtmlEntity("eacute"), 233);
    EXPECT_EQ(FindHtmlEntity("Eacute"), 201);
    EXPECT_EQ(FindHtmlEntity("EACUTE"), -1);  // entities keep their case
    EXPECT_EQ(FindHtmlEntity("trade"), 153);
}

TEST(EntityTable, FirstNameWinsAndSpaceStaysSpace) {
    EntityTable t;
    EXPECT_STREQ(HtmlEntityTable()[std::size_t(t.ReverseIndex(32))].name, "emsp");
    EXPECT_EQ(t.EntityFor(' '), nullptr);
    EXPECT_STREQ(t.EntityFor(153), "#153");
    EXPECT_STREQ(t.EntityFor(177), "plusmm");
    EXPECT_STREQ(t.EntityFor('"'), "quot");
    EXPECT_EQ(t.EntityFor('a'), nullptr);
    EXPECT_EQ(t.ReverseIndex('a'), -1);
    t.SetRestricted(true);
    EXPECT_EQ(t.EntityFor(233), nullptr);
    EXPECT_STREQ(t.EntityFor('&'), "amp");
}

TEST(HtmlWriter, EscapesByTheEntityRule) {
    std::string out =
        Written([](HtmlWriter& w) { w.WriteEscaped("<a \"b\"> \xE9\xA0\x99\xB1&x"); });
    EXPECT_EQ(out, "&lt;a &quot;b&quot;&gt; &eacute;&nbsp;&#153;&plusmm;&amp;x");
}

TEST(HtmlWriter, HeadDeclaresCharsetAndRestrictsForPredefinedSets) {
    auto run = [](int type, int set, std::string custom) {
        HtmlSettings s;
        s.exportType = type;
        s.encodeSet = set;
        s.customSet = std::move(custom);
        s.versionText = "4.1.3";
        return Written(
            [](HtmlWriter& w) {
                w.WriteHead("Caf\xE9 <1>");
                w.WriteEscaped("\xE9");
                w.WriteTail();
            },
            s);
    };
    EXPECT_EQ(run(0, 0, ""),
              "<HTML>\r\n<!-- This file was created using Quillbox 4.1.3 -->\r\n<HEAD>\r\n"
              "<META NAME=\"Generator\" CONTENT=\"Quillbox 4.1.3\">\r\n"
              "<TITLE>Caf&eacute; &lt;1&gt;</TITLE>\r\n</HEAD>\r\n<BODY>\r\n&eacute;"
              "<br><br>\r\n</BODY>\r\n</HTML>\r\n");

    std::string predefined = run(1, 1, "");
    EXPECT_NE(predefined.find("<meta http-equiv=Content-Type content=\"text/html; "
                              "charset=windows-1250\">\r\n<TITLE>Caf\xE9 &lt;1&gt;"),
              std::string::npos);
    EXPECT_NE(predefined.find("<BODY>\r\n\xE9<br>"), std::string::npos);

    EXPECT_NE(run(1, 9, "").find("charset=\">"), std::string::npos);
    std::string custom = run(2, 0, "koi8-r");
    EXPECT_NE(custom.find("charset=koi8-r\">"), std::string::npos);
    EXPECT_NE(custom.find("<BODY>\r\n&eacute;"), std::string::npos);
}

TEST(HtmlWriter, PredefinedEncodingsEndAtTheSemicolonEntry) {
    auto list = PredefinedHtmlEncodings();
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].displayName, "Western (Windows-1252)");
    EXPECT_EQ(list[0].charset, "windows-1252");
    EXPECT_EQ(list[3].charset, "ISO-8859-4");
}

TEST(HtmlWriter, SettingsComeFromThePreferencesAndTheDisplayFont) {
    Settings prefs;
    prefs.SetDefaults();
    prefs.htmlExportType = 2;
    prefs.htmlCustomSet = "utf-8";
    ArticleFont font = DefaultArticleFont(96, "Verdana");  // 9 pt, system colour
    HtmlSettings s = MakeHtmlSettings(prefs, font, 96);
    EXPECT_EQ(s.exportType, 2);
    EXPECT_EQ(s.customSet, "utf-8");
    EXPECT_EQ(s.fontFace, "Verdana");
    EXPECT_EQ(s.fontHeightTwips, 180);
    EXPECT_FALSE(s.useTextColor);
    EXPECT_FALSE(s.versionText.empty());
    font.autoColor = false;
    font.textColor = 0x0000FF;
    EXPECT_TRUE(MakeHtmlSettings(prefs, font, 96).useTextColor);
}

TEST(HtmlWriter, DefaultFontUsesTheArticleFontAndOptionalColour) {
    HtmlSettings s;
    s.fontFace = "Times New Roman";
    s.fontHeightTwips = -240;
    std::string plain = Written(
        [](HtmlWriter& w) {
            w.OpenDefaultFont();
            w.CloseDefaultFont();
        },
        s);
    EXPECT_EQ(plain, "<FONT FACE=\"Times New Roman\" SIZE=\"3\">\r\n</FONT>\r\n");
    s.useTextColor = true;
    s.textColor = 0x00FF8000;  // blue 255, green 128, red 0
    EXPECT_EQ(Written([](HtmlWriter& w) { w.OpenDefaultFont(); }, s),
              "<FONT FACE=\"Times New Roman\" SIZE=\"3\" COLOR=\"#0080ff\">\r\n");
}

TEST(HtmlWriter, PlainTextBreaksLinesAndLinksAddresses) {
    std::string out = Written([](HtmlWriter& w) {
        w.WriteTextWithBreaks("a<b\r\nsee www.x.org, or\n\rmail bob@host.com\tand\r\rend");
    });
    EXPECT_EQ(out,
              "a&lt;b<br>\r\nsee <a href=\"http://www.x.org\">www.x.org</a>, or<br>\r\n"
              "mail <a href=\"mailto:bob@host.com\">bob@host.com</a>\tand<br>\r\n<br>\r\nend");
}

TEST(HtmlWriter, PlainTextArticleIsWrittenInTheDefaultFont) {
    CArticle a;
    a.level = 4;
    a.plainText = "x \xE9";
    std::string out = Written([&](HtmlWriter& w) { w.WriteArticleContent(a, {}, nullptr); });
    EXPECT_EQ(out, "<FONT FACE=\"Arial\" SIZE=\"2\">\r\nx &eacute;<br>\r\n</FONT>\r\n");
}

TEST(HtmlWriter, OutputBeyondOneBufferArrivesIntact) {
    std::string expected;
    std::string out = Written([&](HtmlWriter& w) {
        for (int i = 0; i < 9000; ++i) {
            std::string piece = std::to_string(i) + (i % 7 == 0 ? "<" : "x");
            w.WriteEscaped(piece);
            expected += std::to_string(i) + (i % 7 == 0 ? "&lt;" : "x");
            w.Put('|');
            expected += '|';
        }
        std::string big(70000, 'q');
        w.Write(big);
        expected += big;
        w.WriteNumber(-42);
        expected += "-42";
    });
    ASSERT_GT(out.size(), 3 * HtmlWriter::kBufferSize);
    EXPECT_EQ(out, expected);
}

TEST(HtmlWriter, FileErrorsRaiseCQuillErrorWithThePath) {
    TempDir dir;
    HtmlWriter w{HtmlSettings{}};
    std::string missing = dir / "no/such/folder.htm";
    try {
        w.Open(missing);
        FAIL() << "opened a file in a missing folder";
    } catch (const CQuillError& e) {
        EXPECT_EQ(e.Code(), err::kNotFound);
        EXPECT_EQ(e.Path(), missing);
    }
}

// A file that may not grow past 100 bytes, written in a child process: the
// child's exit code says which call failed and how.
TEST(HtmlWriter, WriteFailuresRaiseCQuillErrorWithThePath) {
    TempDir dir;
    std::string limited = dir / "limited.htm";
    auto writeLimited = [&](std::size_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 100;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        HtmlWriter w{HtmlSettings{}};
        w.Open(limited);
        try {
            w.Write(std::string(bytes, 'x'));
        } catch (const CQuillError& e) {
            std::_Exit(e.Path() == limited ? 3 : 9);
        }
        try {
            w.Close();
        } catch (const CQuillError& e) {
            std::_Exit(e.Path() == limited ? 4 : 9);
        }
        std::_Exit(0);
    };
    EXPECT_EXIT(writeLimited(HtmlWriter::kBufferSize), ::testing::ExitedWithCode(3), "");
    EXPECT_EXIT(writeLimited(500), ::testing::ExitedWithCode(4), "");
    EXPECT_EXIT(writeLimited(50), ::testing::ExitedWithCode(0), "");
}

TEST(HtmlWriter, DiskFullIsReportedAndADeviceIsNeverRemoved) {
    struct stat st;
    if (::stat("/dev/full", &st) != 0) GTEST_SKIP() << "no /dev/full here";
    // A failure at the first full buffer, and one at Close for the rest.
    HtmlWriter full{HtmlSettings{}};
    full.Open("/dev/full");
    EXPECT_EQ(testing::CodeOf([&] { full.Write(std::string(HtmlWriter::kBufferSize, 'x')); }),
              err::kDiskFull);
    full.Abort();
    full.Open("/dev/full");
    full.Write("short");
    EXPECT_EQ(testing::CodeOf([&] { full.Close(); }), err::kDiskFull);
    full.Abort();
    EXPECT_EQ(::stat("/dev/full", &st), 0);  // a device is never removed
}

TEST(HtmlWriter, AbortRemovesTheFileItCreated) {
    TempDir dir;
    std::string path = dir / "part.htm";
    {
        HtmlWriter w{HtmlSettings{}};
        w.Open(path);
        w.Write("half");
        w.Abort();
    }
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    {
        HtmlWriter w{HtmlSettings{}};
        w.Open(path);
        w.Write("whole");
        w.Close();
    }  // destroying a closed writer keeps its file
    EXPECT_EQ(ReadFile(path), "whole");
}

}  // namespace
}  // namespace qb

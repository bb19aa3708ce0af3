// The text pieces of the Markdown export, checked against the programs that
// will read them: escaped text through cmark, quoted scalars through PyYAML.
// Note names are checked for what every file system and notes app accepts.
#include "export/markdown_text.h"

#include "export/markdown_yaml.h"
#include "markdown_fixture.h"

namespace qb::testing {
namespace {

// The text as cmark's HTML shows it.
std::string HtmlText(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// Each text, escaped at the start of a line, is a paragraph that shows
// exactly that text: no emphasis, list, heading, quote, rule, table, code,
// entity, link or HTML comes out of it.
TEST(MarkdownEscape, CommonMarkShowsTheTextItself) {
    const std::vector<std::string> texts = {
        "*a*",     "_a_",     "**b**",    "# h",        "#tag",
        "1. item", "1) item", "- item",   "+ item",     "> quote",
        "a | b",   "`code`",  "<b>x</b>", "&amp;",      "&#65;",
        "[x](y)",  "![x](y)", "a\\b",     "~~s~~",      "---",
        "***",     "___",     "=",        "<http://a>", "a <!-- c",
        "[x]: /u", "\\*",     "12345.",   "~~~",        "```",
        "a_b_c",   "2*3*4",   "x#",       "#",          "Caf\xC3\xA9 *\xC3\xA9*",
        "-",       "+",       "--",       "1.",         "2)",
        "=",       "== ="};
    std::string markdown, expected;
    for (const std::string& t : texts) {
        markdown += EscapeMarkdown(t, true) + "\n\n";
        expected += "<p>" + HtmlText(t) + "</p>\n";
    }
    EXPECT_EQ(RenderCommonMark(markdown), expected) << markdown;
}

// Inside a line only what is inline syntax needs a backslash.
TEST(MarkdownEscape, InsideALineBlockMarkersStay) {
    EXPECT_EQ(EscapeMarkdown("- a", false), "- a");
    EXPECT_EQ(EscapeMarkdown("1. a", false), "1. a");
    EXPECT_EQ(EscapeMarkdown("- a", true), "\\- a");
    EXPECT_EQ(EscapeMarkdown("1. a", true), "1\\. a");
    EXPECT_EQ(EscapeMarkdown("# a", false), "# a");
    // Only what would open a block gets a backslash at the start.
    EXPECT_EQ(EscapeMarkdown("1.5 litres", true), "1.5 litres");
    EXPECT_EQ(EscapeMarkdown("-5 degrees", true), "-5 degrees");
    EXPECT_EQ(EscapeMarkdown("+1", true), "+1");
    EXPECT_EQ(EscapeMarkdown("=x", true), "=x");
    EXPECT_EQ(EscapeMarkdown("10.\tx", true), "10\\.\tx");
    EXPECT_EQ(EscapeMarkdown("a&b", false), "a\\&b");
    EXPECT_EQ(EscapeMarkdown("a & b", false), "a & b");
}

// A closing "#" would end an ATX heading and vanish from its text.
TEST(MarkdownEscape, HeadingKeepsATrailingHash) {
    std::string md = "# " + EscapeMarkdown("Issue #", false) + "\n";
    EXPECT_EQ(RenderCommonMark(md), "<h1>Issue #</h1>\n") << md;
    md = "# " + EscapeMarkdown("C# and F#", false) + "\n";
    EXPECT_EQ(RenderCommonMark(md), "<h1>C# and F#</h1>\n") << md;
}

TEST(MarkdownEscape, LinkDestinationsReachTheirFiles) {
    EXPECT_EQ(LinkDestination("A b (1).md"), "A%20b%20%281%29.md");
    EXPECT_EQ(LinkDestination("50%.md"), "50%25.md");
    EXPECT_EQ(LinkDestination("<a>\\.md"), "%3Ca%3E%5C.md");
    EXPECT_EQ(LinkDestination("Caf\xC3\xA9.md"), "Caf\xC3\xA9.md");
    // cmark reads the destination back to the name, percent-encoded as a URL.
    std::string html = RenderCommonMark("[x](" + LinkDestination("A b (1).md") + ")\n");
    EXPECT_EQ(html, "<p><a href=\"A%20b%20%281%29.md\">x</a></p>\n");
}

TEST(MarkdownNoteName, ForbiddenCharactersAndSpaces) {
    EXPECT_EQ(SafeNoteName("a<b>c:d\"e/f\\g|h?i*j#k^l[m]n"), "a_b_c_d_e_f_g_h_i_j_k_l_m_n");
    EXPECT_EQ(SafeNoteName("tab\there\r\nnew   line"), "tab here new line");
    EXPECT_EQ(SafeNoteName("bell\x07"), "bell_");
    EXPECT_EQ(SafeNoteName("  ..hidden. . "), "hidden");
    EXPECT_EQ(SafeNoteName(""), "Untitled");
    EXPECT_EQ(SafeNoteName(" . "), "Untitled");
    EXPECT_EQ(SafeNoteName("Caf\xC3\xA9"), "Caf\xC3\xA9");
}

// Windows refuses these names with any extension after them.
TEST(MarkdownNoteName, ReservedDeviceNames) {
    EXPECT_EQ(SafeNoteName("CON"), "CON_");
    EXPECT_EQ(SafeNoteName("nul"), "nul_");
    EXPECT_EQ(SafeNoteName("Com1"), "Com1_");
    EXPECT_EQ(SafeNoteName("LPT9"), "LPT9_");
    EXPECT_EQ(SafeNoteName("con.txt"), "con_.txt");
    EXPECT_EQ(SafeNoteName("aux.tar.gz"), "aux_.tar.gz");
    EXPECT_EQ(SafeNoteName("COM0"), "COM0");
    EXPECT_EQ(SafeNoteName("CONSOLE"), "CONSOLE");
    EXPECT_EQ(SafeNoteName("Conference"), "Conference");
    // The mark on a long name keeps it within the length.
    const std::string longDevice = SafeNoteName("NUL." + std::string(200, 'a'));
    EXPECT_EQ(longDevice.size(), kMaxNoteName);
    EXPECT_EQ(longDevice.substr(0, 5), "NUL_.");
    // ... and drops the space its cut leaves at the end.
    EXPECT_EQ(SafeNoteName("aux." + std::string(kMaxNoteName - 6, 'b') + " c"),
              "aux_." + std::string(kMaxNoteName - 6, 'b'));
}

TEST(MarkdownNoteName, LongNamesAreCutOnACharacterBoundary) {
    std::string title;
    for (int i = 0; i < 100; ++i)
        title += "\xC3\xA9";  // 2 bytes each
    std::string name = SafeNoteName("x" + title);
    EXPECT_LE(name.size(), kMaxNoteName);
    EXPECT_EQ(name.size() % 2, 1u) << "cut inside a character";
    EXPECT_EQ(SafeNoteName(std::string(200, 'a')).size(), kMaxNoteName);
    // A cut that leaves a trailing dot or space drops it.
    EXPECT_EQ(SafeNoteName(std::string(kMaxNoteName - 1, 'a') + ". b"),
              std::string(kMaxNoteName - 1, 'a'));
}

TEST(MarkdownNoteName, UniqueWithoutRegardToCase) {
    FolderNames names;
    names.Take("index.md");
    EXPECT_EQ(names.Unique("Notes", ".md"), "Notes.md");
    EXPECT_EQ(names.Unique("NOTES", ".md"), "NOTES 1.md");
    EXPECT_EQ(names.Unique("notes", ".md"), "notes 2.md");
    EXPECT_EQ(names.Unique("Notes 1", ".md"), "Notes 1 1.md");
    EXPECT_EQ(names.Unique("Index", ".md"), "Index 1.md");
    // Case folding beyond ASCII, and both spellings of a composed letter
    // (a file system that normalises names keeps only one of them).
    EXPECT_EQ(names.Unique("\xC3\x84rger", ".md"), "\xC3\x84rger.md");
    EXPECT_EQ(names.Unique("\xC3\xA4rger", ".md"), "\xC3\xA4rger 1.md");
    EXPECT_EQ(names.Unique("a\xCC\x88rger", ".md"), "a\xCC\x88rger 2.md");
}

TEST(MarkdownNoteName, NamesAlreadyInTheFolderAreTaken) {
    TempDir dir;
    dir.Write("Alpha.md", "mine");
    FolderNames names;
    names.TakeExisting(dir.Path());
    EXPECT_EQ(names.Unique("alpha", ".md"), "alpha 1.md");
    FolderNames none;
    none.TakeExisting(dir / "missing");
    EXPECT_EQ(none.Unique("alpha", ".md"), "alpha.md");
}

// Every text written as a quoted scalar reads back as itself.
TEST(MarkdownYaml, QuotedTextsReadBackUnchanged) {
    const std::vector<std::string> texts = {
        "plain",
        "",
        "colon: in the middle",
        "- leading dash",
        "? question",
        "\"double\" and 'single' quotes",
        "back\\slash",
        "line one\nline two\r\nthree",
        "tab\there",
        "# not a comment",
        "&anchor *alias !tag",
        "[flow, list]",
        "{flow: map}",
        "yes",
        "null",
        "123",
        "2024-03-05",
        "---",
        "...",
        "%directive",
        "@at `tick",
        "  leading and trailing spaces  ",
        "bell\x07 nul" + std::string(1, '\0') + " esc\x1B del\x7F",
        "\xC2\x85next line \xE2\x80\xA8separator \xEF\xBB\xBF bom",
        "Caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80",
    };
    FrontMatter fm;
    for (size_t i = 0; i < texts.size(); ++i)
        fm.Text("k" + std::to_string(i), texts[i]);
    fm.TextList("list", texts);
    TempDir dir;
    std::string path = dir.Write("note.md", fm.Finish() + "\nbody\n");
    std::map<std::string, YamlValue> read = ReadFrontMatter(path);
    for (size_t i = 0; i < texts.size(); ++i) {
        const YamlValue& v = read["k" + std::to_string(i)];
        EXPECT_EQ(v.type, "str") << i;
        EXPECT_EQ(v.value, texts[i]) << i;
        EXPECT_EQ(read["list[" + std::to_string(i) + "]"].value, texts[i]) << i;
    }
    EXPECT_EQ(read["list"].value, std::to_string(texts.size()));
}

// A byte that is no UTF-8 is kept as the character of its value.
TEST(MarkdownYaml, BytesThatAreNoUtf8BecomeCharacters) {
    EXPECT_EQ(YamlQuoted("a\xE9z"), "\"a\xC3\xA9z\"");
    EXPECT_EQ(YamlQuoted("\xC3"), "\"\xC3\x83\"");
    EXPECT_EQ(YamlQuoted("\xED\xA0\x80"), "\"\xC3\xAD\xC2\xA0\\u0080\"") << "a surrogate";
}

TEST(MarkdownYaml, MomentsAndLists) {
    EXPECT_EQ(IsoMoment(20240305, 14 * 3600 + 30 * 60 + 5), "2024-03-05T14:30:05");
    EXPECT_EQ(IsoMoment(20240305, -5), "2024-03-05T00:00:00");
    EXPECT_EQ(IsoMoment(20240305, 86400), "2024-03-05T00:00:00");
    EXPECT_EQ(IsoMoment(20230229, 0), "");
    EXPECT_EQ(IsoMoment(0, 0), "");
    FrontMatter fm;
    fm.TextList("tags", {});
    fm.Mapping("source");
    fm.NestedText("file", "a.qbx");
    fm.NestedPlain("id", "7");
    fm.Plain("date", IsoMoment(20240305, 60));
    fm.Bool("bookmarked", true);
    TempDir dir;
    std::map<std::string, YamlValue> read = ReadFrontMatter(dir.Write("n.md", fm.Finish()));
    EXPECT_EQ(read["tags"].type, "list");
    EXPECT_EQ(read["tags"].value, "0");
    EXPECT_EQ(read["source.file"].value, "a.qbx");
    EXPECT_EQ(read["source.id"].type, "int");
    EXPECT_EQ(read["date"].type, "datetime");
    EXPECT_EQ(read["date"].value, "2024-03-05 00:01:00");
    EXPECT_EQ(read["bookmarked"].type, "bool");
}

}  // namespace
}  // namespace qb::testing

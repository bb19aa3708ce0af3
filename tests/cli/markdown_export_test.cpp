// qbx export --format markdown: the notes folder from the command line, its
// own options beside the range and sort of the other formats, and the demo
// file's notes read back by PyYAML and cmark.
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

class MarkdownCommandTest : public CliTest {
protected:
    // A settings folder of its own, and a fresh notes folder.
    ProgramResult Export(std::vector<std::string> args, RunOptions o = {}) {
        o.Env("HOME", dir_.Path()).Env("XDG_CONFIG_HOME", dir_.Path());
        std::filesystem::remove_all(Folder());
        std::filesystem::create_directory(Folder());
        args.insert(args.begin(), {"export", "--format", "markdown"});
        return Qbx(args, o);
    }
    std::string Folder() const { return dir_ / "notes"; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(Folder()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Index() const { return ReadFile(Folder() + "/index.md"); }
};

TEST_F(MarkdownCommandTest, NotesInTheChosenOrderAndRange) {
    ProgramResult r = Export({path_, Folder()});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(Names(), (std::vector<std::string>{"Chanterelle.md", "Oak and rook.md", "Robin.md",
                                                 "Wren.md", "index.md"}));
    EXPECT_EQ(
        Index(),
        "# notebook\n\n- [Chanterelle](Chanterelle.md)\n- [Oak and rook](Oak%20and%20rook.md)\n"
        "- [Robin](Robin.md)\n- [Wren](Wren.md)\n");
    std::string wren = ReadFile(Folder() + "/Wren.md");
    EXPECT_TRUE(Has(wren, "title: \"Wren\"\ndate: 2023-04-05T00:00:00\n")) << wren;
    EXPECT_TRUE(Has(wren, "tags:\n  - \"Birds\"\n  - \"Two words\"\nbookmarked: true\n")) << wren;
    EXPECT_TRUE(Has(wren, "source:\n  file: \"notebook.qbx\"\n  id: 0\n---\n")) << wren;

    r = Export({path_, Folder(), "--sort", "date-desc", "--wiki-links"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(Index(),
              "# notebook\n\n- [[Chanterelle]]\n- [[Robin]]\n- [[Wren]]\n- [[Oak and rook]]\n");
    r = Export({path_, Folder(), "--range", "bookmarked", "--headings", "--underline"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(Names(), (std::vector<std::string>{"Wren.md", "index.md"}));
}

TEST_F(MarkdownCommandTest, PrivateArticlesWithThePasswordAndTheOption) {
    RunOptions password;
    password.Input(std::string(nb::kPassword) + "\n");
    ProgramResult r = Export({"--password-stdin", path_, Folder()}, password);
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(Names().size(), 5u) << "shown but not asked for";
    r = Export({path_, Folder(), "--include-private"});
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(Names().size(), 5u) << "asked for but locked";
    r = Export({"--password-stdin", path_, Folder(), "--include-private"}, password);
    ASSERT_EQ(r.status, 0) << r;
    EXPECT_EQ(Names().size(), 6u);
    EXPECT_TRUE(Has(ReadFile(Folder() + "/Hidden diary.md"), "\nprivate: true\n"));
    EXPECT_TRUE(Has(Index(), "[Hidden diary](Hidden%20diary.md)"));
}

TEST_F(MarkdownCommandTest, HelpAndFailures) {
    ProgramResult help = Qbx({"export", "--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option :
         {"markdown", "--wiki-links", "--headings", "--include-private", "--underline"})
        EXPECT_TRUE(Has(help.out, option)) << option << "\n" << help.out;

    RunOptions o;
    o.Env("HOME", dir_.Path());
    ProgramResult r = Qbx({"export", path_, dir_ / "missing", "--format", "markdown"}, o);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Can not find this folder: " + (dir_ / "missing"))) << r.err;
    r = Qbx({"export", path_, path_, "--format", "markdown"}, o);
    EXPECT_EQ(r.status, 1) << "a file is no folder";
    r = Qbx({"export", path_, dir_.Path(), "--format", "markdown", "--wiki-links=yes"}, o);
    EXPECT_EQ(r.status, 2) << r;
}

// Every note of the demo has front matter PyYAML reads, every index entry
// reaches its note, and every attachment or picture a note names exists.
TEST_F(MarkdownCommandTest, TheDemoExportsToNotesThatReadBack) {
    std::string demo = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";
    ProgramResult r = Export({demo, Folder()});
    ASSERT_EQ(r.status, 0) << r;
    ASSERT_GT(Names().size(), 20u);
    ASSERT_EQ(::access("/usr/bin/python3", X_OK), 0) << "scripts/deps.sh installs python3-yaml";
    // One run checks the whole folder: front matter, links, attachments.
    const char* check = R"PY(
import os, sys, re, yaml, urllib.parse
folder = sys.argv[1]
problems = []
for name in sorted(os.listdir(folder)):
    if not name.endswith('.md') or name == 'index.md':
        continue
    text = open(os.path.join(folder, name), encoding='utf-8', newline='').read()
    if '\r' in text:
        problems.append(name + ': CR')
    end = text.index('\n---\n', 3)
    fm = yaml.safe_load(text[4:end + 1])
    for key in ('title', 'date', 'modified', 'created', 'tags', 'bookmarked', 'private',
                'attachments', 'source'):
        if key not in fm:
            problems.append(name + ': no ' + key)
    for a in fm['attachments']:
        if a.startswith('attachments/') and not os.path.isfile(os.path.join(folder, a)):
            problems.append(name + ': missing ' + a)
    for target in re.findall(r'\]\(([^)]*)\)', text[end:]):
        path = urllib.parse.unquote(target)
        if '://' not in path and not os.path.isfile(os.path.join(folder, path)):
            problems.append(name + ': broken link ' + target)
index = open(os.path.join(folder, 'index.md'), encoding='utf-8').read()
for target in re.findall(r'\]\(([^)]*)\)', index):
    if not os.path.isfile(os.path.join(folder, urllib.parse.unquote(target))):
        problems.append('index: broken link ' + target)
print('\n'.join(problems))
)PY";
    ProgramResult c = RunProgram("/usr/bin/python3", {"-c", check, Folder()});
    EXPECT_EQ(c.status, 0) << c;
    EXPECT_EQ(c.out, "\n") << c.out;
}

}  // namespace
}  // namespace qb::testing

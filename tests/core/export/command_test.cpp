// The Export command: the setup dialog's rules, the way from its answers to
// a file or a folder, and the UTF-8 choice for text and CSV files.
#include <gtest/gtest.h>

#include "app/directories.h"
#include "app/settings.h"
#include "core/export/export_fixture.h"
#include "export/copy_html.h"
#include "export/export_command.h"
#include "index/index_model.h"

namespace qb::testing {
namespace {

ExportContext ListShowing(int32_t mode, int64_t titles) {
    ExportContext c;
    c.titleMode = mode;
    c.titleCount = titles;
    return c;
}

TEST(ExportSetupTest, StartsAtWhatTheWindowsShow) {
    ExportContext c = ListShowing(title_mode::kAllTitles, 5);
    EXPECT_EQ(InitialExportRange(c), ExportRange::kAll);
    c.articleWindowActive = true;
    EXPECT_EQ(InitialExportRange(c), ExportRange::kCurrent);

    c = ListShowing(title_mode::kBookmarked, 2);
    c.visibleBookmarks = 2;
    EXPECT_EQ(InitialExportRange(c), ExportRange::kBookmarked);
    // Bookmarked titles that are all hidden leave nothing to start from.
    c = ListShowing(title_mode::kBookmarked, 0);
    EXPECT_EQ(InitialExportRange(c), ExportRange::kAll);

    EXPECT_EQ(InitialExportRange(ListShowing(title_mode::kQuery, 3)), ExportRange::kSelected);
    EXPECT_EQ(InitialExportRange(ListShowing(title_mode::kQuery, 0)), ExportRange::kAll);
}

TEST(ExportSetupTest, RangesThatCannotBeChosen) {
    ExportContext c = ListShowing(title_mode::kAllTitles, 5);
    ExportSetup all(ExportOptions{}, c);
    EXPECT_TRUE(all.RangeEnabled(ExportRange::kAll));
    EXPECT_FALSE(all.RangeEnabled(ExportRange::kBookmarked));
    EXPECT_FALSE(all.RangeEnabled(ExportRange::kCurrent));
    // The list of every title is no selection.
    EXPECT_FALSE(all.RangeEnabled(ExportRange::kSelected));
    EXPECT_FALSE(all.RangeEnabled(ExportRange::kHighlighted));
    EXPECT_FALSE(all.SetRange(ExportRange::kHighlighted));
    EXPECT_EQ(all.Range(), ExportRange::kAll);

    c = ListShowing(title_mode::kSelected, 4);
    c.visibleBookmarks = 1;
    c.highlightedCount = 2;
    c.articleWindowActive = true;
    ExportSetup some(ExportOptions{}, c);
    for (ExportRange r : {ExportRange::kAll, ExportRange::kBookmarked, ExportRange::kSelected,
                          ExportRange::kCurrent, ExportRange::kHighlighted})
        EXPECT_TRUE(some.RangeEnabled(r)) << int(r);
    EXPECT_TRUE(some.SetRange(ExportRange::kHighlighted));
    EXPECT_EQ(some.Options().range, ExportRange::kHighlighted);
}

TEST(ExportSetupTest, NumbersOnlyForTitlesAloneAndOkNeedsContent) {
    ExportSetup s(ExportOptions{}, ExportContext{});
    EXPECT_FALSE(s.NumbersEnabled());
    s.SetFlag(export_flags::kNumbers, true);
    EXPECT_FALSE(s.Has(export_flags::kNumbers));

    for (uint16_t f : {export_flags::kDates, export_flags::kAttachments, export_flags::kKeywords,
                       export_flags::kContent})
        s.SetFlag(f, false);
    ASSERT_TRUE(s.NumbersEnabled());  // titles (and the header) only
    s.SetFlag(export_flags::kNumbers, true);
    EXPECT_TRUE(s.Has(export_flags::kNumbers));
    // Leaving titles-only mode clears the numbers.
    s.SetFlag(export_flags::kDates, true);
    EXPECT_FALSE(s.Has(export_flags::kNumbers));
    EXPECT_FALSE(s.NumbersEnabled());

    s.SetFlag(export_flags::kDates, false);
    s.SetFlag(export_flags::kTitles, false);
    EXPECT_TRUE(s.Has(export_flags::kHeader));
    EXPECT_FALSE(s.OkEnabled());  // the header alone is nothing to export
    s.SetSort(true, true);
    EXPECT_EQ(s.Sort(), ExportSort::kDatesDescending);
    EXPECT_TRUE(s.SortsByDate() && s.SortsDescending());
}

TEST(ExportSetupTest, StoredFileTypeIsClampedIntoTheList) {
    EXPECT_EQ(InitialTypePosition(0, 5), 0u);
    EXPECT_EQ(InitialTypePosition(3, 5), 2u);
    EXPECT_EQ(InitialTypePosition(9, 3), 2u);
    EXPECT_EQ(InitialTypePosition(-4, 3), 0u);
}

// Answers the command's dialogs as a test tells it and records what they
// were shown.
class ScriptedDialogs : public ExportDialogs {
public:
    bool Setup(ExportSetup& setup) override {
        ++setups;
        setupRange = setup.Range();
        if (!setupAnswer) return false;
        setup.separateFiles = separate;
        if (flags) {
            for (uint16_t f = 1; f <= export_flags::kContent; f <<= 1)
                setup.SetFlag(f, (*flags & f) != 0);
        }
        return true;
    }
    std::optional<ExportTarget> AskFile(const std::vector<ExportFileType>& types, size_t initial,
                                        const std::string& folder,
                                        const std::string& name) override {
        shownTypes = types;
        initialType = initial;
        shownFolder = folder;
        proposedName = name;
        return answer;
    }
    std::optional<ExportTarget> AskFolder(const std::vector<ExportFileType>& types, size_t initial,
                                          const std::string& folder,
                                          MarkdownOptions& markdown) override {
        shownTypes = types;
        initialType = initial;
        shownFolder = folder;
        askedFolder = true;
        shownMarkdown = markdown;
        if (answer && markdownAnswer) markdown = *markdownAnswer;
        return answer;
    }

    bool setupAnswer = true, separate = false, askedFolder = false;
    std::optional<uint16_t> flags;
    int setups = 0;
    ExportRange setupRange = ExportRange::kAll;
    std::vector<ExportFileType> shownTypes;
    size_t initialType = 99;
    std::string shownFolder, proposedName;
    std::optional<ExportTarget> answer;
    MarkdownOptions shownMarkdown;
    std::optional<MarkdownOptions> markdownAnswer;
};

class ExportCommandRunTest : public ExportTest {
public:
    ExportServices Services() {
        ExportServices s;
        s.doc = doc.get();
        s.locale = &locale;
        s.ui = &ui;
        s.settings = &appSettings;
        s.dirs = &dirs;
        s.dialogs = &dialogs;
        return s;
    }
    ExportResult RunCommand() { return RunExportCommand(Services(), options, windows); }

    Settings appSettings;
    Directories dirs;
    ScriptedDialogs dialogs;
    ExportOptions options;
    ExportWindows windows;
};

TEST_F(ExportCommandRunTest, CancelledDialogsWriteNothing) {
    OpenArticles({Plain("One", "x")});
    dialogs.setupAnswer = false;
    EXPECT_EQ(RunCommand().outcome, ExportOutcome::kNothing);
    EXPECT_TRUE(dialogs.shownTypes.empty());

    dialogs.setupAnswer = true;  // then the save dialog is cancelled
    EXPECT_EQ(RunCommand().outcome, ExportOutcome::kNothing);
    EXPECT_EQ(dialogs.shownTypes.size(), 5u);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"test.qbx"});
}

TEST_F(ExportCommandRunTest, FileTypeNameAndFolderAreRemembered) {
    OpenArticles({Plain("a/b:c*d", "text")});
    dirs.SetFolder(FolderType::ImportExport, dir.Path());
    windows.context.articleWindowActive = true;
    windows.ranges.current = 0;
    windows.currentTitle = "a/b:c*d";
    options.fileType = 3;  // HTML
    std::filesystem::create_directory(dir / "sub");
    dialogs.answer = ExportTarget{dir / "sub/one.txt", 0};

    ExportResult r = RunCommand();
    ASSERT_TRUE(r.Succeeded()) << ui.LastText();
    EXPECT_EQ(dialogs.setupRange, ExportRange::kCurrent);
    EXPECT_EQ(dialogs.initialType, 2u);
    EXPECT_EQ(dialogs.shownFolder, dir.Path());
    EXPECT_EQ(dialogs.proposedName, "a_b_c_d");
    EXPECT_NE(ReadFile(dir / "sub/one.txt").find("a/b:c*d\r\n"), std::string::npos);
    // The next run starts at the type and folder chosen.
    EXPECT_EQ(options.fileType, 1);
    EXPECT_EQ(options.range, ExportRange::kCurrent);
    EXPECT_EQ(dirs.Folder(FolderType::ImportExport), dir / "sub");
}

TEST_F(ExportCommandRunTest, SeparateFilesGoToTheFolderDialog) {
    OpenArticles({Plain("Notes", "one"), Plain("Notes", "two")});
    dialogs.separate = true;
    std::filesystem::create_directory(dir / "out");
    dialogs.answer = ExportTarget{dir / "out", 2};  // HTML, the third of the folder's types
    ASSERT_TRUE(RunCommand().Succeeded()) << ui.LastText();
    EXPECT_TRUE(dialogs.askedFolder);
    ASSERT_EQ(dialogs.shownTypes.size(), 4u);
    EXPECT_EQ(dialogs.shownTypes[3].format, ExportFormat::kMarkdown);
    EXPECT_EQ(dialogs.shownTypes[3].description, "Markdown notes folder");
    EXPECT_EQ(Names(dir / "out"), (std::vector<std::string>{"Notes.htm", "Notes1.htm", "toc.htm"}));
    EXPECT_EQ(options.fileType, 3);
}

TEST_F(ExportCommandRunTest, MarkdownOptionsOfTheFolderDialogReachTheNotesAndAreKept) {
    OpenArticles({Rich("Big", "{\\rtf1 {\\b\\fs48 Big}\\par body\\par}")});
    dialogs.separate = true;
    std::filesystem::create_directory(dir / "notes");
    dialogs.answer = ExportTarget{dir / "notes", 3};
    MarkdownOptions chosen;
    chosen.headings = true;
    dialogs.markdownAnswer = chosen;
    ASSERT_TRUE(RunCommand().Succeeded()) << ui.LastText();
    EXPECT_NE(ReadFile(dir / "notes/Big.md").find("# Big\n"), std::string::npos)
        << ReadFile(dir / "notes/Big.md");
    EXPECT_TRUE(std::filesystem::exists(dir / "notes/index.md"));
    EXPECT_EQ(options.fileType, 4);
    EXPECT_TRUE(options.markdown.headings);

    // The next run shows what was chosen; a cancelled dialog changes nothing.
    dialogs.markdownAnswer.reset();
    dialogs.answer.reset();
    RunCommand();
    EXPECT_TRUE(dialogs.shownMarkdown.headings);
    EXPECT_EQ(dialogs.initialType, 3u);
    EXPECT_TRUE(options.markdown.headings);
}

TEST_F(ExportCommandRunTest, LostCharactersOfferUtf8) {
    OpenArticles({Rich("T\xE9", "{\\rtf1 a\\u1046?b\\par}")});
    dialogs.flags = uint16_t(0x42);
    std::string target = dir / "out.txt";
    dialogs.answer = ExportTarget{target, 0};

    ui.results = {MessageResult::No};
    ExportResult r = RunCommand();
    ASSERT_TRUE(r.Succeeded());
    EXPECT_EQ(r.lostChars, 1);
    EXPECT_NE(ui.LastText().find("1 characters"), std::string::npos) << ui.LastText();
    EXPECT_EQ(ReadFile(target), "T\xE9\r\n\r\na?b\r\n");

    ui.results = {MessageResult::Yes};
    r = RunCommand();
    ASSERT_TRUE(r.Succeeded());
    EXPECT_EQ(r.lostChars, 0);
    // Stored bytes and rich text alike are UTF-8 now.
    EXPECT_EQ(ReadFile(target),
              "T\xC3\xA9\r\n\r\na\xD0\x96"
              "b\r\n");
}

TEST_F(ExportTest, Utf8TextWrapsByCharactersAndCsvDecodesStoredText) {
    OpenArticles({Plain("\xE9t\xE9", "\xE4\xE4\xE4\xE4 bbbb cccc")});
    settings.utf8Text = true;
    settings.lineLength = 10;
    SetFlags(0x40);
    // Four two-byte letters are four columns, as in the code page.
    EXPECT_EQ(Export(ExportFormat::kText), "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4 bbbb \r\ncccc\r\n");
    SetFlags(0x22);
    EXPECT_EQ(Export(ExportFormat::kCsv), "\"\xC3\xA9t\xC3\xA9\",\"\"\r\n");
    // RTF keeps its own encoding whatever the text choice.
    SetFlags(0x02);
    EXPECT_NE(Export(ExportFormat::kRtf).find("\\'e9t\\'e9"), std::string::npos);
}

}  // namespace
}  // namespace qb::testing

namespace qb::testing {
namespace {

TEST_F(ExportTest, CopyHtmlIsAUtf8PageOfTheArticleSectionsInOrder) {
    OpenArticles({Rich("Caf\xE9", "{\\rtf1 Ice \\u1046? here\\par}"), Plain("Second", "plain")});
    std::string html = ArticlesCopyHtml(*doc, {1, 0}, locale, ui, nullptr);
    EXPECT_NE(html.find("charset=utf-8"), std::string::npos);
    // No byte of the code page is left: the title is UTF-8 or an entity, the
    // character the code page lacks a reference.
    EXPECT_EQ(html.find('\xE9'), std::string::npos);
    EXPECT_TRUE(html.find("Caf\xC3\xA9") != std::string::npos ||
                html.find("Caf&eacute;") != std::string::npos)
        << html;
    EXPECT_NE(html.find("&#1046;"), std::string::npos) << html;
    size_t second = html.find("<b>Second</b>");
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(second, html.find("Caf"));
    EXPECT_NE(html.find("plain"), std::string::npos);
    // A section, not an export: no contents list.
    EXPECT_EQ(html.find("Table of Contents"), std::string::npos);
    EXPECT_NE(html.find("</HTML>"), std::string::npos);
}

}  // namespace
}  // namespace qb::testing

// The reader's command line: known options, the file operand, and every
// unknown option refused.
#include <gtest/gtest.h>

#include "app/program_version.h"
#include "app/reader_options.h"
#include "app/startup.h"

namespace qb {
namespace {

TEST(ReaderOptions, KnownOptionsAndTheFile) {
    ReaderOptions o = ParseReaderOptions({"--screenshot", "out.png", "notes.qbx"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.screenshot, "out.png");
    EXPECT_EQ(o.files, std::vector<std::string>{"notes.qbx"});
    EXPECT_TRUE(ParseReaderOptions({"--version"}).showVersion);
    EXPECT_TRUE(ParseReaderOptions({"-h"}).showHelp);
}

TEST(ReaderOptions, UnknownOptionsAreMistakes) {
    EXPECT_EQ(ParseReaderOptions({"--no-such-option", "notes.qbx"}).error,
              "unknown option '--no-such-option'");
    EXPECT_EQ(ParseReaderOptions({"-x"}).error, "unknown option '-x'");
    EXPECT_EQ(ParseReaderOptions({"notes.qbx", "--screenshot"}).error,
              "--screenshot lacks its file name");
}

TEST(ReaderOptions, AfterTheDoubleDashEverythingIsAName) {
    ReaderOptions o = ParseReaderOptions({"--", "-odd.qbx"});
    EXPECT_EQ(o.error, "");
    // Start-up reads "--" itself, so it is passed on with the name.
    EXPECT_EQ(o.files, (std::vector<std::string>{"--", "-odd.qbx"}));
    EXPECT_EQ(CommandLineFile(o.files), "-odd.qbx");
}

TEST(ReaderOptions, PrintPdfTakesItsChoicesAndOneFile) {
    ReaderOptions o =
        ParseReaderOptions({"--print-pdf", "out.pdf", "--range", "bookmarked", "--sort",
                            "date-desc", "--titles-only", "--numbered", "notes.qbx"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.printPdf, "out.pdf");
    EXPECT_EQ(o.printRange, "bookmarked");
    EXPECT_EQ(o.printSort, "date-desc");
    EXPECT_TRUE(o.printTitlesOnly);
    EXPECT_TRUE(o.printNumbered);
    EXPECT_EQ(o.files, std::vector<std::string>{"notes.qbx"});

    ReaderOptions plain = ParseReaderOptions({"--print-pdf", "out.pdf", "--", "-odd.qbx"});
    EXPECT_EQ(plain.error, "");
    EXPECT_EQ(plain.printRange, "all");
    EXPECT_EQ(plain.printSort, "title");
    EXPECT_FALSE(plain.printTitlesOnly);
}

TEST(ReaderOptions, PrintPdfMistakes) {
    auto error = [](std::vector<std::string> args) { return ParseReaderOptions(args).error; };
    EXPECT_EQ(error({"--print-pdf"}), "--print-pdf lacks its value");
    EXPECT_EQ(error({"--print-pdf", "out.pdf"}), "--print-pdf takes exactly one data file");
    EXPECT_EQ(error({"--print-pdf", "out.pdf", "a.qbx", "b.qbx"}),
              "--print-pdf takes exactly one data file");
    EXPECT_EQ(error({"--print-pdf", "out.pdf", "--range", "selected", "a.qbx"}),
              "--range takes all or bookmarked");
    EXPECT_EQ(error({"--print-pdf", "out.pdf", "--sort", "size", "a.qbx"}),
              "--sort takes title, title-desc, date or date-desc");
    EXPECT_EQ(error({"--print-pdf", "out.pdf", "--numbered", "a.qbx"}),
              "--numbered needs --titles-only");
    EXPECT_EQ(error({"--print-pdf", "out.pdf", "--screenshot", "s.png", "a.qbx"}),
              "--print-pdf and --screenshot exclude each other");
    // Without --print-pdf the print choices are mistakes, not silently dropped.
    EXPECT_EQ(error({"--titles-only", "a.qbx"}),
              "--range, --sort, --titles-only and --numbered are for --print-pdf");
    EXPECT_EQ(error({"--sort"}), "--sort lacks its value");
}

TEST(ProgramVersion, TextNumbersAndHalves) {
    ProgramVersion v = MakeProgramVersion(4, 13, 2, 81);
    EXPECT_EQ(v.text, "4.1.3");
    EXPECT_EQ(v.Numbers(), "4.13.2.81");
    EXPECT_EQ(v.High(), (4u << 16) | 13u);
    EXPECT_EQ(v.Low(), (2u << 16) | 81u);
    EXPECT_EQ(MakeProgramVersion(4, 13, 1, 5).text, "4.1.3.5 (Beta)");
    EXPECT_EQ(MakeProgramVersion(4, 13, 0, 5).text, "4.1.3.5 (Alpha)");
}

TEST(ProgramVersion, TheVersionLineNamesTheTextAndTheFourNumbers) {
    ProgramVersion v = OwnProgramVersion();
    EXPECT_EQ(VersionLine("qbx"), "qbx " + v.text + " (" + v.Numbers() + ")");
}

}  // namespace
}  // namespace qb

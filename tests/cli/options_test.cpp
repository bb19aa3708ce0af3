// How every qbx command reads its arguments: help, unknown options, missing
// values, options after the file, "--", and which mistake is reported when
// there are several. A usage error prints one line naming the mistake and the
// command's usage on stderr, and exits with status 2.
#include "cli_fixture.h"

namespace qb::testing {
namespace {

class OptionsTest : public CliTest {
protected:
    static std::string UsageOf(const std::string& command) {
        ProgramResult help = Qbx({command, "--help"});
        EXPECT_EQ(help.status, 0) << help;
        return help.out;
    }

    // `args` is a usage error of `command` whose line says `why` (none: only
    // the usage is printed).
    void ExpectUsageError(const std::vector<std::string>& args, const std::string& why) {
        const std::string& command = args.front();
        ProgramResult r = Qbx(args);
        std::string expected = why.empty() ? "" : "qbx " + command + ": " + why + "\n";
        expected += UsageOf(command);
        EXPECT_EQ(r.status, 2) << r;
        EXPECT_EQ(r.err, expected) << r;
        EXPECT_TRUE(r.out.empty()) << r;
    }
};

const std::vector<std::string> kFileCommands = {"dump",   "info",  "keywords",
                                                "titles", "query", "saved"};

// The arguments after the command that complete it (query needs an expression).
std::vector<std::string> Complete(const std::string& command, const std::string& path) {
    if (command == "query") return {path, "Birds"};
    return {path};
}

TEST_F(OptionsTest, HelpAnywhereWinsOverWhatFollows) {
    for (const std::string& c : kFileCommands) {
        std::string usage = UsageOf(c);
        for (const char* help : {"--help", "-h"}) {
            for (bool before : {true, false}) {
                std::vector<std::string> args = {c};
                if (before) args.push_back(help);
                for (const std::string& a : Complete(c, path_))
                    args.push_back(a);
                if (!before) args.push_back(help);
                args.push_back("--no-such-option");
                ProgramResult r = Qbx(args);
                EXPECT_EQ(r.status, 0) << c << " " << help << "\n" << r;
                EXPECT_EQ(r.out, usage) << c;
                EXPECT_TRUE(r.err.empty()) << c << "\n" << r;
            }
        }
    }
    ProgramResult rtf = Qbx({"rtf", "-", "-h"});
    EXPECT_EQ(rtf.status, 0) << rtf;
    EXPECT_EQ(rtf.out, UsageOf("rtf"));
}

TEST_F(OptionsTest, UnknownOptionsBeforeAndAfterTheFile) {
    for (const std::string& c : kFileCommands) {
        std::vector<std::string> tail = Complete(c, path_);
        std::vector<std::string> before = {c, "--bogus"};
        before.insert(before.end(), tail.begin(), tail.end());
        ExpectUsageError(before, "unknown option '--bogus'");
        std::vector<std::string> after = {c};
        after.insert(after.end(), tail.begin(), tail.end());
        after.push_back("--bogus");
        ExpectUsageError(after, "unknown option '--bogus'");
        // "--" ends nothing: it is an unknown option like any other.
        std::vector<std::string> dashes = {c, "--"};
        dashes.insert(dashes.end(), tail.begin(), tail.end());
        ExpectUsageError(dashes, "unknown option '--'");
        ExpectUsageError({c, "-x", path_}, "unknown option '-x'");
    }
    ExpectUsageError({"info", "--json=1", path_}, "unknown option '--json=1'");
    // --json belongs to info alone.
    ExpectUsageError({"dump", "--json", path_}, "unknown option '--json'");
    ExpectUsageError({"keywords", path_, "--json"}, "unknown option '--json'");
    ExpectUsageError({"titles", path_, "--"}, "unknown option '--'");
    ExpectUsageError({"query", path_, "Birds", "--"}, "unknown option '--'");
    ExpectUsageError({"saved", path_, "--"}, "unknown option '--'");
    ExpectUsageError({"rtf", "--html", "-"}, "unknown option '--html'");
    ExpectUsageError({"rtf", "-", "--"}, "unknown option '--'");
}

TEST_F(OptionsTest, AfterTheFileASingleDashBeginsAnOperandOnlyWhereOneMayFollow) {
    for (const char* c : {"dump", "info", "keywords", "titles"})
        ExpectUsageError({c, path_, "-x"}, "unknown option '-x'");
    // query: "-x" is the expression (a keyword that is not there).
    ProgramResult r = Qbx({"query", path_, "-x"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "at 0-2\n")) << r;
    // saved: "-x" is the name of a query.
    r = Qbx({"saved", path_, "-x"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_EQ(r.err, "qbx saved: no saved query is named -x\n") << r;
    // A lone "-" is an operand everywhere: the file "-" does not exist.
    r = Qbx({"info", "-"});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "error: Can not find this file: -\n")) << r;
}

TEST_F(OptionsTest, KnownOptionsAfterTheOperands) {
    ProgramResult r = Qbx({"info", path_, "--json", "--allow-newer"});
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out.rfind("{", 0), 0u) << r;
    r = Qbx({"keywords", path_, "--password-stdin"}, RunOptions().Input("pw\n"));
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_TRUE(Has(r.out, "Secret\r\n")) << r;
    r = Qbx({"saved", path_, "Birds only", "--allow-newer", "--sort", "1"});
    EXPECT_EQ(r.status, 0) << r;
    r = Qbx({"rtf", "-", "--json"}, RunOptions().Input("{\\rtf1 x}"));
    EXPECT_EQ(r.status, 0) << r;
    EXPECT_EQ(r.out.rfind("{", 0), 0u) << r;
}

TEST_F(OptionsTest, MissingValues) {
    for (const char* option : {"--sort", "--keyword"})
        ExpectUsageError({"titles", path_, option}, "an option lacks its value");
    for (const char* option : {"--from", "--to", "--sort"})
        ExpectUsageError({"query", path_, "Birds", option}, "an option lacks its value");
    ExpectUsageError({"saved", path_, "--sort"}, "--sort lacks its value");
}

TEST_F(OptionsTest, AValueIsTheNextArgumentWhateverItLooksLike) {
    // The keyword is named "--help": no help, and no such keyword.
    ProgramResult r = Qbx({"titles", "--keyword", "--help", path_});
    EXPECT_EQ(r.status, 1) << r;
    EXPECT_TRUE(Has(r.err, "--help\n")) << r;
    EXPECT_TRUE(r.out.empty()) << r;
    ExpectUsageError({"titles", path_, "--sort", "--help"}, "--sort takes 0 to 11");
    ExpectUsageError({"saved", path_, "--sort", "-1"}, "--sort takes 0 to 11");
}

TEST_F(OptionsTest, TheFirstMistakeIsTheOneReported) {
    ExpectUsageError({"titles", path_, "--sort", "12", "--bogus"}, "--sort takes 0 to 11");
    ExpectUsageError({"titles", path_, "--bogus", "--sort", "12"}, "unknown option '--bogus'");
    ExpectUsageError({"info", path_, path_, "--bogus"}, "one file only");
    ExpectUsageError({"info", path_, path_, "--help"}, "one file only");
    ExpectUsageError({"query", path_, "Birds", "Trees", "--help"}, "one expression only; quote it");
    ExpectUsageError({"saved", path_, "a", "b", "--bogus"}, "one query name only");
    ExpectUsageError({"rtf", "a.rtf", "b.rtf"}, "only one file may be given");
    // Checks of the whole command line come after every argument was read.
    ExpectUsageError({"titles", path_, "--bookmarked", "--attachments", path_}, "one file only");
    ExpectUsageError({"titles", path_, "--bookmarked", "--attachments"},
                     "--bookmarked and --attachments exclude each other");
}

TEST_F(OptionsTest, MissingOperandsPrintOnlyTheUsage) {
    for (const std::string& c : kFileCommands)
        ExpectUsageError({c}, "");
    ExpectUsageError({"info", "--json"}, "");
    ExpectUsageError({"query", path_}, "");
    ExpectUsageError({"query", path_, "--sort", "1"}, "");
    ExpectUsageError({"query", path_, " "}, "the expression is empty");
    ExpectUsageError({"rtf", "--text"}, "");
    // An empty FILE is none: the next operand takes its place.
    ExpectUsageError({"info", "", ""}, "");
    EXPECT_EQ(Qbx({"info", "", path_}).status, 0);
    EXPECT_EQ(Qbx({"saved", "", path_, "Birds only"}).status, 0);
}

}  // namespace
}  // namespace qb::testing

// qbx links --eval: the request ops, their answers, and lines that are not
// requests.
#include <sys/stat.h>

#include <sstream>

#include "cli_fixture.h"

namespace qb::testing {
namespace {

std::vector<std::string> Eval(const std::string& input, int expectStatus = 0) {
    ProgramResult r = RunQbx({"links", "--eval"}, RunOptions().Input(input));
    EXPECT_EQ(r.status, expectStatus) << r;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(QbxLinks, AnswersEachOpOnOneLine) {
    std::vector<std::string> out =
        Eval(R"({"op":"word","word":"jane@x.org,"})"
             "\n"
             R"({"op":"word","word":"plain"})"
             "\n"
             R"({"op":"range","text":"see http://a.b/c. now","start":0,"length":21})"
             "\n"
             R"({"op":"wordAt","text":"abcLINKdef","pos":1,"storedLinks":[[3,7]]})"
             "\n"
             R"({"op":"doubleClick","text":"go www.x.y now","pos":4})"
             "\n"
             R"({"op":"doubleClick","text":"go file://\"/a b\" x","pos":4})"
             "\n"
             R"({"op":"doubleClick","text":"go","pos":0})"
             "\n");
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0],
              R"({"kind": 10, "linkStart": 0, "linkLength": 10, "linkText": "mailto:jane@x.org"})");
    EXPECT_EQ(out[1], R"({"kind": 0, "linkStart": null, "linkLength": 0, "linkText": ""})");
    EXPECT_EQ(out[2], R"({"kind": 3, "rangeStart": 0, "beforeLength": 4, "linkStart": 4, )"
                      R"("linkLength": 12, "afterPos": 16, "afterLength": 5})");
    EXPECT_EQ(out[3], R"({"first": 0, "length": 3, "word": "abc"})");
    EXPECT_EQ(out[4], R"({"open": "web", "target": "www.x.y", "select": [3, 10]})");
    EXPECT_EQ(out[5], R"({"open": "file", "target": "/a b", "select": [3, 16]})");
    EXPECT_EQ(out[6], "null");
}

TEST(QbxLinks, PositionsAreUtf16Indexes) {
    // U+1F600 takes two UTF-16 units, U+00E9 one; both are punctuation.
    std::vector<std::string> out =
        Eval(R"({"op":"word","word":"\ud83d\ude00 http://x.y"})"
             "\n"
             "{\"op\":\"wordAt\",\"text\":\"\xC3\xA9t\xC3\xA9 www.x\",\"pos\":4}\n");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_TRUE(Has(out[0], R"("linkStart": 3, "linkLength": 10)")) << out[0];
    EXPECT_EQ(out[1], R"({"first": 4, "length": 5, "word": "www.x"})");
}

TEST(QbxLinks, MalformedLinesGetAnErrorAndTheNextLineIsRead) {
    std::string deep(200, '[');
    std::vector<std::string> out = Eval("garbage\n" + deep + "\n" +
                                        R"({"op":"word","word":"\ud83d"})"
                                        "\n"
                                        R"({"op":"frob"})"
                                        "\n"
                                        R"({"op":"range","text":"x","start":0.5,"length":1})"
                                        "\n"
                                        R"({"op":"wordAt","text":"x","pos":0,"storedLinks":[[1]]})"
                                        "\n"
                                        R"({"op":"word"})"
                                        "\n"
                                        "{\"op\":\"word\",\"word\":\"\xFF\"}\n"
                                        R"([1,2])"
                                        "\n"
                                        R"({"op":"resolve","base":"b","drive":"C"})"
                                        "\n"
                                        R"({"op":"word","word":"www.x.y"} x)"
                                        "\n"
                                        R"({"op":"word","word":"www.x.y"})");  // no line end
    ASSERT_EQ(out.size(), 12u);
    for (size_t i = 0; i + 1 < out.size(); ++i)
        EXPECT_EQ(out[i].rfind(R"({"error": ")", 0), 0u) << i << ": " << out[i];
    EXPECT_TRUE(Has(out[1], "nested too deeply")) << out[1];
    EXPECT_TRUE(Has(out[2], "unpaired surrogate")) << out[2];
    EXPECT_TRUE(Has(out[6], R"(\"word\" is missing)")) << out[6];
    EXPECT_TRUE(Has(out[11], R"("kind": 9)")) << out[11];
}

TEST(QbxLinks, ResolvesThroughTheReadersDriveSettings) {
    TempDir home;
    std::string notes = home.Path() + "/disk-c/notes";
    ASSERT_EQ(::mkdir((home.Path() + "/disk-c").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(notes.c_str(), 0755), 0);
    home.Write("disk-c/notes/Plan.TXT", "x");
    ASSERT_EQ(::mkdir((home.Path() + "/Tarnwick Software").c_str(), 0755), 0);
    home.Write("Tarnwick Software/Quillbox Reader.ini",
               "[Drives]\nC:=" + home.Path() + "/disk-c\n");
    ProgramResult r = RunQbx(
        {"links", "--eval"},
        RunOptions()
            .Env("XDG_CONFIG_HOME", home.Path())
            .Input(R"({"op":"resolve","path":"C:\\Notes\\plan.txt","base":"","drive":"C"})"
                   "\n"
                   R"({"op":"resolve","path":".\\a.txt","base":"D:\\base","drive":"C"})"
                   "\n"
                   R"({"op":"resolve","path":".:\\notes\\x","base":"","drive":"c"})"
                   "\n"
                   R"({"op":"resolve","path":"x","base":"","drive":"CD"})"
                   "\n"));
    ASSERT_EQ(r.status, 0) << r;
    std::vector<std::string> out;
    std::istringstream in(r.out);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    ASSERT_EQ(out.size(), 4u) << r.out;
    // Components spelled in another case are found as they are on disk.
    EXPECT_EQ(out[0], R"({"windows": "C:\\Notes\\plan.txt", "linux": ")" + notes + R"(/Plan.TXT"})");
    EXPECT_EQ(out[1], R"({"windows": "D:\\base\\a.txt", "linux": null})");
    EXPECT_EQ(out[2], R"({"windows": "c:\\notes\\x", "linux": ")" + notes + R"(/x"})");
    EXPECT_TRUE(Has(out[3], "one letter")) << out[3];
}

TEST(QbxLinks, Usage) {
    ProgramResult none = RunQbx({"links"});
    EXPECT_EQ(none.status, 2) << none;
    EXPECT_TRUE(Has(none.err, "--eval is required")) << none;
    ProgramResult extra = RunQbx({"links", "--eval", "file.qbx"});
    EXPECT_EQ(extra.status, 2) << extra;
    ProgramResult help = RunQbx({"links", "--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* op : {"word", "range", "wordAt", "doubleClick", "resolve"})
        EXPECT_TRUE(Has(help.out, std::string("\"op\":\"") + op + "\"")) << op;
}

}  // namespace
}  // namespace qb::testing

// The product's #include lines against the layer graph of the architecture
// notes, and the checker itself on small made-up trees.
#include "layers/include_graph.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qb::layers {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<SourceFile> ProductSources() {
    std::vector<SourceFile> files;
    fs::path root = QB_SOURCE_DIR;
    for (const char* top : {"src", "tools"})
        for (const auto& e : fs::recursive_directory_iterator(root / top)) {
            auto ext = e.path().extension();
            if (!e.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            files.push_back({fs::relative(e.path(), root).generic_string(), ReadAll(e.path())});
        }
    return files;
}

LayerGraph DocumentedGraph() {
    LayerGraph graph;
    std::string error;
    EXPECT_TRUE(
        ParseLayerGraph(ReadAll(fs::path(QB_SOURCE_DIR) / "docs/architecture.md"), graph, error))
        << error;
    return graph;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines)
        s += l + "\n";
    return s;
}

TEST(ProductLayers, EveryIncludeFollowsTheDocumentedGraph) {
    LayerGraph graph = DocumentedGraph();
    ASSERT_FALSE(graph.uses.empty());
    EXPECT_TRUE(LayersOnCycles(graph).empty()) << Joined(LayersOnCycles(graph));
    auto files = ProductSources();
    ASSERT_GT(files.size(), 100u);
    auto problems = CheckIncludes(graph, files);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

constexpr char kGraph[] = R"(Some prose.
```layers
core/platform:
core/datafile: core/platform   # the container
core/index: core/datafile
gui/index: core/index
gui: gui/index
tools/writer: core/datafile
cli: core/index
```
)";

LayerGraph SmallGraph() {
    LayerGraph g;
    std::string error;
    EXPECT_TRUE(ParseLayerGraph(kGraph, g, error)) << error;
    return g;
}

TEST(IncludeCheck, AllowsOwnNamedAndTransitiveLayers) {
    auto problems = CheckIncludes(
        SmallGraph(),
        {{"src/core/platform/ui.h", "#include <string>\n"},
         {"src/core/datafile/a.h", "#include \"datafile/b.h\"\n#include \"platform/ui.h\"\n"},
         {"src/core/index/m.cpp", "#include \"platform/ui.h\"\n#include \"local.h\"\n"},
         {"src/gui/index/v.cpp",
          "#include <QWidget>\n#include \"gui/index/v.h\"\n"
          "  #  include \"index/m.h\"\n"},
         {"src/gui/main.cpp", "#include \"gui/index/v.h\"\n"},
         {"tools/writer/w.cpp", "#include \"writer/w.h\"\n#include \"datafile/a.h\"\n"},
         {"src/cli/main.cpp", "#include \"json.h\"\n#include \"datafile/a.h\"\n"}});
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST(IncludeCheck, ReportsEdgesAgainstTheGraph) {
    auto problems =
        CheckIncludes(SmallGraph(), {{"src/core/platform/ui.h", "\n#include \"datafile/a.h\"\n"},
                                     {"src/core/datafile/a.h", "#include \"index/m.h\"\n"},
                                     {"src/core/index/m.h", "#include \"gui/index/v.h\"\n"},
                                     {"src/gui/index/v.h", "#include \"gui/v2.h\"\n"},
                                     {"src/cli/main.cpp", "#include \"writer/w.h\"\n"},
                                     {"tools/writer/w.h", ""}});
    ASSERT_EQ(problems.size(), 5u) << Joined(problems);
    EXPECT_EQ(problems[0],
              "src/core/platform/ui.h:2: core/platform may not include core/datafile "
              "(\"datafile/a.h\")");
    EXPECT_NE(problems[2].find("core/index may not include gui/index"), std::string::npos);
    EXPECT_NE(problems[3].find("gui/index may not include gui "), std::string::npos);
    EXPECT_NE(problems[4].find("cli may not include tools/writer"), std::string::npos);
}

TEST(IncludeCheck, ReportsQtOutsideTheReaderUnknownPathsAndUnlistedLayers) {
    auto problems =
        CheckIncludes(SmallGraph(), {{"src/core/index/m.h", "#include <QString>\n"},
                                     {"src/cli/main.cpp", "#include <QtCore>\n"},
                                     {"src/core/index/n.h", "#include \"nowhere/x.h\"\n"},
                                     {"src/core/print/p.h", "#include <vector>\n"}});
    ASSERT_EQ(problems.size(), 4u) << Joined(problems);
    EXPECT_NE(problems[0].find("core/index includes Qt"), std::string::npos);
    EXPECT_NE(problems[1].find("cli includes Qt"), std::string::npos);
    EXPECT_NE(problems[2].find("cannot tell the layer of \"nowhere/x.h\""), std::string::npos);
    EXPECT_EQ(problems[3], "src/core/print/p.h: layer core/print is not in the layer graph");
}

TEST(LayerGraphText, RejectsWhatCannotBeAGraph) {
    LayerGraph g;
    std::string error;
    EXPECT_FALSE(ParseLayerGraph("no block here", g, error));
    EXPECT_FALSE(ParseLayerGraph("```layers\ncore/a core/b\n```\n", g, error));
    EXPECT_NE(error.find("no ':'"), std::string::npos);
    EXPECT_FALSE(ParseLayerGraph("```layers\ncore/a: core/b\n```\n", g, error));
    EXPECT_NE(error.find("core/b"), std::string::npos);
}

TEST(LayerGraphText, FindsCyclesAndClosures) {
    LayerGraph g;
    std::string error;
    ASSERT_TRUE(ParseLayerGraph("```layers\na: b\nb: c\nc: a\nd: a\n```\n", g, error)) << error;
    EXPECT_EQ(LayersOnCycles(g), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Reachable(g, "d"), (std::set<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(Reachable(SmallGraph(), "gui").count("core/platform"), 1u);
    EXPECT_EQ(Reachable(SmallGraph(), "core/datafile").count("core/index"), 0u);
}

}  // namespace
}  // namespace qb::layers

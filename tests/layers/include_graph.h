// The layer graph of the product and a check of #include lines against it.
// The graph is written once, in docs/architecture.md, as a fenced block
// with the info string "layers": one line per layer, "layer: uses uses ...",
// '#' starting a comment. A layer may include its own files, the layers it
// names, and whatever those may include in turn.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qb::layers {

struct LayerGraph {
    std::map<std::string, std::set<std::string>> uses;  // direct edges
};

// Parses the first ```layers block of `markdown`. On failure returns false
// and says why in `error` (no block, a line without ':', an edge to a layer
// that has no line of its own).
bool ParseLayerGraph(std::string_view markdown, LayerGraph& graph, std::string& error);

// Every layer `layer` may include, itself included.
std::set<std::string> Reachable(const LayerGraph& graph, const std::string& layer);

// The layers that can reach themselves through at least one edge.
std::vector<std::string> LayersOnCycles(const LayerGraph& graph);

struct SourceFile {
    std::string path;  // relative to the repository, e.g. "src/core/index/index_model.h"
    std::string text;
};

// "src/core/<folder>/..." is "core/<folder>", "src/gui/<folder>/..." is
// "gui/<folder>", other files of src/gui are "gui", "src/cli/..." is "cli",
// "tools/<folder>/..." is "tools/<folder>", other files of tools/ are "tools".
// Empty for anything else.
std::string LayerOf(std::string_view path);

// The layer an #include "target" of `from` (a layer) names: "gui/..." for
// the reader's folders, a folder of the core by its name, a folder of tools/
// by its name, a bare file name for the including file's own folder. Empty
// when it names none of these.
std::string LayerOfInclude(std::string_view target, const std::string& from,
                           const std::set<std::string>& coreFolders,
                           const std::set<std::string>& toolFolders);

// Every include of `files` that the graph does not allow, every file of a
// layer the graph lacks, and every Qt header included outside the reader,
// one readable line each ("path:line: ...").
std::vector<std::string> CheckIncludes(const LayerGraph& graph,
                                       const std::vector<SourceFile>& files);

}  // namespace qb::layers

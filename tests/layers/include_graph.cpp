#include "layers/include_graph.h"

#include <algorithm>
#include <deque>
#include <sstream>

namespace qb::layers {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::vector<std::string> Words(std::string_view s) {
    std::vector<std::string> words;
    std::istringstream in{std::string(s)};
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::string_view FirstComponent(std::string_view path) {
    return path.substr(0, path.find('/'));
}

}  // namespace

bool ParseLayerGraph(std::string_view markdown, LayerGraph& graph, std::string& error) {
    graph.uses.clear();
    bool inBlock = false, found = false;
    int number = 0;
    for (std::string_view line : Lines(markdown)) {
        ++number;
        std::string_view t = Trim(line);
        if (!inBlock) {
            if (!found && t == "```layers") inBlock = found = true;
            continue;
        }
        if (t.starts_with("```")) {
            inBlock = false;
            continue;
        }
        t = Trim(t.substr(0, t.find('#')));
        if (t.empty()) continue;
        std::size_t colon = t.find(':');
        if (colon == std::string_view::npos) {
            error = "line " + std::to_string(number) + " of the layer graph has no ':'";
            return false;
        }
        std::string layer(Trim(t.substr(0, colon)));
        auto& uses = graph.uses[layer];
        for (auto& w : Words(t.substr(colon + 1)))
            uses.insert(w);
    }
    if (!found) {
        error = "no ```layers block";
        return false;
    }
    for (const auto& [layer, uses] : graph.uses)
        for (const auto& u : uses)
            if (!graph.uses.count(u)) {
                error = layer + " uses " + u + ", which has no line of its own";
                return false;
            }
    return true;
}

std::set<std::string> Reachable(const LayerGraph& graph, const std::string& layer) {
    std::set<std::string> seen{layer};
    std::deque<std::string> todo{layer};
    while (!todo.empty()) {
        auto it = graph.uses.find(todo.front());
        todo.pop_front();
        if (it == graph.uses.end()) continue;
        for (const auto& u : it->second)
            if (seen.insert(u).second) todo.push_back(u);
    }
    return seen;
}

std::vector<std::string> LayersOnCycles(const LayerGraph& graph) {
    std::vector<std::string> onCycles;
    for (const auto& [layer, uses] : graph.uses)
        for (const auto& u : uses)
            if (Reachable(graph, u).count(layer)) {
                onCycles.push_back(layer);
                break;
            }
    return onCycles;
}

std::string LayerOf(std::string_view path) {
    auto folderLayer = [](std::string_view prefix, std::string_view rest, bool bareIsPrefix) {
        std::size_t slash = rest.find('/');
        if (slash == std::string_view::npos)
            return bareIsPrefix ? std::string(prefix.substr(0, prefix.size() - 1)) : std::string();
        return std::string(prefix) + std::string(rest.substr(0, slash));
    };
    if (path.starts_with("src/core/")) return folderLayer("core/", path.substr(9), false);
    if (path.starts_with("src/gui/")) return folderLayer("gui/", path.substr(8), true);
    if (path.starts_with("src/cli/")) return "cli";
    if (path.starts_with("tools/")) return folderLayer("tools/", path.substr(6), true);
    return "";
}

std::string LayerOfInclude(std::string_view target, const std::string& from,
                           const std::set<std::string>& coreFolders,
                           const std::set<std::string>& toolFolders) {
    if (target.find('/') == std::string_view::npos) return from;
    std::string first(FirstComponent(target));
    if (first == "gui") {
        std::string_view rest = target.substr(4);
        if (rest.find('/') == std::string_view::npos) return "gui";
        return "gui/" + std::string(FirstComponent(rest));
    }
    if (from.starts_with("tools") && toolFolders.count(first)) return "tools/" + first;
    if (coreFolders.count(first)) return "core/" + first;
    if (toolFolders.count(first)) return "tools/" + first;
    return "";
}

std::vector<std::string> CheckIncludes(const LayerGraph& graph,
                                       const std::vector<SourceFile>& files) {
    std::set<std::string> coreFolders, toolFolders;
    for (const auto& f : files) {
        std::string layer = LayerOf(f.path);
        if (layer.starts_with("core/")) coreFolders.insert(layer.substr(5));
        if (layer.starts_with("tools/")) toolFolders.insert(layer.substr(6));
    }

    std::vector<std::string> problems;
    std::map<std::string, std::set<std::string>> reachable;
    for (const auto& f : files) {
        std::string layer = LayerOf(f.path);
        if (layer.empty()) continue;
        if (!graph.uses.count(layer)) {
            problems.push_back(f.path + ": layer " + layer + " is not in the layer graph");
            continue;
        }
        auto [it, fresh] = reachable.try_emplace(layer);
        if (fresh) it->second = Reachable(graph, layer);
        const auto& allowed = it->second;
        bool qtAllowed = layer == "gui" || layer.starts_with("gui/");

        int number = 0;
        for (std::string_view line : Lines(f.text)) {
            ++number;
            std::string_view t = Trim(line);
            if (!t.starts_with("#")) continue;
            t = Trim(t.substr(1));
            if (!t.starts_with("include")) continue;
            t = Trim(t.substr(7));
            if (t.size() < 2) continue;
            std::string where = f.path + ":" + std::to_string(number) + ": ";
            if (t.front() == '<') {
                if (!qtAllowed && t.size() > 2 && t[1] == 'Q')
                    problems.push_back(where + layer + " includes Qt (" + std::string(t) + ")");
                continue;
            }
            if (t.front() != '"') continue;
            std::size_t close = t.find('"', 1);
            if (close == std::string_view::npos) continue;
            std::string_view target = t.substr(1, close - 1);
            std::string to = LayerOfInclude(target, layer, coreFolders, toolFolders);
            if (to.empty())
                problems.push_back(where + "cannot tell the layer of \"" + std::string(target) +
                                   "\"");
            else if (!allowed.count(to))
                problems.push_back(where + layer + " may not include " + to + " (\"" +
                                   std::string(target) + "\")");
        }
    }
    return problems;
}

}  // namespace qb::layers

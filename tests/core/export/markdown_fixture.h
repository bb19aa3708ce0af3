// The Markdown export's tests read what was written the way other programs
// will: the front matter through a YAML parser (python3 with PyYAML) and
// the notes through a CommonMark parser (cmark). Both are run with argument
// vectors; scripts/deps.sh installs them.
#pragma once

#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "export/markdown_content.h"
#include "export_fixture.h"
#include "richtext/article_content.h"
#include "support/run_program.h"

namespace qb::testing {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kCmark = "/usr/bin/cmark";

// Prints every scalar of the front matter of the note argv[1] as
// "path<TAB>type<TAB>hex of its UTF-8" (lists also as "path<TAB>list<TAB>n"),
// so that any value, control characters included, reaches the test intact.
constexpr const char* kYamlDump = R"PY(
import sys, yaml
text = open(sys.argv[1], encoding='utf-8', newline='').read()
if not text.startswith('---\n'):
    sys.exit('no front matter')
end = text.index('\n---\n', 3)
data = yaml.safe_load(text[4:end + 1])
def dump(path, v):
    if isinstance(v, dict):
        for k in v:
            dump(path + '.' + str(k) if path else str(k), v[k])
    elif isinstance(v, list):
        print(path + '\tlist\t' + str(len(v)))
        for i, x in enumerate(v):
            dump(path + '[' + str(i) + ']', x)
    else:
        print(path + '\t' + type(v).__name__ + '\t' + str(v).encode('utf-8').hex())
dump('', data)
)PY";

struct YamlValue {
    std::string type;  // str, bool, int, datetime, list
    std::string value;
};

inline bool HaveTool(const char* path) {
    if (::access(path, X_OK) == 0) return true;
    ADD_FAILURE() << path << " is missing: scripts/deps.sh installs it";
    return false;
}

// The front matter of the note at `path` as the YAML parser reads it; an
// empty map (and a failure) when it does not parse.
inline std::map<std::string, YamlValue> ReadFrontMatter(const std::string& path) {
    std::map<std::string, YamlValue> values;
    if (!HaveTool(kPython)) return values;
    ProgramResult r = RunProgram(kPython, {"-c", kYamlDump, path});
    EXPECT_EQ(r.status, 0) << r;
    if (r.status != 0) return values;
    size_t at = 0;
    while (at < r.out.size()) {
        size_t nl = r.out.find('\n', at);
        std::string line = r.out.substr(at, nl - at);
        at = nl == std::string::npos ? r.out.size() : nl + 1;
        size_t t1 = line.find('\t'), t2 = line.find('\t', t1 + 1);
        if (t1 == std::string::npos || t2 == std::string::npos) continue;
        YamlValue v{line.substr(t1 + 1, t2 - t1 - 1), line.substr(t2 + 1)};
        if (v.type != "list") {
            std::string bytes;
            for (size_t i = 0; i + 1 < v.value.size(); i += 2)
                bytes += char(std::stoi(v.value.substr(i, 2), nullptr, 16));
            v.value = bytes;
        }
        values[line.substr(0, t1)] = v;
    }
    return values;
}

// CommonMark rendered as HTML by cmark, raw HTML kept.
inline std::string RenderCommonMark(const std::string& markdown) {
    if (!HaveTool(kCmark)) return "";
    ProgramResult r = RunProgram(kCmark, {"--unsafe"}, RunOptions().Input(markdown));
    EXPECT_EQ(r.status, 0) << r;
    return r.out;
}

// A note without its front matter.
inline std::string NoteBody(const std::string& note) {
    if (note.rfind("---\n", 0) != 0) return note;
    size_t end = note.find("\n---\n", 3);
    if (end == std::string::npos) return note;
    std::string body = note.substr(end + 5);
    return body.empty() || body[0] != '\n' ? body : body.substr(1);
}

// Records what the conversion asks of its run.
struct RecordingTargets : MarkdownTargets {
    std::string StoredLinkMarkdown(const StoredLink& link, const std::string& text,
                                   const std::string& escaped) override {
        links.push_back(text);
        return "[" + escaped + "](link" + std::to_string(link.kind) + ")";
    }
    std::string PictureMarkdown(const Picture&) override {
        ++pictures;
        return "![](picture.png)";
    }
    std::vector<std::string> links;
    int pictures = 0;
};

// The Markdown of rich-text or plain content read as an article's.
inline std::string ContentMarkdown(const std::string& content, MarkdownContentOptions options = {},
                                   const std::vector<StoredLink>& links = {},
                                   RecordingTargets* targets = nullptr) {
    RichTextControl control;
    bool rtf = LoadArticleContent(control, !options.plainLines, content);
    EXPECT_EQ(rtf, !options.plainLines);
    RecordingTargets own;
    return ContentToMarkdown(control, links, targets ? *targets : own, options);
}

class MarkdownTest : public ExportTest {
public:
    // Exports into the folder "notes" and returns its path.
    std::string ExportNotes() {
        std::string folder = dir / "notes";
        std::filesystem::create_directory(folder);
        ExportResult r = Run(ExportFormat::kMarkdown, folder);
        EXPECT_TRUE(r.Succeeded()) << ui.LastText();
        return folder;
    }
    std::string Note(const std::string& name) const { return ReadFile(dir / ("notes/" + name)); }
};

}  // namespace qb::testing

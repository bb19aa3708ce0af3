// Text pieces of the Markdown export: UTF-16 to UTF-8 without losing a
// character, escaping of text that Markdown would read as syntax, link
// destinations, and the note files' names.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "platform/code_page.h"  // Utf16ToUtf8, AppendUtf8

namespace qb {

// Backslash-escapes what CommonMark (with strikethrough and tables) or a
// notes app would read as syntax inside a line: * _ ` [ ] \ < ~ | always,
// "&" before a letter, "#" or the end (an entity), "#" before anything but
// white space (a tag, a heading's closing mark). With
// `lineStart`, also what opens a block at the start of a line: "#", ">",
// "-" or "+" before white space (or the end), "--", a run of "=", and the
// "." or ")" after leading digits before white space; "1.5" or "-5" are
// left as they read. UTF-8 in and out.
std::string EscapeMarkdown(std::string_view utf8, bool lineStart);
// The same, appended to `out`.
void AppendEscapedMarkdown(std::string& out, std::string_view utf8, bool lineStart);

// A link destination: spaces, parentheses, "<", ">", "\", "%" and control
// characters percent-encoded, the rest as it is.
std::string LinkDestination(std::string_view utf8);

// The name of a note made safe for every file system: characters that
// Windows, macOS or a notes app's links forbid (< > : " / \ | ? * # ^ [ ]
// and control characters) become "_", runs of white space one space,
// leading and trailing spaces and dots are dropped, a reserved device name
// (CON, NUL, COM1 ...) gets "_" after it, at most kMaxNoteName bytes (cut on
// a character boundary); an empty result is "Untitled". UTF-8.
std::string SafeNoteName(std::string_view utf8);
constexpr size_t kMaxNoteName = 120;

// Names in one folder, unique without regard to case (Unicode case
// folding): "Notes.md", then "Notes 1.md", "Notes 2.md" ...
class FolderNames {
public:
    // Takes every name already in `folder` (a missing folder has none).
    void TakeExisting(const std::string& folder);
    // `stem` + `extension`, numbered until free; the name is taken.
    std::string Unique(const std::string& stem, const std::string& extension);
    void Take(const std::string& name);
    bool Taken(const std::string& name) const;

private:
    std::unordered_set<std::string> taken_;  // case-folded
};

}  // namespace qb

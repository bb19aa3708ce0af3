// YAML front matter of a note: every text is written as a double-quoted
// scalar with YAML's escapes, so any title or keyword (quotes, colons,
// leading dashes, line breaks, control characters) reads back as itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// `utf8` as a YAML double-quoted scalar, quotes included. Bytes that are not
// UTF-8 each become the character of the same value (as Latin-1 would read
// them), so nothing is dropped and the output stays valid.
std::string YamlQuoted(std::string_view utf8);

// An ISO 8601 local moment, "2024-03-05T14:30:00", from a date value
// (yyyymmdd) and a time value (seconds since midnight; an invalid time is
// midnight). Empty for an invalid date.
std::string IsoMoment(int32_t date, int32_t time);

// Writes the block between its "---" lines, one key after the other.
class FrontMatter {
public:
    void Text(std::string_view key, std::string_view utf8);
    // A plain scalar the caller made (a number, true/false, an ISO moment).
    void Plain(std::string_view key, std::string_view value);
    void Bool(std::string_view key, bool value) { Plain(key, value ? "true" : "false"); }
    // A block list of quoted texts; "[]" when empty.
    void TextList(std::string_view key, const std::vector<std::string>& utf8);
    // A nested mapping's key; the following Nested* calls are indented under it.
    void Mapping(std::string_view key);
    void NestedText(std::string_view key, std::string_view utf8);
    void NestedPlain(std::string_view key, std::string_view value);

    // "---\n" + keys + "---\n".
    std::string Finish() const { return "---\n" + body_ + "---\n"; }

private:
    std::string body_;
};

}  // namespace qb

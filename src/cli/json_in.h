// A small reader of one JSON text per line, for commands that take requests
// on stdin. Safe on hostile input: nesting is limited and walked without
// recursion, strings are checked UTF-8 and come out as UTF-16 (\u escapes,
// surrogate pairs included), and a malformed text gives an error, not a value.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qbx {

struct JsonMember;

struct JsonValue {
    enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };
    Type type = Type::kNull;
    bool boolean = false;
    double number = 0;
    std::u16string string;
    std::vector<JsonValue> items;     // kArray
    std::vector<JsonMember> members;  // kObject

    // The member named `key` (the last one if repeated), or nullptr.
    const JsonValue* Find(std::string_view key) const;
    // The number as an int32_t when it is a whole number in range.
    std::optional<int32_t> AsInt32() const;
};

// One member of an object (a std::pair would need JsonValue complete).
struct JsonMember {
    std::string first;  // the key, in UTF-8
    JsonValue second;
};

// Arrays and objects nested deeper than this are refused.
constexpr int kJsonMaxDepth = 64;

// Parses `text` as exactly one JSON value (white space around it allowed).
// On failure returns nothing and says why in `error`.
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

}  // namespace qbx

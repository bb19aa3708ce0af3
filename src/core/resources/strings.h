// The numbered string table: every user-visible text of the core, looked up
// by the number the rest of the program uses for it (named in string_ids.h).
#pragma once

#include <string>

#include "resources/string_ids.h"

namespace qb {

// The text of string `id` (UTF-8), or nullptr when the table has none.
const char* ResourceString(int id);

// String `id` with every "%1" replaced by `arg1`; empty when absent.
std::string FormatResource(int id, const std::string& arg1);

// `text` with every "%1" replaced by `arg1`.
std::string SubstituteArg(const std::string& text, const std::string& arg1);

}  // namespace qb

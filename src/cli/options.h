// The one way qbx commands read their arguments: a table of options (name,
// whether it takes a value, what it does) and the operands around them.
// Options and operands may come in any order; each option is applied when it
// is met, so the first mistake on the command line is the one reported.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "command.h"

namespace qbx {

struct Option {
    std::string name;         // as typed, "--sort"
    bool takesValue = false;  // the next argument, whatever it looks like
    std::string help;         // what it does (the usage text tells the user)
    // Called in argument order with the value ("" for a flag). Returns why
    // the value is refused, or nothing.
    std::function<std::optional<std::string>(const std::string& value)> apply;
};

// A flag that sets `on`.
Option Flag(std::string name, std::string help, bool& on);
// An option whose value is stored in `value`.
Option Value(std::string name, std::string help, std::string& value);
// An option that may be repeated, each value added to `values`.
Option Values(std::string name, std::string help, std::vector<std::string>& values);

struct CommandSyntax {
    std::string command;  // for the messages: "qbx titles: ..."
    const char* usage;    // the --help text, also printed after every mistake
    std::vector<Option> options;
    size_t requiredOperands = 1;  // the first one is FILE; 0 for a command without one
    size_t allowedOperands = 1;
    std::string tooManyOperands = "one file only";
    // After FILE an argument beginning with a single "-" is an operand (an
    // expression or a query name may begin with one); "--..." stays an option.
    bool dashOperandsAfterFile = false;
    // A missing value is reported as "--sort lacks its value" rather than
    // "an option lacks its value".
    bool missingValueNamesOption = false;
};

// Reads `args` by `syntax`, applying the options and collecting the operands.
// Returns nothing to go on, or the exit status when the command ends here:
// 0 after --help or -h (usage on stdout), 2 after a mistake (the mistake and
// the usage on stderr).
std::optional<int> ParseArguments(const Args& args, const CommandSyntax& syntax,
                                  std::vector<std::string>& operands);

// The same for a command whose one operand is FILE, read into `file`.
std::optional<int> ParseArguments(const Args& args, const CommandSyntax& syntax, std::string& file);

// The usage error: "qbx COMMAND: WHY" (when given) and the usage on stderr.
// Returns the exit status, 2.
int UsageError(const CommandSyntax& syntax, const std::string& why = "");

}  // namespace qbx

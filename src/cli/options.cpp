#include "options.h"

#include <algorithm>
#include <cstdio>

namespace qbx {

Option Flag(std::string name, std::string help, bool& on) {
    return {std::move(name), false, std::move(help),
            [&on](const std::string&) -> std::optional<std::string> {
                on = true;
                return std::nullopt;
            }};
}

Option Value(std::string name, std::string help, std::string& value) {
    return {std::move(name), true, std::move(help),
            [&value](const std::string& v) -> std::optional<std::string> {
                value = v;
                return std::nullopt;
            }};
}

Option Values(std::string name, std::string help, std::vector<std::string>& values) {
    return {std::move(name), true, std::move(help),
            [&values](const std::string& v) -> std::optional<std::string> {
                values.push_back(v);
                return std::nullopt;
            }};
}

int UsageError(const CommandSyntax& syntax, const std::string& why) {
    if (!why.empty()) std::fprintf(stderr, "qbx %s: %s\n", syntax.command.c_str(), why.c_str());
    std::fputs(syntax.usage, stderr);
    return 2;
}

namespace {

bool LooksLikeOption(const std::string& a, const CommandSyntax& syntax, bool fileGiven) {
    if (a.rfind("--", 0) == 0) return true;
    bool dashed = a.size() > 1 && a[0] == '-';  // a lone "-" is an operand (stdin)
    return dashed && !(syntax.dashOperandsAfterFile && fileGiven);
}

}  // namespace

std::optional<int> ParseArguments(const Args& args, const CommandSyntax& syntax,
                                  std::vector<std::string>& operands) {
    operands.clear();
    // An empty FILE counts as none given: the next operand takes its place.
    auto fileGiven = [&operands] { return !operands.empty() && !operands.front().empty(); };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(syntax.usage, stdout);
            return 0;
        }
        auto option = std::find_if(syntax.options.begin(), syntax.options.end(),
                                   [&a](const Option& o) { return o.name == a; });
        if (option != syntax.options.end()) {
            std::string value;
            if (option->takesValue) {
                if (i + 1 >= args.size())
                    return UsageError(syntax, syntax.missingValueNamesOption
                                                  ? a + " lacks its value"
                                                  : "an option lacks its value");
                value = args[++i];
            }
            if (std::optional<std::string> refused = option->apply(value))
                return UsageError(syntax, *refused);
        } else if (LooksLikeOption(a, syntax, fileGiven())) {
            return UsageError(syntax, "unknown option '" + a + "'");
        } else if (!fileGiven()) {
            operands.assign(1, a);
        } else if (operands.size() < syntax.allowedOperands) {
            operands.push_back(a);
        } else {
            return UsageError(syntax, syntax.tooManyOperands);
        }
    }
    if ((syntax.requiredOperands > 0 && !fileGiven()) || operands.size() < syntax.requiredOperands)
        return UsageError(syntax);
    return std::nullopt;
}

std::optional<int> ParseArguments(const Args& args, const CommandSyntax& syntax,
                                  std::string& file) {
    std::vector<std::string> operands;
    if (std::optional<int> rc = ParseArguments(args, syntax, operands)) return rc;
    file = operands.front();
    return std::nullopt;
}

}  // namespace qbx

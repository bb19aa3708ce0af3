// Type-ahead search in a list: typed characters build a prefix that is
// looked for at the start of the row texts, ignoring case.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/code_page.h"

namespace qb {

class Locale;

class TypeAhead {
public:
    // Milliseconds from any fixed start.
    using Clock = std::function<int64_t()>;
    static int64_t SteadyMilliseconds();

    explicit TypeAhead(Clock clock = SteadyMilliseconds) : clock_(std::move(clock)) {}

    // One printable character (a byte of `page`, the row texts' code page).
    // `rows` and `rowText` describe the list; `caret` is the caret row, or
    // -1 when no row is highlighted. Returns the row to highlight, if any
    // matched.
    std::optional<size_t> Key(char c, size_t rows, std::optional<size_t> caret,
                              const std::function<std::string(size_t)>& rowText,
                              const Locale& locale, const CodePage& page = CodePage());
    // Esc.
    void Clear() { prefix_.clear(); }
    const std::string& Prefix() const { return prefix_; }

    static constexpr int64_t kPauseMs = 1000;

private:
    std::optional<size_t> Search(size_t rows, std::optional<size_t> caret,
                                 const std::function<std::string(size_t)>& rowText,
                                 const Locale& locale, const CodePage& page) const;

    Clock clock_;
    std::string prefix_;
    int64_t last_ = 0;
    bool any_ = false;
};

}  // namespace qb

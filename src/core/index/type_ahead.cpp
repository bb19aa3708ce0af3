#include "index/type_ahead.h"

#include "platform/locale.h"

namespace qb {

int64_t TypeAhead::SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::optional<size_t> TypeAhead::Key(char c, size_t rows, std::optional<size_t> caret,
                                     const std::function<std::string(size_t)>& rowText,
                                     const Locale& locale, const CodePage& page) {
    int64_t now = clock_();
    if (!any_ || now - last_ > kPauseMs) prefix_.clear();
    any_ = true;
    last_ = now;
    prefix_ += c;
    if (auto row = Search(rows, caret, rowText, locale, page)) return row;
    // The same letter twice steps on to the next row starting with it.
    if (prefix_.size() == 2 && prefix_[0] == prefix_[1]) {
        prefix_.resize(1);
        return Search(rows, caret, rowText, locale, page);
    }
    return std::nullopt;
}

std::optional<size_t> TypeAhead::Search(size_t rows, std::optional<size_t> caret,
                                        const std::function<std::string(size_t)>& rowText,
                                        const Locale& locale, const CodePage& page) const {
    if (rows == 0 || prefix_.empty()) return std::nullopt;
    size_t start = 0;
    if (caret && *caret < rows) start = prefix_.size() == 1 ? (*caret + 1) % rows : *caret;
    const std::u16string wanted = page.ToUtf16(prefix_);
    for (size_t i = 0; i < rows; ++i) {
        size_t row = (start + i) % rows;
        std::string text = rowText(row);
        if (text.size() < prefix_.size()) continue;
        text.resize(prefix_.size());
        if (locale.CompareNoCase(page.ToUtf16(text), wanted) == 0) return row;
    }
    return std::nullopt;
}

}  // namespace qb

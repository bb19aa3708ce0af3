#include "export/text_wrapping.h"

#include <algorithm>

#include "export/plain_text_writer.h"

namespace qb {

void WrappingText::EndLine() {
    out_.EndLine();
    column_ = 0;
}

void WrappingText::EmptyLine() {
    out_.EndLine();
    column_ = 0;
}

void WrappingText::Write(std::string_view text, bool endLine) {
    if (limit_ == 0) {
        out_.Write(text);
        if (endLine) EndLine();
        return;
    }
    std::string pending;
    auto flush = [&] {
        out_.Write(pending);
        pending.clear();
    };
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            ++i;
            char other = c == '\r' ? '\n' : '\r';
            if (i < text.size() && text[i] == other) ++i;
            flush();
            EndLine();
        } else if (c == ' ') {
            ++i;
            if (column_ + 1 <= limit_) {
                pending += ' ';
                ++column_;
            }
        } else if (c == '\t') {
            ++i;
            int64_t target = (column_ / 8) * 8 + 9;
            if (target <= limit_) {
                pending += '\t';
                column_ = target;
            }
        } else {
            size_t end = text.find_first_of("\r\n \t", i);
            if (end == std::string_view::npos) end = text.size();
            std::string_view word = text.substr(i, end - i);
            auto w = int64_t(word.size());
            if (utf8_)  // continuation bytes are no columns of their own
                w -= std::count_if(word.begin(), word.end(),
                                   [](char b) { return ((unsigned char)b & 0xC0) == 0x80; });
            if (column_ > 0 && column_ + w > limit_) {
                flush();
                EndLine();
            }
            pending.append(word);
            column_ += w;
            i = end;
        }
    }
    flush();
    if (endLine) EndLine();
}

}  // namespace qb

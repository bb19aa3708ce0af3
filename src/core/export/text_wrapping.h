// The plain-text export's line limit: texts are written through a wrapping
// rule that breaks lines at spaces and tabs once a line would pass L
// columns, carrying the column from one text to the next.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qb {

class PlainTextWriter;

class WrappingText {
public:
    // `limit` 0: texts are written unchanged. With `utf8` a column is a
    // character of UTF-8 text, else a byte.
    WrappingText(PlainTextWriter& out, int32_t limit, bool utf8 = false)
        : out_(out), limit_(limit < 0 ? 0 : limit), utf8_(utf8) {}

    // Writes `text` (bytes); with a limit, a line break in it (CR, LF, or a
    // pair of the two) ends the line, a space or tab that would pass the
    // limit is dropped, and a word that would pass it starts a new line (a
    // word longer than the limit is not broken). `endLine` ends the line
    // after it.
    void Write(std::string_view text, bool endLine = false);
    void EndLine();    // CR LF; the column is 0 again
    void EmptyLine();  // CR LF
    int64_t Column() const { return column_; }
    int32_t Limit() const { return limit_; }

private:
    PlainTextWriter& out_;
    int32_t limit_;
    bool utf8_;
    int64_t column_ = 0;
};

}  // namespace qb

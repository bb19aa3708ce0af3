// A plain-text file writer: bytes as given (Windows-1252 text stays
// Windows-1252), CRLF line ends. A file that could not be completed is
// removed again by Abort, so no half-written export is left behind.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qb {

class PlainTextWriter {
public:
    PlainTextWriter() = default;
    // Writes to a stream the caller owns (e.g. stdout); Close flushes it.
    explicit PlainTextWriter(std::FILE* stream);
    ~PlainTextWriter();  // an unclosed file is aborted
    PlainTextWriter(const PlainTextWriter&) = delete;
    PlainTextWriter& operator=(const PlainTextWriter&) = delete;

    // Creates or truncates `path`; throws CQuillError with the path, or
    // with `shownPath` when given (the target a temporary file stands for).
    void Create(const std::string& path, const std::string& shownPath = "");
    void Write(std::string_view bytes);
    void EndLine();  // CR LF
    void WriteLine(std::string_view bytes) {
        Write(bytes);
        EndLine();
    }
    // Flushes and closes; throws CQuillError when the data did not reach
    // the file (disk full and the like).
    void Close();
    // Closes without raising and deletes a file this writer created.
    void Abort();

    bool IsOpen() const { return stream_ != nullptr; }
    // The path errors name.
    const std::string& Path() const { return shown_; }

private:
    void Fail(int error);

    std::FILE* stream_ = nullptr;
    bool owned_ = false;
    std::string path_;
    std::string shown_;
};

}  // namespace qb

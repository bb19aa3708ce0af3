#include "export/plain_text_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "datafile/quill_error.h"

namespace qb {

PlainTextWriter::PlainTextWriter(std::FILE* stream) : stream_(stream), owned_(false) {}

PlainTextWriter::~PlainTextWriter() {
    if (owned_) Abort();
}

void PlainTextWriter::Fail(int error) {
    throw CQuillError(ErrnoToCode(error), shown_);
}

void PlainTextWriter::Create(const std::string& path, const std::string& shownPath) {
    if (stream_) Abort();
    path_ = path;
    shown_ = shownPath.empty() ? path : shownPath;
    // 0666 less the umask, like any other program's output; never follows
    // into a different kind of file than a regular one we may truncate.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail(errno);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        int e = errno;
        ::close(fd);
        ::unlink(path.c_str());
        Fail(e);
    }
    stream_ = f;
    owned_ = true;
}

void PlainTextWriter::Write(std::string_view bytes) {
    if (!stream_) throw CQuillError(err::kFileSystem, shown_);
    if (bytes.empty()) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) Fail(errno);
}

void PlainTextWriter::EndLine() {
    Write("\r\n");
}

void PlainTextWriter::Close() {
    if (!stream_) return;
    std::FILE* f = stream_;
    bool owned = owned_;
    int e = 0;
    if (std::fflush(f) != 0) e = errno;
    if (owned) {
        if (e == 0 && ::fsync(fileno(f)) != 0 && errno != EINVAL && errno != EROFS) e = errno;
        if (std::fclose(f) != 0 && e == 0) e = errno;
        stream_ = nullptr;
        owned_ = false;
    } else {
        stream_ = nullptr;
    }
    if (e != 0) {
        if (owned) ::unlink(path_.c_str());
        Fail(e);
    }
}

void PlainTextWriter::Abort() {
    if (!stream_) return;
    if (owned_) {
        std::fclose(stream_);
        ::unlink(path_.c_str());
    } else {
        std::fflush(stream_);
    }
    stream_ = nullptr;
    owned_ = false;
}

}  // namespace qb

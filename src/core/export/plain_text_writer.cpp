#include "export/plain_text_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "datafile/quill_error.h"
#include "platform/file_io.h"

namespace qb {

namespace {
constexpr size_t kBufferSize = 64 * 1024;
}

PlainTextWriter::PlainTextWriter(std::FILE* stream) : stream_(stream) {}

PlainTextWriter::~PlainTextWriter() {
    if (fd_ >= 0) Abort();
}

void PlainTextWriter::Fail(int error) {
    throw CQuillError(ErrnoToCode(error), shown_);
}

void PlainTextWriter::Create(const std::string& path, const std::string& shownPath) {
    if (IsOpen()) Abort();
    path_ = path;
    shown_ = shownPath.empty() ? path : shownPath;
    // 0666 less the umask, like any other program's output.
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail(errno);
    fd_ = fd;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
}

void PlainTextWriter::FlushBuffer() {
    int e = WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (e != 0) Fail(e);
}

void PlainTextWriter::Write(std::string_view bytes) {
    if (!IsOpen()) throw CQuillError(err::kFileSystem, shown_);
    if (bytes.empty()) return;
    if (stream_) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) Fail(errno);
        return;
    }
    if (buffer_.size() + bytes.size() > kBufferSize) FlushBuffer();
    if (bytes.size() >= kBufferSize) {
        int e = WriteAll(fd_, bytes.data(), bytes.size());
        if (e != 0) Fail(e);
        return;
    }
    buffer_.append(bytes);
}

void PlainTextWriter::EndLine() {
    Write("\r\n");
}

void PlainTextWriter::Close() {
    if (stream_) {
        std::FILE* f = stream_;
        stream_ = nullptr;
        if (std::fflush(f) != 0) Fail(errno);
        return;
    }
    if (fd_ < 0) return;
    int e = WriteAll(fd_, buffer_.data(), buffer_.size());
    buffer_.clear();
    if (e == 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) e = errno;
    if (::close(fd_) != 0 && e == 0) e = errno;
    fd_ = -1;
    if (e != 0) {
        ::unlink(path_.c_str());
        Fail(e);
    }
}

void PlainTextWriter::Abort() {
    if (stream_) {
        std::fflush(stream_);
        stream_ = nullptr;
        return;
    }
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    buffer_.clear();
    ::unlink(path_.c_str());
}

}  // namespace qb

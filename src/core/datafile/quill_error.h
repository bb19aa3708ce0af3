// The one error type of the data layer, also thrown by commands for their
// own failures: a numbered code and the path it concerns.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qb {

class Ui;

// End of chain, empty slot and, in memory, any unset block, id or date.
constexpr int32_t NIL_BLOCK = static_cast<int32_t>(0x80000001u);

namespace err {
constexpr int kNone = 0;
constexpr int kOutOfMemory = 1;
constexpr int kBadRecordId = 3;
constexpr int kCorrupted = 5;
constexpr int kNotQuillbox = 6;
constexpr int kNotValid = 7;
constexpr int kNewerVersion = 8;
constexpr int kBadSeek = 9;
constexpr int kTruncated = 10;
constexpr int kDiskFull = 12;
constexpr int kClipboardBusy = 21;         // the clipboard could not be opened
constexpr int kClipboardUnavailable = 22;  // it could not be emptied or closed
constexpr int kPasswordInvalid = 48;
constexpr int kFolderNotFound = 50;  // an export's target folder
constexpr int kBadFormatLevel = 56;
constexpr int kFileSystem = 100;
constexpr int kNotFound = 101;
constexpr int kTooManyOpen = 102;
constexpr int kAccessDenied = 103;
constexpr int kWriteProtected = 104;
constexpr int kDriveNotReady = 105;
constexpr int kMediumError = 106;
constexpr int kInUse = 107;
constexpr int kNetwork = 108;
}  // namespace err

class CQuillError : public std::exception {
public:
    explicit CQuillError(int code) : code_(code) {}
    CQuillError(int code, std::string path) : code_(code), path_(std::move(path)) {}

    int Code() const { return code_; }
    const std::string& Path() const { return path_; }
    const char* what() const noexcept override;

    // The text ReportError shows: string 1100 + code (the code itself from
    // 14000 on) with the path in place of "%1". Empty for code 0.
    std::string Message() const;

    // Shows Message() with the exclamation icon; code 0 shows nothing.
    void ReportError(Ui& ui) const;
    static void ReportOutOfMemory(Ui& ui);

    // Code 5: the data is missing or damaged. Readers of optional data
    // catch exactly this and keep their defaults.
    bool IsCorrupted() const { return code_ == err::kCorrupted; }

private:
    int code_;
    std::string path_;
    mutable std::string what_;
};

// The code for a failed system call's errno (ENOENT 101, EACCES 103, ...).
int ErrnoToCode(int error);

}  // namespace qb

#include "datafile/quill_error.h"

#include <cerrno>

#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

std::string CQuillError::Message() const {
    if (code_ == err::kNone) return {};
    int id = code_ < 14000 ? 1100 + code_ : code_;
    if (const char* text = ResourceString(id)) return SubstituteArg(text, path_);
    // Never show an empty box: name the code so that it can be looked up.
    std::string text = "An unexpected error occurred (error " + std::to_string(code_) + ").";
    if (!path_.empty()) text += "\n" + path_;
    return text;
}

const char* CQuillError::what() const noexcept {
    try {
        if (what_.empty()) what_ = "error " + std::to_string(code_) + ": " + Message();
        return what_.c_str();
    } catch (...) {
        return "Quillbox error";
    }
}

void CQuillError::ReportError(Ui& ui) const {
    if (code_ == err::kNone) return;
    ui.MessageBox(Message(), MessageIcon::Exclamation, MessageButtons::Ok);
}

void CQuillError::ReportOutOfMemory(Ui& ui) {
    CQuillError(err::kOutOfMemory).ReportError(ui);
}

int ErrnoToCode(int error) {
    switch (error) {
        case 0:
            return err::kFileSystem;
        case ENOENT:
        case ENOTDIR:
            return err::kNotFound;
        case EMFILE:
        case ENFILE:
            return err::kTooManyOpen;
        case EACCES:
        case EPERM:
            return err::kAccessDenied;
        case ENOMEM:
            return err::kOutOfMemory;
        case EROFS:
            return err::kWriteProtected;
        case EIO:
            return err::kMediumError;
        case ENOSPC:
            return err::kDiskFull;
        // What fcntl reports for a lock another process holds, and busy files.
        case EAGAIN:
        case EDEADLK:
        case EBUSY:
        case ETXTBSY:
            return err::kInUse;
        case ESTALE:
        case EREMOTEIO:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETDOWN:
        case ENETUNREACH:
        case ENETRESET:
        case ECONNRESET:
        case ECONNABORTED:
        case ECONNREFUSED:
        case ETIMEDOUT:
        case ECOMM:
        case ENOLINK:
        case EREMOTE:
        case ENOTCONN:
            return err::kNetwork;
        default:
            return err::kFileSystem;
    }
}

}  // namespace qb

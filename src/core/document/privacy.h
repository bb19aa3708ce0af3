// Private articles: the password data of the file, the password check and
// the content key handed to the data file, and the lock state.
#pragma once

#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/records.h"
#include "platform/code_page.h"

namespace qb {

// A typed password (UTF-8, as every front end hands text on) as the bytes
// the data file was protected with, which the program that wrote it took
// in its code page: in `page` first, then the bytes as typed when they
// differ (a character the code page lacks could not have been typed there).
std::vector<std::string> PasswordCandidates(const std::string& typed, const CodePage& page);

class PrivacyState {
public:
    enum class State { NoPassword, Locked, Unlocked };

    // Back to "no password" with a zero key, then reads the file's password
    // data (a missing or short section means no password).
    void ReadPrivacy(CDataFile& file);
    // Back to "no password" without a file (the document's close).
    void Reset();

    // True when `password` (its bytes) is right; then the content key is
    // handed to the data file and the private articles are unlocked. A
    // wrong one leaves the articles locked and the key as it was.
    bool CheckPassword(const std::string& password);
    // Zero content key; unlocked only when there is no password.
    void Lock();

    bool IsUnlocked() const { return unlocked_; }
    bool IsPasswordSet() const { return data_.passwordSet != 0; }
    State GetState() const;
    const PrivacyData& Data() const { return data_; }

private:
    PrivacyData data_;
    bool unlocked_ = true;
    CDataFile* file_ = nullptr;
};

}  // namespace qb

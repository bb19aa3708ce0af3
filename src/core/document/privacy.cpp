#include "document/privacy.h"

namespace qb {

void PrivacyState::Reset() {
    data_ = PrivacyData();
    unlocked_ = true;
    if (file_) file_->SetContentKey(ContentKey{});
    file_ = nullptr;
}

void PrivacyState::ReadPrivacy(CDataFile& file) {
    Reset();
    file_ = &file;
    file.SetContentKey(ContentKey{});
    PrivacyData d;
    LoadPrivacyData(file, d);  // absent or short: no password
    data_ = d;
    unlocked_ = data_.passwordSet == 0;
}

std::vector<std::string> PasswordCandidates(const std::string& typed, const CodePage& page) {
    std::vector<std::string> out;
    CodePageEncoding enc = page.FromUtf8(typed, '\0');
    if (enc.Complete()) out.push_back(enc.bytes);
    if (out.empty() || out.front() != typed) out.push_back(typed);
    return out;
}

bool PrivacyState::CheckPassword(const std::string& password) {
    ContentKey key{};
    if (!CheckPrivacyPassword(data_, password, key)) {
        // A file without a password has nothing to hide: it stays unlocked.
        unlocked_ = !IsPasswordSet();
        return false;
    }
    if (file_) file_->SetContentKey(key);
    unlocked_ = true;
    return true;
}

void PrivacyState::Lock() {
    if (file_) file_->SetContentKey(ContentKey{});
    unlocked_ = data_.passwordSet == 0;
}

PrivacyState::State PrivacyState::GetState() const {
    if (!IsPasswordSet()) return State::NoPassword;
    return unlocked_ ? State::Unlocked : State::Locked;
}

}  // namespace qb

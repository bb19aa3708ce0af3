#include "datafile/privacy_data.h"

#include <algorithm>

#include "datafile/md5.h"
#include "datafile/numbered_streams.h"
#include "datafile/record_reading.h"

namespace qb {

using namespace record_reading;

void ReadPrivacyData(CRecordStream& s, PrivacyData& p) {
    p = PrivacyData();
    int32_t remaining = s.ReadInt32();
    try {
        if (!Lenient(s, p.passwordSet, remaining)) return;
        for (auto* part : {&p.salt, &p.check, &p.wrappedKey}) {
            if (!s.ReadLenientField(part->data(), 16, remaining)) return;
        }
        s.ReadLenientField(p.unused.data(), 48, remaining);
    } catch (const CQuillError& e) {
        if (!e.IsCorrupted()) throw;
    }
}

void LoadPrivacyData(CDataFile& f, PrivacyData& p) {
    ReadOptionalStream(
        f, stream_id::kPrivacy, [&](CRecordStream& s) { ReadPrivacyData(s, p); },
        [&] { p = PrivacyData(); });
}

bool CheckPrivacyPassword(const PrivacyData& p, const std::string& password, ContentKey& key) {
    std::string salted(reinterpret_cast<const char*>(p.salt.data()), p.salt.size());
    salted += password;
    auto d = Md5(salted.data(), salted.size());
    if (!std::equal(d.begin(), d.end(), p.check.begin())) return false;
    auto hp = Md5(password.data(), password.size());
    uint8_t k[16];
    for (int i = 0; i < 16; ++i)
        k[i] = p.wrappedKey[i] ^ hp[i];
    auto ck = Md5(k, sizeof k);
    std::copy(ck.begin(), ck.end(), key.begin());
    return true;
}

}  // namespace qb

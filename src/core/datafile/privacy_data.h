// The password data of a file with private articles (numbered stream 9) and
// the check of a password against it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "datafile/data_file.h"
#include "datafile/record_stream.h"

namespace qb {

// A lenient sized section, in the order of the fields below. For password P
// and key material K: check = MD5(salt || P), wrappedKey = K xor MD5(P).
struct PrivacyData {
    int16_t passwordSet = 0;
    std::array<uint8_t, 16> salt{};
    std::array<uint8_t, 16> check{};
    std::array<uint8_t, 16> wrappedKey{};
    std::array<uint8_t, 48> unused{};
};
// Fields the section lacks stay zero.
void ReadPrivacyData(CRecordStream& s, PrivacyData& p);
void LoadPrivacyData(CDataFile& f, PrivacyData& p);  // absent: no password

// Whether `password` (its bytes) is right; if so `key` receives the content
// key that private blobs are unscrambled with, MD5(K).
bool CheckPrivacyPassword(const PrivacyData& p, const std::string& password, ContentKey& key);

}  // namespace qb

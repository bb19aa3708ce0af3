// The RFC 1321 message digest, used for private-blob sizes, the password
// check and content key, and settings check values.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qb {

using Md5Digest = std::array<uint8_t, 16>;

class Md5Context {
public:
    Md5Context();
    void Update(const void* data, size_t n);
    void Update(std::string_view s) { Update(s.data(), s.size()); }
    // The digest in its standard byte order; the context must not be updated afterwards.
    Md5Digest Final();

private:
    void Transform(const uint8_t* block);

    uint32_t state_[4];
    uint64_t bitCount_ = 0;
    uint8_t buffer_[64];
    size_t buffered_ = 0;
};

Md5Digest Md5(const void* data, size_t n);
inline Md5Digest Md5(std::string_view s) {
    return Md5(s.data(), s.size());
}

}  // namespace qb

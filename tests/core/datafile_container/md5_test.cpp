#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "datafile/md5.h"

namespace qb {
namespace {

std::string Hex(const Md5Digest& d) {
    std::string out;
    char buf[3];
    for (uint8_t b : d) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

// The test suite of RFC 1321, appendix A.5.
TEST(Md5, Rfc1321Suite) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, digest] : cases)
        EXPECT_EQ(Hex(Md5(input)), digest) << input;
}

TEST(Md5, IncrementalUpdatesMatchOneShotAcrossBlockBoundaries) {
    std::string data;
    for (int i = 0; i < 1000; ++i)
        data += char('a' + i % 26);
    // Lengths around the 56- and 64-byte padding boundaries.
    for (size_t len : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 1000u}) {
        std::string part = data.substr(0, len);
        for (size_t split : {size_t(1), size_t(7), size_t(64)}) {
            Md5Context ctx;
            for (size_t i = 0; i < part.size(); i += split)
                ctx.Update(part.substr(i, split));
            EXPECT_EQ(Hex(ctx.Final()), Hex(Md5(part))) << len << "/" << split;
        }
    }
}

}  // namespace
}  // namespace qb

#include <zlib.h>

#include <cstring>
#include <stdexcept>

#include "writer/qbx_writer.h"

namespace qbw {

namespace {

// RFC 1321, kept here so that the writer does not depend on the reader it
// is meant to check.
struct Md5State {
    uint32_t a = 0x67452301, b = 0xefcdab89, c = 0x98badcfe, d = 0x10325476;

    void Block(const uint8_t* p) {
        static const uint32_t k[64] = {
            0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613,
            0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193,
            0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d,
            0x02441453, 0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed,
            0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942, 0x8771f681, 0x6d9d6122,
            0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa,
            0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244,
            0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
            0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb,
            0xeb86d391};
        static const int r[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                                  5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                                  4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                                  6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};
        uint32_t m[16];
        for (int i = 0; i < 16; ++i)
            m[i] = p[4 * i] | (p[4 * i + 1] << 8) | (p[4 * i + 2] << 16) |
                   (static_cast<uint32_t>(p[4 * i + 3]) << 24);
        uint32_t A = a, B = b, C = c, D = d;
        for (int i = 0; i < 64; ++i) {
            uint32_t f;
            int g;
            if (i < 16) {
                f = (B & C) | (~B & D);
                g = i;
            } else if (i < 32) {
                f = (D & B) | (~D & C);
                g = (5 * i + 1) % 16;
            } else if (i < 48) {
                f = B ^ C ^ D;
                g = (3 * i + 5) % 16;
            } else {
                f = C ^ (B | ~D);
                g = (7 * i) % 16;
            }
            uint32_t t = D;
            D = C;
            C = B;
            uint32_t x = A + f + k[i] + m[g];
            B = B + ((x << r[i]) | (x >> (32 - r[i])));
            A = t;
        }
        a += A;
        b += B;
        c += C;
        d += D;
    }
};

void PutLe(std::string& s, uint64_t v, int width) {
    for (int i = 0; i < width; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Le32(int32_t v) {
    std::string s;
    PutLe(s, static_cast<uint32_t>(v), 4);
    return s;
}

}  // namespace

Key16 Md5(std::string_view data) {
    Md5State st;
    std::string msg(data);
    uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
    msg.push_back(static_cast<char>(0x80));
    while (msg.size() % 64 != 56)
        msg.push_back('\0');
    PutLe(msg, bits, 8);
    for (size_t i = 0; i < msg.size(); i += 64)
        st.Block(reinterpret_cast<const uint8_t*>(msg.data() + i));
    Key16 out;
    const uint32_t words[4] = {st.a, st.b, st.c, st.d};
    for (int i = 0; i < 16; ++i)
        out[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return out;
}

std::string Compress(std::string_view data) {
    uLongf len = compressBound(data.size());
    std::string out(len, '\0');
    if (compress(reinterpret_cast<Bytef*>(out.data()), &len,
                 reinterpret_cast<const Bytef*>(data.data()), data.size()) != Z_OK)
        throw std::runtime_error("zlib compress failed");
    out.resize(len);
    return out;
}

uint32_t Crc32OfInt32(int32_t value) {
    std::string b = Le32(value);
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(b.data()), 4));
}

Encoder& Encoder::Int32(int32_t v) {
    PutLe(bytes_, static_cast<uint32_t>(v), 4);
    return *this;
}
Encoder& Encoder::UInt32(uint32_t v) {
    PutLe(bytes_, v, 4);
    return *this;
}
Encoder& Encoder::Int16(int16_t v) {
    PutLe(bytes_, static_cast<uint16_t>(v), 2);
    return *this;
}
Encoder& Encoder::UInt16(uint16_t v) {
    PutLe(bytes_, v, 2);
    return *this;
}
Encoder& Encoder::Bytes(std::string_view bytes) {
    bytes_.append(bytes);
    return *this;
}
Encoder& Encoder::Zeros(size_t n) {
    bytes_.append(n, '\0');
    return *this;
}
Encoder& Encoder::String(std::string_view text) {
    return StringWithLength(static_cast<int32_t>(text.size()), text);
}
Encoder& Encoder::StringWithLength(int32_t length, std::string_view bytes) {
    Int32(length);
    return Bytes(bytes);
}
Encoder& Encoder::IdArray(const std::vector<int32_t>& ids) {
    Int32(static_cast<int32_t>(ids.size() * 4));
    for (int32_t id : ids)
        Int32(id);
    return *this;
}
Encoder& Encoder::TaggedInt32(int32_t tag, int32_t value) {
    Int32(tag);
    if (tag == 4) Int32(value);
    return *this;
}
Encoder& Encoder::TaggedInt16(int32_t tag, int16_t value) {
    Int32(tag);
    if (tag == 2) Int16(value);
    return *this;
}
Encoder& Encoder::SkippedField(std::string_view bytes) {
    return String(bytes);
}

Encoder& Encoder::Section(const Encoder& body, std::optional<int32_t> lengthOverride) {
    Int32(lengthOverride.value_or(static_cast<int32_t>(body.Size())));
    size_t base = bytes_.size();
    bytes_.append(body.Str());
    for (BlobPlacement p : body.blobs_) {
        p.offset += base;
        p.dataOffset += base;
        blobs_.push_back(p);
    }
    return *this;
}

Encoder& Encoder::BlobRaw(std::string_view bytes) {
    BlobPlacement p{bytes_.size(), 0, bytes.size(), bytes.size(), BlobMode::kRaw};
    Int16(0).Int32(static_cast<int32_t>(bytes.size()));
    p.dataOffset = bytes_.size();
    Bytes(bytes);
    blobs_.push_back(p);
    return *this;
}

Encoder& Encoder::BlobCompressed(std::string_view bytes) {
    std::string z = Compress(bytes);
    BlobPlacement p{bytes_.size(), 0, z.size(), bytes.size(), BlobMode::kCompressed};
    Int16(1).Int32(static_cast<int32_t>(bytes.size())).Int32(static_cast<int32_t>(z.size()));
    p.dataOffset = bytes_.size();
    Bytes(z);
    blobs_.push_back(p);
    return *this;
}

Encoder& Encoder::BlobPrivate(std::string_view bytes, int32_t salt, const Key16& contentKey) {
    std::string z = Compress(bytes);
    const int32_t s = static_cast<int32_t>(bytes.size());
    const int32_t c = static_cast<int32_t>(z.size());
    std::string seed = Le32(salt);
    seed.append(reinterpret_cast<const char*>(contentKey.data()), contentKey.size());
    const Key16 d = Md5(seed);
    std::string sc = Le32(c), ss = Le32(s);
    for (int i = 0; i < 4; ++i) {
        sc[i] = static_cast<char>(sc[i] ^ d[i]);
        ss[i] = static_cast<char>(ss[i] ^ d[7 + i]);
    }
    BlobPlacement p{bytes_.size(), 0, z.size(), bytes.size(), BlobMode::kPrivate};
    Int16(3).Bytes(ss).Bytes(sc).Int32(salt);
    UInt32(Crc32OfInt32(c));
    p.dataOffset = bytes_.size();
    Bytes(z);
    UInt32(Crc32OfInt32(s));
    blobs_.push_back(p);
    return *this;
}

Encoder& Encoder::Blob(std::string_view bytes, BlobStyle& style) {
    switch (style.mode) {
        case BlobMode::kRaw:
            return BlobRaw(bytes);
        case BlobMode::kCompressed:
            return BlobCompressed(bytes);
        case BlobMode::kPrivate:
            return BlobPrivate(bytes, style.salt++, style.contentKey);
    }
    return *this;
}

Encoder& Encoder::BlobString(std::string_view text, BlobStyle& style) {
    if (!style.nulTerminated) return Blob(text, style);
    std::string withNul(text);
    withNul.push_back('\0');
    return Blob(withNul, style);
}

Encoder& Encoder::BlobString(std::string_view text) {
    BlobStyle style;
    return BlobString(text, style);
}

void Encoder::PatchInt32(size_t offset, int32_t v) {
    if (offset + 4 > bytes_.size()) throw std::out_of_range("Encoder::PatchInt32");
    std::string b = Le32(v);
    std::memcpy(bytes_.data() + offset, b.data(), 4);
}

}  // namespace qbw

#include <zlib.h>

#include <cstring>
#include <stdexcept>

#include "datafile/md5.h"
#include "writer/qbx_writer.h"

namespace qbw {

namespace {

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
    return qb::Md5(data);
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

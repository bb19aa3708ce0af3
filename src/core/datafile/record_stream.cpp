#include "datafile/record_stream.h"

#include <zlib.h>

#include <bit>
#include <cstring>
#include <new>

#include "datafile/md5.h"

namespace qb {

// Sized-section fields are copied raw: their low bytes come first in memory.
static_assert(std::endian::native == std::endian::little, "little-endian host expected");

namespace {

constexpr int16_t kBlobCompressed = 1;
constexpr int16_t kBlobPrivate = 2;
// zlib cannot expand data by more than about 1032:1; a larger claimed size is damage.
constexpr int64_t kMaxInflateRatio = 1032;
constexpr int64_t kMaxInflateSlack = 64;
constexpr int64_t kMaxBlobSize = int64_t(256) << 20;

int32_t GetInt32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}
void PutInt32(uint8_t* p, int32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(uint32_t(v) >> (8 * i));
}

}  // namespace

void CRecordStream::Fail(int code) const {
    throw CQuillError(code, file_ ? file_->Path() : std::string());
}

void CRecordStream::OpenAt(CDataFile& file, int32_t firstBlock) {
    Close();
    if (firstBlock == NIL_BLOCK) throw CQuillError(err::kCorrupted, file.Path());
    if (!file.IsOpen()) throw CQuillError(err::kFileSystem, file.Path());
    try {
        buffer_.assign(size_t(file.BlockSize()), 0);
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, file.Path());
    }
    file_ = &file;
    blockSize_ = file.BlockSize();
    nextBlock_ = firstBlock;
    position_ = 0;
    blocksLoaded_ = 0;
    guard_.Reset();
}

void CRecordStream::OpenRecord(CDataFile& file, int t, int32_t id) {
    int32_t first = file.LookupRecord(t, id);
    OpenAt(file, first);
    table_ = t;
    slot_ = id;
}

void CRecordStream::OpenStream(CDataFile& file, int16_t streamId) {
    OpenAt(file, file.FindStream(streamId));
}

void CRecordStream::Close() {
    file_ = nullptr;
    buffer_.clear();
    buffer_.shrink_to_fit();
    nextBlock_ = NIL_BLOCK;
    position_ = 0;
    table_ = slot_ = -1;
    blocksLoaded_ = 0;
    guard_.Reset();
}

int32_t CRecordStream::AdvanceChain() {
    if (!file_ || nextBlock_ == NIL_BLOCK) Fail(err::kCorrupted);
    int32_t block = nextBlock_;
    if (block < 0 || block >= file_->BlockCount()) Fail(err::kTruncated);
    try {
        if (++blocksLoaded_ > file_->BlockCount() || !guard_.Visit(block)) Fail(err::kCorrupted);
    } catch (const std::bad_alloc&) {
        Fail(err::kOutOfMemory);
    }
    nextBlock_ = file_->NextBlock(block);
    return block;
}

void CRecordStream::LoadNextBlock() {
    int32_t block = AdvanceChain();
    file_->ReadBlock(block, buffer_.data());
    position_ = 0;
}

int64_t CRecordStream::MaxRemaining() const {
    if (!file_) return 0;
    int64_t inBuffer = position_ > 0 ? blockSize_ - position_ : 0;
    if (nextBlock_ == NIL_BLOCK) return inBuffer;
    int64_t blocksLeft = file_->BlockCount() - blocksLoaded_;
    return inBuffer + (blocksLeft > 0 ? blocksLeft : 0) * blockSize_;
}

CRecordStream::ReadResult CRecordStream::Read(void* dest, size_t n) {
    uint8_t* out = static_cast<uint8_t*>(dest);
    size_t delivered = 0;
    if (!file_) return {err::kCorrupted, 0};
    // An empty read (a zero-length blob, whose buffer may be null) moves nothing.
    if (n == 0) return {0, 0};
    const size_t b = size_t(blockSize_);
    try {
        if (position_ > 0) {
            size_t rest = b - size_t(position_);
            if (rest >= n) {
                std::memcpy(out, buffer_.data() + position_, n);
                position_ += static_cast<int32_t>(n);
                return {0, n};
            }
            std::memcpy(out, buffer_.data() + position_, rest);
            delivered = rest;
            n -= rest;
            position_ = 0;
        }
        while (n >= b) {
            LoadNextBlock();
            std::memcpy(out + delivered, buffer_.data(), b);
            delivered += b;
            n -= b;
        }
        if (n > 0) {
            LoadNextBlock();
            std::memcpy(out + delivered, buffer_.data(), n);
            delivered += n;
            position_ = static_cast<int32_t>(n);
        }
    } catch (const CQuillError& e) {
        return {e.Code(), delivered};
    } catch (const std::bad_alloc&) {
        return {err::kOutOfMemory, delivered};
    }
    return {0, delivered};
}

void CRecordStream::Skip(size_t n) {
    if (!file_) Fail(err::kCorrupted);
    const size_t b = size_t(blockSize_);
    if (position_ > 0) {
        size_t rest = b - size_t(position_);
        if (rest >= n) {
            position_ += static_cast<int32_t>(n);
            return;
        }
        n -= rest;
        position_ = 0;
    }
    // Whole blocks are passed over by their chain entries alone.
    for (; n >= b; n -= b)
        AdvanceChain();
    if (n > 0) {
        LoadNextBlock();
        position_ = static_cast<int32_t>(n);
    }
}

void CRecordStream::ReadExact(void* dest, size_t n) {
    ReadResult r = Read(dest, n);
    if (r.code != 0) Fail(r.code);
}

int32_t CRecordStream::ReadInt32() {
    uint8_t raw[4];
    ReadExact(raw, 4);
    return GetInt32(raw);
}

int16_t CRecordStream::ReadInt16() {
    return static_cast<int16_t>(ReadUInt16());
}

uint16_t CRecordStream::ReadUInt16() {
    uint8_t raw[2];
    ReadExact(raw, 2);
    return static_cast<uint16_t>(raw[0] | raw[1] << 8);
}

std::string CRecordStream::ReadString() {
    int32_t n = ReadInt32();
    if (n < 0 || n > MaxRemaining()) Fail(err::kCorrupted);
    std::string s;
    try {
        s.resize(size_t(n));
    } catch (const std::bad_alloc&) {
        Fail(err::kOutOfMemory);
    }
    ReadExact(s.data(), s.size());
    return s;
}

std::vector<int32_t> CRecordStream::ReadIdArray() {
    int32_t len = ReadInt32();
    if (len < 4) return {};
    if (len > MaxRemaining()) Fail(err::kCorrupted);
    std::vector<uint8_t> raw;
    std::vector<int32_t> ids;
    try {
        raw.resize(size_t(len / 4) * 4);
        ids.resize(size_t(len / 4));
    } catch (const std::bad_alloc&) {
        Fail(err::kOutOfMemory);
    }
    ReadExact(raw.data(), raw.size());
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = GetInt32(raw.data() + 4 * i);
    // A length that is not a whole number of ids: the stray bytes are passed over.
    Skip(size_t(len % 4));
    return ids;
}

int32_t CRecordStream::ReadTaggedInt32() {
    return ReadInt32() == 4 ? ReadInt32() : 0;
}
int16_t CRecordStream::ReadTaggedInt16() {
    return ReadInt32() == 2 ? ReadInt16() : 0;
}

void CRecordStream::SkipField() {
    int32_t n = ReadInt32();
    if (n < 0 || n > MaxRemaining()) Fail(err::kCorrupted);
    Skip(size_t(n));
}

void CRecordStream::ReadSectionField(void* dest, int width, int32_t& remaining) {
    if (width <= 0) return;
    if (remaining >= width) {
        ReadExact(dest, size_t(width));
        remaining -= width;
    } else if (remaining > 0) {
        ReadExact(dest, size_t(remaining));
        remaining = 0;
    } else {
        Fail(err::kCorrupted);
    }
}

bool CRecordStream::ReadLenientField(void* dest, int width, int32_t& remaining) {
    if (width <= 0 || remaining < width) return false;
    ReadExact(dest, size_t(width));
    remaining -= width;
    return true;
}

CRecordStream::BlobHeader CRecordStream::ReadBlobHeader() {
    BlobHeader h;
    const int16_t flags = ReadInt16();
    h.size = ReadInt32();
    if (!(flags & kBlobCompressed)) {
        if (h.size < 0 || h.size > MaxRemaining()) Fail(err::kCorrupted);
        h.stored = h.size;
        return h;
    }
    h.compressed = true;
    h.stored = ReadInt32();
    h.isPrivate = (flags & kBlobPrivate) != 0;
    if (h.isPrivate) {
        uint8_t salt[4];
        ReadExact(salt, 4);
        uint32_t checkA = static_cast<uint32_t>(ReadInt32());
        uint8_t keyed[20];
        std::memcpy(keyed, salt, 4);
        std::memcpy(keyed + 4, file_->GetContentKey().data(), 16);
        Md5Digest d = Md5(keyed, sizeof keyed);
        uint8_t c[4], s[4];
        PutInt32(c, h.stored);
        PutInt32(s, h.size);
        for (int i = 0; i < 4; ++i) {
            c[i] ^= d[size_t(i)];
            s[i] ^= d[size_t(7 + i)];
        }
        // A wrong content key shows here, before any compressed data is read.
        if (crc32(0, c, 4) != checkA) Fail(err::kCorrupted);
        h.stored = GetInt32(c);
        h.size = GetInt32(s);
    }
    if (h.stored < 0 || h.stored > MaxRemaining()) Fail(err::kCorrupted);
    if (h.size < 0 || h.size > kMaxBlobSize ||
        h.size > kMaxInflateRatio * h.stored + kMaxInflateSlack)
        Fail(err::kCorrupted);
    return h;
}

void CRecordStream::CheckPrivateBlobEnd(int32_t inflatedSize) {
    uint8_t finalSize[4];
    PutInt32(finalSize, inflatedSize);
    uint32_t checkB = static_cast<uint32_t>(ReadInt32());
    if (crc32(0, finalSize, 4) != checkB) Fail(err::kCorrupted);
}

std::string CRecordStream::ReadBlob() {
    const BlobHeader h = ReadBlobHeader();
    std::string out;
    try {
        if (!h.compressed) {
            out.resize(size_t(h.size));
            ReadExact(out.data(), out.size());
            return out;
        }
        std::vector<uint8_t> packed(static_cast<size_t>(h.stored));
        ReadExact(packed.data(), packed.size());
        out.resize(size_t(h.size));
        uLongf produced = uLongf(h.size);
        uint8_t spare = 0;
        Bytef* target = out.empty() ? &spare : reinterpret_cast<Bytef*>(out.data());
        if (uncompress(target, &produced, packed.data(), uLong(packed.size())) != Z_OK)
            Fail(err::kCorrupted);
        out.resize(size_t(produced));
        if (h.isPrivate) CheckPrivateBlobEnd(static_cast<int32_t>(produced));
    } catch (const std::bad_alloc&) {
        Fail(err::kOutOfMemory);
    }
    return out;
}

void CRecordStream::SkipBlob() {
    const BlobHeader h = ReadBlobHeader();
    Skip(size_t(h.stored));
    // A sound private blob inflates to exactly the size it declares.
    if (h.isPrivate) CheckPrivateBlobEnd(h.size);
}

std::string CRecordStream::ReadBlobString() {
    std::string blob = ReadBlob();
    size_t nul = blob.find('\0');
    if (nul != std::string::npos) blob.resize(nul);
    return blob;
}

}  // namespace qb

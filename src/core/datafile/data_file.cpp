#include "datafile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "datafile/chain_guard.h"
#include "datafile/record_stream.h"
#include "platform/file_io.h"

namespace qb {
namespace {

constexpr int kMinVersion = 210;
constexpr int kMaxVersion = 400;
constexpr int kLongHeaderVersion = 300;
constexpr int32_t kShortHeader = 60;
constexpr char kGeneratorText[] = "Quillbox Data File";
constexpr int kGeneratorOffset = 80;
constexpr int kGeneratorEnd = 172;
constexpr int kChainCacheSlots = 16;

int32_t GetInt32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}
uint16_t GetUInt16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Reads up to n bytes at `offset`, retrying interrupted and partial reads;
// returns how many arrived before the end of the file.
size_t ReadAt(int fd, void* buf, size_t n, int64_t offset, const std::string& path) {
    size_t done = 0;
    while (done < n) {
        ssize_t got =
            CurrentFileIo().ReadAt(fd, static_cast<uint8_t*>(buf) + done, n - done,
                                   static_cast<off_t>(offset + static_cast<int64_t>(done)));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw CQuillError(ErrnoToCode(errno), path);
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

struct HeaderInfo {
    int16_t version = 0;
    bool versionKnown = false;
    int32_t length = 0;
    uint8_t bytes[CDataFile::kHeaderBufferSize] = {};
};

// Reads and validates the header; the checks run in this order on purpose.
// A file whose first bytes are not the magic is of another type, however
// short; a data file cut short is truncated; one of a foreign version is
// refused before a too new one.
void ReadHeader(int fd, const std::string& path, HeaderInfo& h) {
    uint8_t first[4];
    size_t got = ReadAt(fd, first, 4, 0, path);
    if (got == 0 || first[0] != 'Q' || (got > 1 && first[1] != 'B'))
        throw CQuillError(err::kNotQuillbox, path);
    if (got < 4) throw CQuillError(err::kTruncated, path);
    h.version = static_cast<int16_t>(GetUInt16(first + 2));
    h.versionKnown = true;
    uint32_t length = kShortHeader;
    if (h.version >= kLongHeaderVersion) {
        uint8_t raw[4];
        if (ReadAt(fd, raw, 4, 60, path) < 4) throw CQuillError(err::kTruncated, path);
        length = static_cast<uint32_t>(GetInt32(raw));
        if (length > CDataFile::kHeaderBufferSize) length = CDataFile::kHeaderBufferSize;
    }
    h.length = static_cast<int32_t>(length);
    if (ReadAt(fd, h.bytes, length, 0, path) < length) throw CQuillError(err::kTruncated, path);
    if (h.version < kMinVersion) throw CQuillError(err::kNotValid, path);
    if (h.version > kMaxVersion) throw CQuillError(err::kNewerVersion, path);
    if (h.version >= kLongHeaderVersion) {
        // Bytes beyond the header length are zero in the buffer, so a header
        // too short to hold the text fails here as well.
        const char* text = reinterpret_cast<const char*>(h.bytes + kGeneratorOffset);
        size_t len = strnlen(text, kGeneratorEnd - kGeneratorOffset);
        if (len != sizeof kGeneratorText - 1 || std::memcmp(text, kGeneratorText, len) != 0)
            throw CQuillError(err::kNotValid, path);
    }
}

int OpenReadOnly(const std::string& path) {
    // O_NONBLOCK keeps a FIFO in place of the file from blocking the open.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) throw CQuillError(ErrnoToCode(errno), path);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        int e = errno;
        ::close(fd);
        throw CQuillError(ErrnoToCode(e), path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw CQuillError(err::kFileSystem, path);
    }
    int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    return fd;
}

// A shared lock keeps cooperating writers out while the file is open. An
// open-file-description lock is used where the kernel has it, since a plain
// POSIX lock would vanish when any other descriptor of the same file in this
// process is closed.
void LockShared(int fd, const std::string& path) {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_RDLCK;
    fl.l_whence = SEEK_SET;
    int rc = -1;
#ifdef F_OFD_SETLK
    rc = ::fcntl(fd, F_OFD_SETLK, &fl);
    if (rc != 0 && errno == EINVAL) rc = ::fcntl(fd, F_SETLK, &fl);
#else
    rc = ::fcntl(fd, F_SETLK, &fl);
#endif
    if (rc == 0) return;
    int e = errno;
    if (e == EAGAIN || e == EACCES) throw CQuillError(err::kInUse, path);
    // File systems without lock support: the file is still only read.
    if (e == ENOLCK || e == EOPNOTSUPP || e == ENOSYS || e == EINVAL) return;
    throw CQuillError(ErrnoToCode(e), path);
}

}  // namespace

struct CDataFile::Impl {
    int fd = -1;
    int openMode = 0;
    std::string path;
    HeaderInfo header;
    int32_t blockSize = 0;
    int32_t entries = 0;
    int64_t fileLength = 0;
    int64_t blockCount = 0;
    int64_t blockReads = 0;
    ContentKey key{};

    // Chain-table blocks recently read, direct-mapped by block number.
    struct ChainSlot {
        int64_t base = -1;
        std::vector<int32_t> entries;
    };
    ChainSlot chainCache[kChainCacheSlots];

    // Per record table: the chain's blocks in order and their slots, filled
    // on first use so that a lookup never walks the chain from its head.
    struct TableIndex {
        std::vector<int32_t> blocks;
        std::vector<std::vector<int32_t>> slots;
        ChainGuard guard;
        bool ended = false;
    };
    TableIndex tables[7];

    void CloseFd() {
        if (fd >= 0) ::close(fd);
        fd = -1;
        openMode = 0;
        blockSize = entries = 0;
        fileLength = blockCount = blockReads = 0;
        key.fill(0);
        for (auto& c : chainCache) {
            c.base = -1;
            c.entries.clear();
        }
        for (auto& t : tables)
            t = TableIndex();
    }

    void RequireOpen() const {
        if (openMode == 0) throw CQuillError(err::kFileSystem, path);
    }

    void ReadBlockInto(int32_t n, void* buffer) {
        RequireOpen();
        if (n < 0 || n >= blockCount) throw CQuillError(err::kTruncated, path);
        int64_t offset = header.length + int64_t(blockSize) * n;
        ++blockReads;
        if (ReadAt(fd, buffer, size_t(blockSize), offset, path) < size_t(blockSize))
            throw CQuillError(err::kTruncated, path);
    }

    std::vector<int32_t> DecodeEntries(const std::vector<uint8_t>& raw) const {
        std::vector<int32_t> out(static_cast<size_t>(entries));
        for (int32_t i = 0; i < entries; ++i)
            out[size_t(i)] = GetInt32(raw.data() + 4 * i);
        return out;
    }

    int32_t Next(int32_t v) {
        if (v == NIL_BLOCK) throw CQuillError(err::kCorrupted, path);
        RequireOpen();
        if (v < 0 || v >= blockCount) throw CQuillError(err::kTruncated, path);
        int64_t base = int64_t(v / entries) * entries;
        ChainSlot& slot = chainCache[(v / entries) % kChainCacheSlots];
        if (slot.base != base) {
            std::vector<uint8_t> raw(static_cast<size_t>(blockSize));
            ReadBlockInto(static_cast<int32_t>(base), raw.data());
            slot.entries = DecodeEntries(raw);
            slot.base = base;
        }
        return slot.entries[size_t(v % entries)];
    }

    // Makes sure block q of table t's chain is indexed; false when the chain
    // ends before it.
    bool IndexTableBlock(int t, size_t q, int32_t first) {
        TableIndex& idx = tables[t];
        while (idx.blocks.size() <= q) {
            if (idx.ended) return false;
            int32_t b = idx.blocks.empty() ? first : Next(idx.blocks.back());
            if (b == NIL_BLOCK) {
                idx.ended = true;
                return false;
            }
            if (b < 0 || b >= blockCount) throw CQuillError(err::kTruncated, path);
            if (!idx.guard.Visit(b)) throw CQuillError(err::kCorrupted, path);
            idx.blocks.push_back(b);
            idx.slots.emplace_back();
        }
        return true;
    }

    const std::vector<int32_t>& TableSlots(int t, size_t q) {
        TableIndex& idx = tables[t];
        std::vector<int32_t>& slots = idx.slots[q];
        if (slots.empty()) {
            std::vector<uint8_t> raw(static_cast<size_t>(blockSize));
            ReadBlockInto(idx.blocks[q], raw.data());
            slots = DecodeEntries(raw);
        }
        return slots;
    }
};

CDataFile::CDataFile() : impl_(std::make_unique<Impl>()) {}
CDataFile::~CDataFile() {
    impl_->CloseFd();
}

void CDataFile::Open(const std::string& path, bool allowNewer) {
    Impl& d = *impl_;
    d.CloseFd();
    d.path = path;
    d.header = HeaderInfo();
    try {
        d.fd = OpenReadOnly(path);
        d.openMode = 1;
        LockShared(d.fd, path);
        try {
            ReadHeader(d.fd, path, d.header);
        } catch (const CQuillError& e) {
            int v = d.header.version;
            bool newerAllowed =
                e.Code() == err::kNewerVersion && allowNewer && v / 100 == 4 && v % 100 > 0;
            if (!newerAllowed) throw;
        }
        const uint8_t* h = d.header.bytes;
        d.blockSize = GetUInt16(h + 4);
        d.entries = GetUInt16(h + 6);
        // The chain and record tables are read as E entries of one block:
        // any other geometry would index past the block.
        if (d.entries == 0 || d.blockSize != 4 * d.entries)
            throw CQuillError(err::kCorrupted, path);
        struct stat st;
        if (::fstat(d.fd, &st) != 0) throw CQuillError(ErrnoToCode(errno), path);
        d.fileLength = st.st_size;
        d.blockCount =
            d.fileLength > d.header.length ? (d.fileLength - d.header.length) / d.blockSize : 0;
    } catch (const CQuillError&) {
        Abort();
        throw;
    } catch (const std::bad_alloc&) {
        Abort();
        throw CQuillError(err::kOutOfMemory, path);
    }
}

void CDataFile::OpenReplica(const CDataFile& source) {
    const Impl& from = *source.impl_;
    Impl& d = *impl_;
    d.CloseFd();
    from.RequireOpen();
    try {
        d.path = from.path;
        d.header = from.header;
        d.blockSize = from.blockSize;
        d.entries = from.entries;
        d.fileLength = from.fileLength;
        d.blockCount = from.blockCount;
        d.key = from.key;
        for (int i = 0; i < kChainCacheSlots; ++i)
            d.chainCache[i] = from.chainCache[i];
        for (int t = 0; t < 7; ++t)
            d.tables[t] = from.tables[t];
        // pread never moves the shared offset, so the duplicate is as good
        // as a descriptor of its own, and it cannot name another file.
        d.fd = ::fcntl(from.fd, F_DUPFD_CLOEXEC, 0);
        if (d.fd < 0) throw CQuillError(ErrnoToCode(errno), from.path);
        d.openMode = from.openMode;
    } catch (const CQuillError&) {
        Abort();
        throw;
    } catch (const std::bad_alloc&) {
        Abort();
        throw CQuillError(err::kOutOfMemory, from.path);
    }
}

int CDataFile::Probe(const std::string& path) {
    int fd = OpenReadOnly(path);
    HeaderInfo h;
    try {
        ReadHeader(fd, path, h);
    } catch (const CQuillError& e) {
        ::close(fd);
        if (e.Code() == err::kNotValid) return 4;
        if (e.Code() == err::kNewerVersion) return h.version < 500 ? 2 : 3;
        throw;
    }
    ::close(fd);
    return h.version == kMaxVersion ? 0 : 1;
}

bool CDataFile::IsOpen() const {
    return impl_->openMode != 0;
}
int CDataFile::Version() const {
    return impl_->header.version;
}

int32_t CDataFile::Flags() const {
    if (impl_->header.length < 80) return 0;
    return GetInt32(impl_->header.bytes + 76);
}

bool CDataFile::AsksPasswordAtOpen() const {
    return (Flags() & 3) != 0;
}
int32_t CDataFile::BlockSize() const {
    return impl_->blockSize;
}
int32_t CDataFile::EntriesPerBlock() const {
    return impl_->entries;
}
int32_t CDataFile::HeaderLength() const {
    return impl_->header.length;
}
const uint8_t* CDataFile::Header() const {
    return impl_->header.bytes;
}

std::string CDataFile::GeneratorText() const {
    const Impl& d = *impl_;
    if (d.header.length <= kGeneratorOffset) return {};
    const char* text = reinterpret_cast<const char*>(d.header.bytes + kGeneratorOffset);
    size_t limit = size_t(std::min<int32_t>(d.header.length, kGeneratorEnd) - kGeneratorOffset);
    return std::string(text, strnlen(text, limit));
}

CDataFile::TableDescriptor CDataFile::Table(int t) const {
    TableDescriptor td;
    if (t < 0 || t > 6) return td;
    int offset = t < 3 ? 20 + 12 * t : 136 + 12 * t;
    if (offset + 12 > impl_->header.length) return td;
    const uint8_t* p = impl_->header.bytes + offset;
    td.count = GetInt32(p);
    td.free = GetInt32(p + 4);
    td.firstBlock = GetInt32(p + 8);
    return td;
}

int32_t CDataFile::LiveCount(int t) const {
    TableDescriptor td = Table(t);
    return static_cast<int32_t>(int64_t(td.count) - td.free);
}

int64_t CDataFile::FileLength() const {
    return impl_->fileLength;
}
int64_t CDataFile::BlockCount() const {
    return impl_->blockCount;
}

void CDataFile::ReadBlock(int32_t n, uint8_t* buffer) {
    impl_->ReadBlockInto(n, buffer);
}
int32_t CDataFile::NextBlock(int32_t block) {
    return impl_->Next(block);
}
int64_t CDataFile::BlockReads() const {
    return impl_->blockReads;
}

int32_t CDataFile::LookupRecord(int t, int32_t id) {
    Impl& d = *impl_;
    d.RequireOpen();
    if (t < 0 || t > 6) throw CQuillError(err::kBadRecordId, d.path);
    TableDescriptor td = Table(t);
    if (id < 0 || id >= td.count) throw CQuillError(err::kBadRecordId, d.path);
    size_t q = size_t(id / d.entries);
    try {
        if (!d.IndexTableBlock(t, q, td.firstBlock)) throw CQuillError(err::kCorrupted, d.path);
        return d.TableSlots(t, q)[size_t(id % d.entries)];
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, d.path);
    }
}

void CDataFile::ListLiveRecords(IdSet& out) {
    ListLiveRecords(table::kArticles, out);
}

void CDataFile::ListLiveRecords(int t, IdSet& out) {
    Impl& d = *impl_;
    d.RequireOpen();
    TableDescriptor td = Table(t);
    std::vector<int32_t> ids;
    try {
        int32_t slot = 0;
        for (size_t q = 0; slot < td.count; ++q) {
            if (!d.IndexTableBlock(t, q, td.firstBlock)) break;
            const std::vector<int32_t>& slots = d.TableSlots(t, q);
            for (size_t r = 0; r < slots.size() && slot < td.count; ++r, ++slot)
                if (slots[r] != NIL_BLOCK) ids.push_back(slot);
        }
        out.Copy(IdSet::FromUnsorted(std::move(ids)));
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, d.path);
    }
}

int32_t CDataFile::FindStream(int16_t streamId) {
    TableDescriptor td = Table(table::kStreamDirectory);
    if (td.firstBlock == NIL_BLOCK) return NIL_BLOCK;
    CRecordStream rs;
    rs.OpenAt(*this, td.firstBlock);
    rs.ReadInt32();
    for (int32_t i = 0; i < td.count; ++i) {
        int16_t id = rs.ReadInt16();
        int32_t block = rs.ReadInt32();
        if (id == streamId) return block;
    }
    return NIL_BLOCK;
}

std::vector<CDataFile::StreamEntry> CDataFile::StreamDirectory() {
    std::vector<StreamEntry> out;
    TableDescriptor td = Table(table::kStreamDirectory);
    if (td.firstBlock == NIL_BLOCK) return out;
    CRecordStream rs;
    rs.OpenAt(*this, td.firstBlock);
    rs.ReadInt32();
    try {
        for (int32_t i = 0; i < td.count; ++i) {
            StreamEntry e;
            e.id = rs.ReadInt16();
            e.firstBlock = rs.ReadInt32();
            out.push_back(e);
        }
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, impl_->path);
    }
    return out;
}

void CDataFile::SetContentKey(const ContentKey& key) {
    impl_->key = key;
}
const ContentKey& CDataFile::GetContentKey() const {
    return impl_->key;
}

const std::string& CDataFile::Path() const {
    return impl_->path;
}

std::string CDataFile::FileName() const {
    const std::string& p = impl_->path;
    size_t slash = p.find_last_of('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string CDataFile::FileTitle() const {
    std::string name = FileName();
    size_t dot = name.find_last_of('.');
    // A leading dot starts a hidden name, not an extension.
    if (dot == std::string::npos || dot == 0) return name;
    return name.substr(0, dot);
}

void CDataFile::Close() {
    impl_->CloseFd();
}
void CDataFile::Abort() {
    impl_->CloseFd();
}

}  // namespace qb

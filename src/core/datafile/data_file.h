// The paged container: header, blocks, chain table, record tables and the
// numbered-stream directory. Opened read-only; never written.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "datafile/id_set.h"
#include "datafile/quill_error.h"

namespace qb {

namespace table {
constexpr int kKeywords = 0;
constexpr int kArticles = 1;
constexpr int kStreamDirectory = 2;
constexpr int kGroups = 3;
}  // namespace table

using ContentKey = std::array<uint8_t, 16>;

class CDataFile {
public:
    static constexpr int kHeaderBufferSize = 220;

    struct TableDescriptor {
        int32_t count = 0;
        int32_t free = 0;
        int32_t firstBlock = NIL_BLOCK;
    };

    CDataFile();
    ~CDataFile();
    CDataFile(const CDataFile&) = delete;
    CDataFile& operator=(const CDataFile&) = delete;

    // Opens and validates; throws CQuillError (the file is closed again on
    // failure). `allowNewer` lets versions 401 to 499 through.
    void Open(const std::string& path, bool allowNewer);

    // Opens a second handle on the file `source` has open, for reading on
    // another thread: its own descriptor (a duplicate, so it is the very
    // same file and its lock) and its own caches, starting from copies of
    // the source's. Reads through either never disturb the other; the
    // source must not be closed while the replica is in use. Throws
    // CQuillError when `source` is not open or no descriptor is left.
    void OpenReplica(const CDataFile& source);

    // 0: version 400; 1: below 400; 2: 401..499; 3: 500 and up; 4: not a
    // valid data file (code 7). Other failures are thrown.
    static int Probe(const std::string& path);

    bool IsOpen() const;
    int Version() const;
    int32_t Flags() const;  // header offset 76
    bool AsksPasswordAtOpen() const;
    int32_t BlockSize() const;
    int32_t EntriesPerBlock() const;
    int32_t HeaderLength() const;
    const uint8_t* Header() const;  // the first HeaderLength() bytes
    std::string GeneratorText() const;
    TableDescriptor Table(int t) const;  // t = 0..6; empty beyond the header length
    int32_t LiveCount(int t) const;      // count - free
    int64_t FileLength() const;
    int64_t BlockCount() const;  // whole blocks the file holds after its header

    void ReadBlock(int32_t n, uint8_t* buffer);  // BlockSize() bytes
    int64_t BlockReads() const;                  // blocks read from the disk since Open
    int32_t NextBlock(int32_t block);
    int32_t LookupRecord(int t, int32_t id);
    void ListLiveRecords(IdSet& out);  // occupied slots of the article table
    void ListLiveRecords(int t, IdSet& out);
    int32_t FindStream(int16_t streamId);

    struct StreamEntry {
        int16_t id;
        int32_t firstBlock;
    };
    std::vector<StreamEntry> StreamDirectory();  // empty when there is none

    void SetContentKey(const ContentKey& key);
    const ContentKey& GetContentKey() const;

    const std::string& Path() const;  // as opened
    std::string FileName() const;     // last path component
    std::string FileTitle() const;    // file name without its extension

    void Close();
    void Abort();  // close without raising further errors

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qb

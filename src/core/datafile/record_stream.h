// Sequential reader over one chain of blocks, with the file's primitive
// encodings. Holds one block in memory; lives for one record or stream read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "datafile/chain_guard.h"
#include "datafile/data_file.h"

namespace qb {

class CRecordStream {
public:
    CRecordStream() = default;
    ~CRecordStream() { Close(); }
    CRecordStream(const CRecordStream&) = delete;
    CRecordStream& operator=(const CRecordStream&) = delete;

    void OpenAt(CDataFile& file, int32_t firstBlock);     // NIL_BLOCK: code 5
    void OpenRecord(CDataFile& file, int t, int32_t id);  // code 3 / 5
    void OpenStream(CDataFile& file, int16_t streamId);   // missing: code 5

    struct ReadResult {
        int code;          // 0 on success
        size_t delivered;  // bytes copied before any failure
    };
    // The one reader that does not throw.
    ReadResult Read(void* dest, size_t n);

    // These throw CQuillError.
    void ReadExact(void* dest, size_t n);
    int32_t ReadInt32();
    int16_t ReadInt16();
    uint16_t ReadUInt16();
    std::string ReadString();            // int32 length, then the bytes
    std::vector<int32_t> ReadIdArray();  // int32 byte length, then ids (unsorted)
    int32_t ReadTaggedInt32();
    int16_t ReadTaggedInt16();
    void SkipField();  // int32 length, then that many bytes skipped
    void Skip(size_t n);
    std::string ReadBlob();        // raw, compressed or private; unsound: code 5
    std::string ReadBlobString();  // up to the first NUL
    // Passes over a blob without inflating it: the same checks as ReadBlob
    // but for the compressed data itself, which is not looked at.
    void SkipBlob();

    // Strict sized section: reads `width` bytes against `remaining` (a
    // partial last field fills the low bytes of `dest`); nothing left: code 5.
    void ReadSectionField(void* dest, int width, int32_t& remaining);
    // Lenient sized section: reads the field only when all of it fits;
    // returns whether it did. Never throws for a short section.
    bool ReadLenientField(void* dest, int width, int32_t& remaining);

    void Close();

    CDataFile* File() const { return file_; }

    // The most bytes the rest of the chain can still deliver: a length read
    // from the file that exceeds it cannot be sound.
    int64_t MaxRemaining() const;

private:
    struct BlobHeader {
        bool compressed = false;
        bool isPrivate = false;
        int32_t size = 0;    // as inflated
        int32_t stored = 0;  // bytes in the file after the header
    };
    // A blob's header, its sizes checked against the chain and each other.
    BlobHeader ReadBlobHeader();
    // The check word after a private blob's data, against its inflated size.
    void CheckPrivateBlobEnd(int32_t inflatedSize);
    void LoadNextBlock();
    int32_t AdvanceChain();  // the block to load next, checked, with its successor taken
    [[noreturn]] void Fail(int code) const;

    CDataFile* file_ = nullptr;
    int32_t blockSize_ = 0;
    int32_t nextBlock_ = NIL_BLOCK;
    int32_t position_ = 0;
    std::vector<uint8_t> buffer_;
    int32_t table_ = -1;
    int32_t slot_ = -1;
    int64_t blocksLoaded_ = 0;  // guards against chains longer than the file
    ChainGuard guard_;          // and against chains that loop back
};

}  // namespace qb

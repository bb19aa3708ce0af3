// Helpers shared by the record and stream readers; not for other callers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "datafile/data_file.h"
#include "datafile/quill_error.h"
#include "datafile/record_stream.h"

namespace qb::record_reading {

std::string PathOf(const CRecordStream& s);

// Code 5 for the file `s` reads.
[[noreturn]] void Corrupted(const CRecordStream& s);

// Reads n bytes in pieces, so that a length the record lies about costs no
// more memory than the chain really holds.
std::string ReadBytes(CRecordStream& s, size_t n);

// The text up to its first NUL byte.
std::string UpToNul(std::string text);

// A field of a lenient section, read only when all of it fits.
template <typename T>
bool Lenient(CRecordStream& s, T& v, int32_t& remaining) {
    return s.ReadLenientField(&v, static_cast<int>(sizeof(T)), remaining);
}

// A lenient text: int32 length, then the bytes if they fit; else empty.
// False when not even the length fitted.
bool LenientText(CRecordStream& s, std::string& out, int32_t& remaining);

struct KeepOutput {
    void operator()() const {}
};

// Reads the optional stream `id` with `read(stream)`. A stream that is absent
// or damaged (code 5) returns false and the caller's defaults stand; any
// other error is thrown on. `discard` runs first on every error, for outputs
// that must not keep half of a read.
template <typename Read, typename Discard = KeepOutput>
bool ReadOptionalStream(CDataFile& f, int16_t id, Read read, Discard discard = {}) {
    try {
        CRecordStream s;
        s.OpenStream(f, id);
        read(s);
        return true;
    } catch (const CQuillError& e) {
        discard();
        if (!e.IsCorrupted()) throw;
        return false;
    }
}

}  // namespace qb::record_reading

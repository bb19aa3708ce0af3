#include "datafile/record_reading.h"

#include <algorithm>

namespace qb::record_reading {

std::string PathOf(const CRecordStream& s) {
    return s.File() ? s.File()->Path() : std::string();
}

void Corrupted(const CRecordStream& s) {
    throw CQuillError(err::kCorrupted, PathOf(s));
}

std::string ReadBytes(CRecordStream& s, size_t n) {
    constexpr size_t kPiece = 64 * 1024;
    std::string out;
    while (out.size() < n) {
        size_t take = std::min(kPiece, n - out.size());
        size_t at = out.size();
        out.resize(at + take);
        s.ReadExact(out.data() + at, take);
    }
    return out;
}

std::string UpToNul(std::string text) {
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.erase(nul);
    return text;
}

bool LenientText(CRecordStream& s, std::string& out, int32_t& remaining) {
    int32_t n = 0;
    if (!Lenient(s, n, remaining)) return false;
    if (n > 0 && n <= remaining) {
        out = ReadBytes(s, static_cast<size_t>(n));
        remaining -= n;
    } else if (n != 0) {
        remaining = 0;  // the text overruns the section: nothing after it is sound
    }
    return true;
}

}  // namespace qb::record_reading

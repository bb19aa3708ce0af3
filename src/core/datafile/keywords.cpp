#include "datafile/keywords.h"

#include <new>

#include "datafile/record_reading.h"

namespace qb {

using record_reading::PathOf;

void ReadKeyword(CRecordStream& s, CKeyword& k, int fileVersion, bool nameOnly) {
    k = CKeyword();
    try {
        uint16_t w = static_cast<uint16_t>(s.ReadTaggedInt16());
        k.level = static_cast<int16_t>(w & 0x7FFF);
        if (!(k.level == 2 || (k.level == 3 && fileVersion >= 400)))
            throw CQuillError(err::kBadFormatLevel, PathOf(s));
        k.name = (w & 0x8000) ? s.ReadBlobString() : s.ReadString();
        if (nameOnly) return;
        k.articles = IdSet::FromUnsorted(s.ReadIdArray());
        if (k.level > 2) k.secondIds = s.ReadIdArray();
    } catch (const CQuillError&) {
        k.name.clear();
        k.articles.Clear();
        k.secondIds.clear();
        throw;
    } catch (const std::bad_alloc&) {
        k = CKeyword();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

CKeyword ReadKeyword(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kKeywords, id);
    CKeyword k;
    ReadKeyword(s, k, f.Version());
    return k;
}

std::string ReadKeywordName(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kKeywords, id);
    CKeyword k;
    ReadKeyword(s, k, f.Version(), true);
    return k.name;
}

void ReadGroup(CRecordStream& s, CKeywordGroup& g, bool nameOnly) {
    g = CKeywordGroup();
    try {
        uint16_t w = static_cast<uint16_t>(s.ReadTaggedInt16());
        g.level = static_cast<int16_t>(w & 0x7FFF);
        if (g.level != 3) throw CQuillError(err::kBadFormatLevel, PathOf(s));
        g.name = s.ReadBlobString();
        if (nameOnly) return;
        g.value = s.ReadInt32();
        g.keywords = IdSet::FromUnsorted(s.ReadIdArray());
    } catch (const CQuillError&) {
        g = CKeywordGroup();
        throw;
    } catch (const std::bad_alloc&) {
        g = CKeywordGroup();
        throw CQuillError(err::kOutOfMemory, PathOf(s));
    }
}

CKeywordGroup ReadGroup(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kGroups, id);
    CKeywordGroup g;
    ReadGroup(s, g);
    return g;
}

std::string ReadGroupName(CDataFile& f, int32_t id) {
    CRecordStream s;
    s.OpenRecord(f, table::kGroups, id);
    CKeywordGroup g;
    ReadGroup(s, g, true);
    return g.name;
}

}  // namespace qb

// Keyword records (table 0) and keyword-group records (table 3). Names are
// kept as the stored Windows-1252 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/id_set.h"
#include "datafile/record_stream.h"

namespace qb {

// Stored as: tagged int16 word (level in bits 0..14, bit 15: the name is a
// blob string), the name, the article ids and, from level 3, a second id array.
struct CKeyword {
    int16_t level = 0;
    std::string name;
    IdSet articles;
    std::vector<int32_t> secondIds;  // from level 3; not used
};

// The level must be 2, or 3 from file version 400 (`fileVersion`); any other
// gives code 56. An error empties the name and the ids and is thrown on.
void ReadKeyword(CRecordStream& s, CKeyword& k, int fileVersion, bool nameOnly = false);
CKeyword ReadKeyword(CDataFile& f, int32_t id);
std::string ReadKeywordName(CDataFile& f, int32_t id);

// Stored as: tagged int16 word of level 3 (bit 15 set), the name as a blob
// string, an int32 value and the keyword ids.
struct CKeywordGroup {
    int16_t level = 0;
    std::string name;
    int32_t value = 0;  // not used
    IdSet keywords;
};

// A level other than 3 gives code 56. An error empties the group and is thrown on.
void ReadGroup(CRecordStream& s, CKeywordGroup& g, bool nameOnly = false);
CKeywordGroup ReadGroup(CDataFile& f, int32_t id);
std::string ReadGroupName(CDataFile& f, int32_t id);

}  // namespace qb

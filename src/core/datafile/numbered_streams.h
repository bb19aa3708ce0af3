// The numbered streams of a data file (found through its stream directory).
// Every stream is optional: the Read*(CRecordStream&) forms throw every
// error; the Load*(CDataFile&) forms turn code 5 (absent or damaged) into
// the default and throw the rest.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/dates.h"
#include "datafile/id_set.h"
#include "datafile/record_defaults.h"
#include "datafile/record_stream.h"

namespace qb {

namespace stream_id {
constexpr int16_t kBookmarks = 1;     // id array
constexpr int16_t kPrintHeader = 2;   // text
constexpr int16_t kPageSetup = 3;     // PageSetupValues
constexpr int16_t kFileSettings = 4;  // FileSettings
constexpr int16_t kPrintFooter = 6;   // text
constexpr int16_t kExportHeader = 7;  // text
constexpr int16_t kSavedQueries = 8;  // SavedQueries
constexpr int16_t kPrivacy = 9;       // PrivacyData (privacy_data.h)
constexpr int16_t kPrivateIds = 10;   // id array
constexpr int16_t kExcludedIds = 12;  // id array: articles left out of the article list
constexpr int16_t kReminders = 15;    // Reminders
}  // namespace stream_id

// ---- Id arrays and texts -------------------------------------------------------

IdSet ReadIdStream(CRecordStream& s);  // sorted
void LoadIdStream(CDataFile& f, int16_t id, IdSet& out);

std::string ReadTextStream(CRecordStream& s);
// Streams 2 and 6 fall back to `def` when absent or empty, stream 7 only
// when absent: `emptyMeansDefault` says which.
std::string LoadTextStream(CDataFile& f, int16_t id, const std::string& def,
                           bool emptyMeansDefault);
std::string LoadPrintHeader(CDataFile& f);   // default: the file's title
std::string LoadPrintFooter(CDataFile& f);   // default: string 5300
std::string LoadExportHeader(CDataFile& f);  // default: the file's title

// ---- Page setup ------------------------------------------------------------------

// A lenient sized section of twelve int16 values.
struct PageSetupValues {
    std::array<int16_t, 12> values{};
    int read = 0;  // how many of them the stream held
};
// Fields the stream lacks keep what `p` holds.
void ReadPageSetup(CRecordStream& s, PageSetupValues& p);
void LoadPageSetup(CDataFile& f, PageSetupValues& p);

// ---- The file's own settings -------------------------------------------------------

// A lenient sized section, in the order of the fields below. A text is an
// int32 length and that many bytes, kept up to the first NUL; it is read only
// when at least 4 bytes remain, and left empty when its bytes do not fit.
// Older files end after the font colour; their font colour is not automatic.
struct FileSettings {
    // One bit per field, set when the stream held it.
    enum Field : uint32_t {
        kUpdateDatesToModified = 1u << 0,
        kUnused1 = 1u << 1,
        kWordWrap = 1u << 2,
        kUnused2 = 1u << 3,
        kFont = 1u << 4,
        kFontColor = 1u << 5,
        kFontAutoColor = 1u << 6,
        kComments = 1u << 7,
        kRelativeLinkLocation = 1u << 8,
        kRelativeLinkPath = 1u << 9,
        kFullPathNames = 1u << 10,
    };
    int16_t updateDatesToModified = 0;  // update article dates to modification dates
    std::array<int16_t, 3> unused1{};
    int16_t wordWrap = 1;  // the default word-wrap switch of the file's articles
    int16_t unused2 = 0;
    std::array<uint8_t, 50> font{};  // the file's default font, as stored
    int32_t fontColor = 0;           // that font's colour
    int32_t fontAutoColor = 0;       // that font's automatic-colour flag
    std::string comments;            // text
    // Where relative link targets lie: 0 the preferences' attachments folder,
    // 1 the data file's folder, 2 relativeLinkPath.
    int16_t relativeLinkLocation = 0;
    std::string relativeLinkPath;  // text
    int16_t fullPathNames = 1;     // store full path names for new targets
    uint32_t read = 0;             // Field bits of what the stream held
};
// Fields the stream lacks keep what `fs` holds (the caller's defaults).
void ReadFileSettings(CRecordStream& s, FileSettings& fs);
bool LoadFileSettings(CDataFile& f, FileSettings& fs);  // false: stream absent or damaged

// ---- Saved queries --------------------------------------------------------------------

// Current layout: int32 -1, int16 signature 220, int32 count, per query name
// and text (blob strings), date from and date to (int32); then an int16 count
// and the recent list (int16 each). The older layout holds the same in a
// lenient sized section, the texts as int32 length and bytes. Another
// signature gives an empty table.
struct SavedQuery {
    std::string name;
    std::string text;
    int32_t dateFrom = kDateOpenLow;
    int32_t dateTo = kDateOpenHigh;
};

struct SavedQueries {
    std::vector<SavedQuery> queries;
    std::vector<int16_t> recent;  // indexes into `queries`, most recent first
};
// An error empties `q`.
void ReadSavedQueries(CRecordStream& s, SavedQueries& q);
void LoadSavedQueries(CDataFile& f, SavedQueries& q);

// ---- Reminders ----------------------------------------------------------------------

// An int32 count, then per reminder a tagged int16 level and by level: 1 date,
// 2 time, 3 article id (tagged int32 each), 4 one skipped field.
struct CReminder {
    int16_t level = 3;
    int32_t serial = 0;  // load order, from 0
    int32_t date = 0;
    int32_t time = 0;
    int32_t articleId = -1;
    int32_t dueDate = 0;  // date and time with the seconds at 0
    int32_t dueTime = 0;
    int32_t done = 0;
};

struct Reminders {
    std::vector<CReminder> list;
    IdSet articles;  // articles that have a reminder
};
// Values a reminder lacks come from `d`. An error empties `r`.
void ReadReminders(CRecordStream& s, Reminders& r, const RecordDefaults& d);
void LoadReminders(CDataFile& f, Reminders& r, const RecordDefaults& d);

}  // namespace qb

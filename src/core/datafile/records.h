// The in-memory records of a data file and their readers. Each reader works
// on a CRecordStream the caller has opened on the record or stream; the
// Load* / Read*(CDataFile&, id) forms open it themselves. Text is kept as
// the stored Windows-1252 bytes; decode it at the edges (datafile/cp1252.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/dates.h"
#include "datafile/id_set.h"
#include "datafile/record_stream.h"

namespace qb {

// The defaults that come from the preferences and the clock; the settings
// store fills them in, tests set them directly.
struct RecordDefaults {
    bool displayFlagBit0 = false;  // "store full path names" bit of the display flags
    int32_t displayValueD = 1;     // word wrap
    int32_t today = 0;             // date value, for reminders without a date
    int32_t now = 0;               // time value, for reminders without a time
    int32_t reminderTime = -1;     // the preferences' reminder time; -1: none, use `now`
};

namespace article_flags {
constexpr uint16_t kPrivateLow = 0x0001;
constexpr uint16_t kPrivate = 0x0002;  // the bit that is tested
constexpr uint16_t kLinksKnown = 0x0040;
constexpr uint16_t kHasLinks = 0x0080;
}  // namespace article_flags

struct CAttachment {
    int16_t kind = 0;  // 1 file or folder, 2 web address, 3 article
    std::string target;
    int32_t articleId = -1;
    int32_t flags = 0;
};

struct StoredLink {
    int32_t start = 0;
    int32_t end = 0;
    int16_t kind = 0;
    int32_t articleId = -1;
    int32_t createdDate = NIL_BLOCK;
    int32_t createdTime = NIL_BLOCK;
    std::string target;
};

struct ArticleDisplayProps {
    int16_t flags = 0;
    int32_t valueA = 0;
    int32_t linkDisplay = 0;
    int32_t autoOpen = 0;
    int32_t valueD = 0;

    static ArticleDisplayProps Defaults(const RecordDefaults& d);
    bool operator==(const ArticleDisplayProps&) const = default;
};

enum class ArticleFormat { Old, New, Unknown };

struct CArticle {
    ArticleFormat format = ArticleFormat::Unknown;
    int16_t level = 6;
    int32_t reserved = NIL_BLOCK;
    uint16_t flags = 0;
    int32_t createdDate = NIL_BLOCK, createdTime = NIL_BLOCK;
    int32_t modifiedDate = NIL_BLOCK, modifiedTime = NIL_BLOCK;
    int32_t articleDate = NIL_BLOCK, articleTime = NIL_BLOCK;
    std::string title;
    std::string plainText;
    std::string richText;
    std::string spareText;
    std::vector<int32_t> keywordIds;
    std::vector<CAttachment> attachments;
    std::vector<StoredLink> links;
    ArticleDisplayProps display;

    // Content is rich text from level 5 on, plain text below.
    bool IsRichText() const { return level >= 5; }
    const std::string& Content() const { return IsRichText() ? richText : plainText; }
    bool IsPrivate() const { return (flags & article_flags::kPrivate) != 0; }

    // Back to the state before any read.
    void Reset(const RecordDefaults& d);
};

// The format word of the new article layout: bit 15 plus 300.
constexpr uint16_t kNewArticleWord = 0x812C;

void ReadArticle(CRecordStream& s, CArticle& a, const RecordDefaults& d);
// Title, dates, flags, attachments and the has-links bits, for title lists.
void ReadArticleSummary(CRecordStream& s, CArticle& a, const RecordDefaults& d);
CArticle ReadArticle(CDataFile& f, int32_t id, const RecordDefaults& d);
CArticle ReadArticleSummary(CDataFile& f, int32_t id, const RecordDefaults& d);

// Parts of the article record, exposed for tests and other readers.
std::vector<CAttachment> ReadAttachmentList(CRecordStream& s);
std::vector<StoredLink> ReadStoredLinks(CRecordStream& s);
void ReadDisplaySectionA(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d);
void ReadDisplaySectionB(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d);
void ReadDisplaySectionC(CRecordStream& s, ArticleDisplayProps& p, const RecordDefaults& d);

struct CKeyword {
    int16_t level = 0;
    std::string name;
    IdSet articles;
    std::vector<int32_t> secondIds;  // from level 3; not used
};

// `fileVersion` decides whether level 3 is allowed (from 400).
void ReadKeyword(CRecordStream& s, CKeyword& k, int fileVersion, bool nameOnly = false);
CKeyword ReadKeyword(CDataFile& f, int32_t id);
std::string ReadKeywordName(CDataFile& f, int32_t id);

struct CKeywordGroup {
    int16_t level = 0;
    std::string name;
    int32_t value = 0;  // not used
    IdSet keywords;
};

void ReadGroup(CRecordStream& s, CKeywordGroup& g, bool nameOnly = false);
CKeywordGroup ReadGroup(CDataFile& f, int32_t id);
std::string ReadGroupName(CDataFile& f, int32_t id);

// ---- Numbered streams --------------------------------------------------------

namespace stream_id {
constexpr int16_t kBookmarks = 1;
constexpr int16_t kPrintHeader = 2;
constexpr int16_t kPageSetup = 3;
constexpr int16_t kFileSettings = 4;
constexpr int16_t kPrintFooter = 6;
constexpr int16_t kExportHeader = 7;
constexpr int16_t kSavedQueries = 8;
constexpr int16_t kPrivacy = 9;
constexpr int16_t kPrivateIds = 10;
constexpr int16_t kExcludedIds = 12;
constexpr int16_t kReminders = 15;
}  // namespace stream_id

// The Read*(CRecordStream&) forms throw every error; the Load*(CDataFile&)
// forms turn code 5 (absent or damaged) into the default.

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

struct PageSetupValues {
    std::array<int16_t, 12> values{};
    int read = 0;  // how many of them the stream held
};
// Fields the stream lacks keep what `p` holds.
void ReadPageSetup(CRecordStream& s, PageSetupValues& p);
void LoadPageSetup(CDataFile& f, PageSetupValues& p);

struct FileSettings {
    enum Field : uint32_t {
        kSetting1 = 1u << 0,
        kUnused1 = 1u << 1,
        kSetting2 = 1u << 2,
        kUnused2 = 1u << 3,
        kFont = 1u << 4,
        kSetting3 = 1u << 5,
        kSetting4 = 1u << 6,
        kText1 = 1u << 7,
        kSetting5 = 1u << 8,
        kText2 = 1u << 9,
        kSetting6 = 1u << 10,
    };
    int16_t setting1 = 0;  // update article dates to modification dates
    std::array<int16_t, 3> unused1{};
    int16_t setting2 = 1;  // word wrap: default of display value D
    int16_t unused2 = 0;
    std::array<uint8_t, 50> font{};  // the file's default font, as stored
    int32_t setting3 = 0;            // that font's colour
    int32_t setting4 = 0;            // that font's automatic-colour flag
    std::string text1;               // comments
    int16_t setting5 = 0;            // where relative link targets lie
    std::string text2;               // the path for setting 5 = 2
    int16_t setting6 = 1;            // store full path names for new targets
    uint32_t read = 0;               // Field bits of what the stream held
};
// Fields the stream lacks keep what `fs` holds (the caller's defaults).
void ReadFileSettings(CRecordStream& s, FileSettings& fs);
bool LoadFileSettings(CDataFile& f, FileSettings& fs);  // false: stream absent or damaged

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
void ReadSavedQueries(CRecordStream& s, SavedQueries& q);
void LoadSavedQueries(CDataFile& f, SavedQueries& q);

struct CReminder {
    int16_t level = 3;
    int32_t serial = 0;
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
void ReadReminders(CRecordStream& s, Reminders& r, const RecordDefaults& d);
void LoadReminders(CDataFile& f, Reminders& r, const RecordDefaults& d);

struct PrivacyData {
    int16_t passwordSet = 0;
    std::array<uint8_t, 16> salt{};
    std::array<uint8_t, 16> check{};
    std::array<uint8_t, 16> wrappedKey{};
    std::array<uint8_t, 48> unused{};
};
void ReadPrivacyData(CRecordStream& s, PrivacyData& p);
void LoadPrivacyData(CDataFile& f, PrivacyData& p);  // absent: no password

// Whether `password` (its bytes) is right; if so `key` receives the
// content key that private blobs are unscrambled with.
bool CheckPrivacyPassword(const PrivacyData& p, const std::string& password, ContentKey& key);

}  // namespace qb

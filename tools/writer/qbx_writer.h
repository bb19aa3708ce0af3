// A writer of Quillbox data files for tests, the demo generator and the
// benchmarks. The reader never writes data files; this library exists so that
// tests can build exact images (sound or deliberately damaged) byte by byte.
//
// Include as "writer/qbx_writer.h" and link the library qb_writer.
// Bytes are carried in std::string throughout; every number is little-endian.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qbw {

constexpr int32_t kNil = static_cast<int32_t>(0x80000001u);

using Key16 = std::array<uint8_t, 16>;

// MD5 of `data`, 16 bytes in the standard order.
Key16 Md5(std::string_view data);
// zlib's one-shot compress at the default level.
std::string Compress(std::string_view data);
// zlib crc32 (seed 0) of the 4 little-endian bytes of `value`.
uint32_t Crc32OfInt32(int32_t value);

// How a blob is stored.
enum class BlobMode { kRaw, kCompressed, kPrivate };

struct BlobStyle {
    BlobMode mode = BlobMode::kCompressed;
    Key16 contentKey{};  // kPrivate only
    int32_t salt = 0;    // kPrivate only; each blob written with this style uses salt, salt+1, ...
    bool nulTerminated = true;  // BlobString only: store a trailing NUL as the original does
};

// Where a blob landed inside an encoder's bytes, for benchmarks and precise damage.
struct BlobPlacement {
    size_t offset = 0;      // of the blob's flags word
    size_t dataOffset = 0;  // of the raw or compressed payload
    size_t dataLength = 0;  // stored payload bytes (C for compressed, S for raw)
    size_t size = 0;        // S, the uncompressed size
    BlobMode mode = BlobMode::kRaw;
};

// Byte builder with the file's primitive encodings.
class Encoder {
public:
    Encoder& Int32(int32_t v);
    Encoder& UInt32(uint32_t v);
    Encoder& Int16(int16_t v);
    Encoder& UInt16(uint16_t v);
    Encoder& Bytes(std::string_view bytes);
    Encoder& Zeros(size_t n);
    Encoder& String(std::string_view text);                             // int32 length + bytes
    Encoder& StringWithLength(int32_t length, std::string_view bytes);  // lying length
    Encoder& IdArray(const std::vector<int32_t>& ids);                  // int32 byte length + ids
    Encoder& TaggedInt32(int32_t value) { return TaggedInt32(4, value); }
    Encoder& TaggedInt32(int32_t tag, int32_t value);  // value written only when tag == 4
    Encoder& TaggedInt16(int16_t value) { return TaggedInt16(2, value); }
    Encoder& TaggedInt16(int32_t tag, int16_t value);  // value written only when tag == 2
    Encoder& SkippedField(std::string_view bytes);     // int32 length + bytes
    // int32 length (the body's, unless overridden) + the body's bytes.
    Encoder& Section(const Encoder& body, std::optional<int32_t> lengthOverride = std::nullopt);

    Encoder& BlobRaw(std::string_view bytes);
    Encoder& BlobCompressed(std::string_view bytes);
    // Compressed, with C and S scrambled by MD5(salt || contentKey), check A
    // and check B.
    Encoder& BlobPrivate(std::string_view bytes, int32_t salt, const Key16& contentKey);
    Encoder& Blob(std::string_view bytes, BlobStyle& style);  // advances style.salt for kPrivate
    Encoder& BlobString(std::string_view text, BlobStyle& style);
    Encoder& BlobString(std::string_view text);  // compressed, NUL-terminated

    // Overwrites 4 bytes at `offset` (for lengths known only later).
    void PatchInt32(size_t offset, int32_t v);

    const std::string& Str() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }
    const std::vector<BlobPlacement>& Blobs() const { return blobs_; }

private:
    std::string bytes_;
    std::vector<BlobPlacement> blobs_;
};

// ---- Records ---------------------------------------------------------------

// How an attachment's target is stored: a plain string (word = kind), a blob
// string (bit 15), or a blob string followed by article id and flags (bits 15
// and 14).
enum class AttachmentForm { kAuto, kString, kBlob, kBlobWithIds };

struct AttachmentData {
    int16_t kind = 1;  // 1 file or folder, 2 web address, 3 article
    std::string target;
    int32_t articleId = -1;
    int32_t flags = 0;
    AttachmentForm form = AttachmentForm::kAuto;  // old records: kString; new: kBlobWithIds
};

struct StoredLinkData {
    int32_t start = 0;
    int32_t end = 0;
    int16_t kind = 0;
    int32_t targetId = -1;
    int32_t targetCreatedDate = kNil;
    int32_t targetCreatedTime = kNil;
    std::string target;
};

// Old level 5: a section with wordWrap; old level 9: one with signature
// 0xF22F, linkDisplay, autoOpen; new level 5: one with signature 0xF33F,
// wordWrap, linkDisplay, autoOpen, spareValue and flags.
struct DisplayData {
    int16_t flags = 0;  // bit 0: store full path names
    int32_t spareValue = 0;
    int32_t linkDisplay = 0;
    int32_t autoOpen = 0;
    int32_t wordWrap = 0;
};

struct ArticleData {
    int16_t level = 6;  // new format: the header's level
    int32_t reserved = kNil;
    uint16_t flags = 0;  // bits 0+1 private, bit 6 has-links valid, bit 7 has links
    int32_t createdDate = kNil, createdTime = kNil;
    int32_t modifiedDate = kNil, modifiedTime = kNil;
    int32_t articleDate = kNil, articleTime = kNil;
    std::string title;
    std::string plainText;
    std::string richText;
    std::string spareText;
    std::vector<int32_t> keywordIds;
    std::vector<AttachmentData> attachments;
    std::vector<StoredLinkData> links;
    DisplayData display;
};

struct NewArticleOptions {
    int32_t headerLength = 32;  // shorter truncates the header block, longer pads it with zeros
    BlobStyle blobs;            // for title, rich text, attachment and link targets
};

// Old format, level 0..9 (fields present up to that level).
void WriteArticleOld(Encoder& e, const ArticleData& a, int level);
std::string EncodeArticleOld(const ArticleData& a, int level);
// New format (word 0x812C), level from a.level.
void WriteArticleNew(Encoder& e, const ArticleData& a, NewArticleOptions options = {});
std::string EncodeArticleNew(const ArticleData& a, NewArticleOptions options = {});

// Keyword: level 2 or 3; bit 15 of the word marks a blob-string name.
std::string EncodeKeyword(std::string_view name, const std::vector<int32_t>& articleIds,
                          int level = 2, bool blobName = false,
                          const std::vector<int32_t>& secondIds = {});
// Keyword group: word 0x8000 | level, blob-string name, int32 value, ids.
std::string EncodeGroup(std::string_view name, const std::vector<int32_t>& keywordIds,
                        int level = 3, int32_t value = 0);

// ---- Numbered streams --------------------------------------------------------

namespace stream {
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
}  // namespace stream

std::string EncodeIdStream(const std::vector<int32_t>& ids);
std::string EncodeTextStream(std::string_view text);
std::string EncodePageSetup(const std::array<int16_t, 12>& values);

// Stream 4, written in the order of these fields; a text as int32 length and
// bytes with a trailing NUL (length 0 when empty).
struct FileSettingsData {
    int16_t updateDatesToModified = 0;
    std::array<int16_t, 3> unused1{};
    int16_t wordWrap = 0;  // the default word-wrap switch of the file's articles
    int16_t unused2 = 0;
    std::array<uint8_t, 50> font{};  // font description, stored as is
    int32_t fontColor = 0;
    int32_t fontAutoColor = 0;
    std::string comments;
    int16_t relativeLinkLocation = 0;  // 0 attachments folder, 1 the file's folder, 2 the path
    std::string relativeLinkPath;
    int16_t fullPathNames = 0;
};
// A sized section; `lengthOverride` cuts it short (or lies) to test lenient reading.
std::string EncodeFileSettings(const FileSettingsData& s,
                               std::optional<int32_t> lengthOverride = std::nullopt);

struct SavedQueryData {
    std::string name;
    std::string query;
    int32_t dateFrom = static_cast<int32_t>(0x80000000u);
    int32_t dateTo = 0x7FFFFFFF;
};
// Current form: int32 -1, signature, blob-string texts.
std::string EncodeSavedQueries(const std::vector<SavedQueryData>& queries,
                               const std::vector<int16_t>& recent, int16_t signature = 220);
// Older form: a sized section with plain strings.
std::string EncodeSavedQueriesOld(const std::vector<SavedQueryData>& queries,
                                  const std::vector<int16_t>& recent, int16_t signature = 220,
                                  std::optional<int32_t> lengthOverride = std::nullopt);

struct ReminderData {
    int16_t level = 3;  // 0..4: how many of the following are stored
    int32_t date = 0;
    int32_t time = 0;
    int32_t articleId = -1;
    std::string skipped;  // level 4 only
};
std::string EncodeReminders(const std::vector<ReminderData>& reminders);

struct Privacy {
    std::string stream;  // stream 9 bytes
    Key16 keyMaterial{};
    Key16 contentKey{};  // MD5(K): what the reader derives from the right password
};
// Stream 9 for `password`: salt, MD5(salt || P), K xor MD5(P), 48 unused bytes.
Privacy MakePrivacy(std::string_view password, const Key16& salt, const Key16& keyMaterial,
                    int16_t passwordSet = 1);

// ---- The container -----------------------------------------------------------

namespace hdr {
constexpr size_t kMagic = 0;
constexpr size_t kVersion = 2;
constexpr size_t kBlockSize = 4;
constexpr size_t kEntries = 6;
constexpr size_t kHeaderLength = 60;
constexpr size_t kFlags = 76;
constexpr size_t kGenerator = 80;
constexpr size_t kGeneratorMax = 92;
constexpr size_t kMaxHeader = 220;
// Descriptor of table t (0..6; 2 is the stream directory).
constexpr size_t Descriptor(int t) {
    return t <= 2 ? 20 + 12 * t : 136 + 12 * t;
}
}  // namespace hdr

constexpr char kGeneratorText[] = "Quillbox Data File";

// Where everything went, so that tests can damage precisely.
struct Layout {
    int32_t headerLength = 0;
    int32_t blockSize = 0;
    int32_t entries = 0;
    int32_t blockCount = 0;                      // blocks written after the header
    std::map<int, std::vector<int32_t>> tables;  // table chains; 2 = the stream directory
    std::map<std::pair<int, int32_t>, std::vector<int32_t>> records;  // (table, slot)
    std::map<int16_t, std::vector<int32_t>> streams;

    int64_t BlockOffset(int32_t block) const;
    // File offset of the chain-table entry that names the successor of `block`.
    int64_t ChainEntryOffset(int32_t block) const;
    // File offset of byte `index` of the content of a chain.
    int64_t ContentOffset(const std::vector<int32_t>& chain, int64_t index) const;
};

// A built file with helpers that damage it.
struct Image {
    std::string bytes;
    Layout layout;

    void PatchInt16(size_t offset, int16_t v);
    void PatchInt32(size_t offset, int32_t v);
    void SetMagic(std::string_view two);
    void SetVersion(int16_t v);
    void SetBlockSizeField(uint16_t b);
    void SetEntriesField(uint16_t e);
    void SetGenerator(std::string_view text);  // NUL-terminated at offset 80
    void Truncate(size_t n);
    void SetChainEntry(int32_t block, int32_t next);  // e.g. kNil, or a block beyond the file
    void BreakChain(const std::vector<int32_t>& chain, size_t index, int32_t next = kNil);
    void MakeCycle(const std::vector<int32_t>& chain);  // its last block leads back to the first
    void WriteFile(const std::string& path) const;
};

class FileBuilder {
public:
    FileBuilder();

    FileBuilder& SetMagic(std::string_view two);
    FileBuilder& SetVersion(int16_t v);  // default 300
    // Real geometry; the header fields follow unless overridden on the Image.
    FileBuilder& SetGeometry(uint16_t blockSize, uint16_t entries);  // default 512, 128
    // Stored at offset 60 (default 220 for version 300 and up). The blocks
    // start where a reader puts them: 60 below version 300, else min(field, 220).
    FileBuilder& SetHeaderLengthField(uint32_t h);
    FileBuilder& SetFlags(int32_t flags);
    FileBuilder& SetGenerator(std::string_view text);  // default "Quillbox Data File"
    FileBuilder& SetHeaderBytes(size_t offset, std::string_view bytes);  // the unread areas

    // Records of table 0, 1 or 3; the count grows to slot + 1 at least.
    FileBuilder& SetRecord(int table, int32_t slot, std::string bytes);
    FileBuilder& SetTableCount(int table, int32_t count);  // extra slots are empty
    FileBuilder& SetStream(int16_t id, std::string bytes);
    FileBuilder& SetDirectoryLeading(int32_t v);  // the int32 before the entries
    // Allocate data blocks in a shuffled order so that chains are not contiguous.
    FileBuilder& Scatter(uint32_t seed);

    Image BuildImage() const;
    std::string Build() const { return BuildImage().bytes; }
    void WriteFile(const std::string& path) const { BuildImage().WriteFile(path); }

private:
    std::string magic_ = "QB";
    int16_t version_ = 300;
    uint16_t blockSize_ = 512;
    uint16_t entries_ = 128;
    std::optional<uint32_t> headerLengthField_;
    int32_t flags_ = 0;
    std::string generator_ = kGeneratorText;
    std::vector<std::pair<size_t, std::string>> headerBytes_;
    std::map<int, std::map<int32_t, std::string>> records_;
    std::map<int, int32_t> counts_;
    std::vector<std::pair<int16_t, std::string>> streams_;
    int32_t directoryLeading_ = 0;
    std::optional<uint32_t> scatterSeed_;
};

}  // namespace qbw

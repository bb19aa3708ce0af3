// Article records (table 1) in their old and new layouts, whole or as the
// summary a title list needs. Text is kept as the stored bytes; decode it
// at the edges with the document's code page (CQuillboxDoc::TextCodePage).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/quill_error.h"
#include "datafile/record_defaults.h"
#include "datafile/record_stream.h"

namespace qb {

namespace article_flags {
constexpr uint16_t kPrivateLow = 0x0001;
constexpr uint16_t kPrivate = 0x0002;  // the bit that is tested
constexpr uint16_t kLinksKnown = 0x0040;
constexpr uint16_t kHasLinks = 0x0080;
}  // namespace article_flags

namespace display_flags {
// Store full path names for new file or folder targets (an editing option,
// only carried by this reader).
constexpr int16_t kFullPathNames = 0x0001;
}  // namespace display_flags

// Stored as: a word whose bit 15 marks a blob-string target, with the kind
// in the low bits; the target; with bits 15 and 14, article id and flags.
struct CAttachment {
    int16_t kind = 0;  // 1 file or folder, 2 web address, 3 article
    std::string target;
    int32_t articleId = -1;
    int32_t flags = 0;
};

// A hypertext link stored with the content, covering characters start..end.
struct StoredLink {
    int32_t start = 0;
    int32_t end = 0;
    int16_t kind = 0;
    int32_t articleId = -1;
    // The target article's created moment when the link was made: a target
    // whose moment differs now is not the same article.
    int32_t createdDate = NIL_BLOCK;
    int32_t createdTime = NIL_BLOCK;
    std::string target;
};

// The article window's settings, stored in strict sized sections:
//   old level 5: wordWrap (int32)
//   old level 9: signature 0xF22F (int16), linkDisplay, autoOpen (int32 each)
//   new level 5: signature 0xF33F (int16), wordWrap, linkDisplay, autoOpen,
//                spareValue (int32 each), flags (int16)
struct ArticleDisplayProps {
    int16_t flags = 0;       // display_flags
    int32_t spareValue = 0;  // stored and carried, not used
    int32_t linkDisplay = 0;
    int32_t autoOpen = 0;  // 0 follow the preferences, 2 open every enabled attachment, else none
    int32_t wordWrap = 0;  // non-zero: lines wrap at the window's width

    static ArticleDisplayProps Defaults(const RecordDefaults& d);
    bool operator==(const ArticleDisplayProps&) const = default;
};

enum class ArticleFormat { Old, New, Unknown };

// The old layout is a format word w < 0x8000 (the level) and the fields up to
// that level: 1 article date (tagged int32), 2 title, 3 plain text, 4 keyword
// ids, 5 word-wrap section, 6 attachments, 7 spare text, 8 rich text, 9 link
// section. The new layout (kNewArticleWord) keeps level, reserved, flags and
// the three dates in a header block of up to 32 bytes, then by level: 1 title,
// 2 keyword ids, 3 attachments, 4 rich text, 5 display section, 6 stored links,
// its texts as blob strings.
struct CArticle {
    ArticleFormat format = ArticleFormat::Unknown;
    int16_t level = 6;
    int32_t reserved = NIL_BLOCK;
    uint16_t flags = 0;  // article_flags
    int32_t createdDate = NIL_BLOCK, createdTime = NIL_BLOCK;
    int32_t modifiedDate = NIL_BLOCK, modifiedTime = NIL_BLOCK;
    int32_t articleDate = NIL_BLOCK, articleTime = NIL_BLOCK;
    std::string title;
    std::string plainText;
    std::string richText;
    std::string spareText;  // read from old records, not used
    std::vector<int32_t> keywordIds;
    std::vector<CAttachment> attachments;
    std::vector<StoredLink> links;
    ArticleDisplayProps display;

    // Content is rich text from level 5 on, plain text below. Two records
    // have no field for that rule: an old one of level 5 to 7 stores only
    // plain text, a new one of level 4 only rich text. Each shows the
    // content it stores rather than an empty field.
    bool IsRichText() const { return format == ArticleFormat::New ? level >= 4 : level >= 5; }
    const std::string& Content() const {
        if (format == ArticleFormat::Old && level >= 5 && level < 8) return plainText;
        return IsRichText() ? richText : plainText;
    }
    bool IsPrivate() const { return (flags & article_flags::kPrivate) != 0; }

    // Back to the state before any read.
    void Reset(const RecordDefaults& d);
};

// The format word of the new article layout: bit 15 plus 300.
constexpr uint16_t kNewArticleWord = 0x812C;

// A word of an unknown layout gives an empty article. Dates the record does
// not store are filled in from the article date and time. An error leaves the
// article reset and is thrown on (out of memory as code 1).
void ReadArticle(CRecordStream& s, CArticle& a, const RecordDefaults& d);
// Title, dates, flags, attachments and the has-links bits, for title lists.
void ReadArticleSummary(CRecordStream& s, CArticle& a, const RecordDefaults& d);
CArticle ReadArticle(CDataFile& f, int32_t id, const RecordDefaults& d);
CArticle ReadArticleSummary(CDataFile& f, int32_t id, const RecordDefaults& d);

}  // namespace qb

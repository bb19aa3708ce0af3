// What an article export writes: the options of the setup dialog, the
// formats of the save and folder dialogs, and the default file name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/markdown_options.h"

namespace qb {

namespace export_flags {
constexpr uint16_t kHeader = 0x01;       // Include Export Header
constexpr uint16_t kTitles = 0x02;       // Include Titles
constexpr uint16_t kNumbers = 0x04;      // Number Titles List
constexpr uint16_t kDates = 0x08;        // Include Dates
constexpr uint16_t kAttachments = 0x10;  // Include Attachments
constexpr uint16_t kKeywords = 0x20;     // Include Keywords
constexpr uint16_t kContent = 0x40;      // Include Article Content
constexpr uint16_t kAll = 0x7F;
// Everything but numbered titles: the flags at start-up.
constexpr uint16_t kDefault = 0x7B;
}  // namespace export_flags

enum class ExportRange : int32_t {
    kAll = 0,
    kBookmarked = 1,
    kSelected = 2,     // the index window's title list
    kCurrent = 3,      // the article of the active article window
    kHighlighted = 4,  // the titles highlighted in the title list
};

// The sort codes: the first four orders of the title list.
enum class ExportSort : int32_t {
    kTitlesAscending = 0,
    kTitlesDescending = 1,
    kDatesAscending = 2,
    kDatesDescending = 3,
};

// The format codes of the file types; 3 is not used, 6 belongs to plug-ins.
// Markdown (a notes folder) has no code of the original program; 7 follows
// the plug-ins' 6.
enum class ExportFormat : int32_t {
    kText = 0,
    kRtf = 1,
    kHtml = 2,
    kCardfile = 4,
    kCsv = 5,
    kMarkdown = 7,
};

// One record per program run; the setup dialog edits a copy.
struct ExportOptions {
    ExportRange range = ExportRange::kAll;
    int32_t fileType = 0;  // 1-based position of the last file type chosen
    ExportSort sort = ExportSort::kTitlesAscending;
    int32_t reportFileType = 0;
    uint16_t flags = export_flags::kDefault;
    MarkdownOptions markdown;  // the folder dialog's choices for a notes folder

    bool Has(uint16_t flag) const { return (flags & flag) != 0; }
    // Titles and nothing else, whatever the header and numbering flags say.
    bool TitlesOnly() const {
        return (flags & ~(export_flags::kHeader | export_flags::kNumbers)) == export_flags::kTitles;
    }
    // Some content is chosen: the setup dialog's OK needs it.
    bool ChoosesContent() const {
        return (flags & export_flags::kAll & ~export_flags::kHeader) != 0;
    }
};

// A file type of the save dialog: "Text Files (*.txt)" and "*.txt".
struct ExportFileType {
    ExportFormat format;
    std::string description;  // before the "|"
    std::string patterns;     // after it
};

// The save dialog's types (the folder dialog's when `folder`: text, RTF,
// HTML), in the order of their string-table entries; missing entries are
// skipped.
std::vector<ExportFileType> ExportFileTypes(bool folder = false);
// The folder dialog's types: those of ExportFileTypes(true), then the
// Markdown notes folder ("Markdown notes folder", "*.md"), which has no
// string-table entry.
std::vector<ExportFileType> ExportFolderTypes();
// The extension a format's files get (".txt", ".rtf", ".htm", ".crd", ".csv",
// ".md").
const char* ExportExtension(ExportFormat format);

// The name the save dialog proposes. For the current article: its title
// (stored bytes) with each of *  / : < > ? \ | made "_", cut to 80 bytes;
// an empty result, and every other range, give the data file's name
// without an extension of up to three characters.
std::string DefaultExportName(ExportRange range, std::string_view currentTitle,
                              std::string_view dataFilePath);

// The number prefix of titles: the position right-aligned in as many digits
// as `count` has, then ". " (for 250 articles position 7 gives "  7. ").
std::string NumberPrefix(int64_t position, int64_t count);

}  // namespace qb

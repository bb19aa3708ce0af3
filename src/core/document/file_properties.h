// The File Properties model: everything the three pages (General, Articles,
// Privacy) show, gathered from the open document so that the sheet and
// `qbx info` only display it.
#pragma once

#include <cstdint>
#include <string>

namespace qb {

class CQuillboxDoc;

// Where relative attachment and link targets are resolved.
namespace link_base {
constexpr int kAttachmentsFolder = 0;
constexpr int kDataFileFolder = 1;
constexpr int kStoredPath = 2;
}  // namespace link_base

// Texts are UTF-8.
struct FileProperties {
    // General
    std::string path;
    int64_t sizeBytes = 0;
    std::string sizeText;  // "%d" of the size
    int32_t keywordCount = 0;
    int32_t groupCount = 0;
    std::string exportHeader;
    std::string defaultFont;  // "%s, %d pt" with ", Bold" and ", Italic"
    std::string comments;
    // Articles
    bool updateDatesToModified = false;
    bool wordWrap = true;
    int32_t relativeLinkLocation = link_base::kAttachmentsFolder;  // as stored
    std::string relativeLinkPath;                                  // for location 2
    bool fullPathNames = true;
    // Privacy
    bool passwordProtectAll = false;        // header flags bit 0
    bool requestPasswordAtStartup = false;  // header flags bit 1
    bool passwordSet = false;
    std::string passwordButton;  // "&Set Password..." or "&Change Password..."
};

// The properties of the document's open file; all defaults when none is
// open. The default font is the file's own, else the program's display
// font, else the built-in article font.
FileProperties GetFileProperties(const CQuillboxDoc& doc);

}  // namespace qb

// What an article window shows for one article id, without widgets: the Qt
// window only draws this model. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "article/attachment_opener.h"
#include "datafile/articles.h"
#include "richtext/rich_text.h"

namespace qb {

class CQuillboxDoc;
class Locale;

// The title field holds at most this many characters.
constexpr size_t kMaxTitleField = 4600;
// The attachment indicator's tooltip is cut to this many characters.
constexpr size_t kMaxAttachmentTip = 80;

namespace attachment_flags {
constexpr int32_t kDisabled = 0x0001;      // skipped by Open Attachments and auto-open
constexpr int32_t kNotInGallery = 0x0002;  // left out of the image gallery
}  // namespace attachment_flags

struct AttachmentView {
    int16_t kind = 0;         // 1 file or folder, 2 web address, 3 article
    std::string stored;       // the stored target, decoded
    ResolvedTarget resolved;  // kind 1 only; otherwise `windows` is the stored text
    bool enabled = true;
    bool inGallery = true;
    std::string galleryLabel;  // the address, or the text after the last backslash
    // The resolved Linux path, else the Windows form (kind 1); the address otherwise.
    std::string TargetText() const;
};

struct StoredLinkView {
    int32_t start = 0;
    int32_t end = 0;
    int16_t kind = 0;
    std::string target;       // decoded stored target (kinds 1 and 2)
    std::string description;  // as the status bar shows it
};

struct ArticleViewModel {
    int32_t id = -1;
    bool loaded = false;     // false: the read failed (and was reported)
    std::string caption;     // the whole title
    std::string titleField;  // the first kMaxTitleField characters
    std::string dateText, timeText;
    // The stored moments (NIL_BLOCK when unset), for the time picker and
    // Article Properties.
    int32_t articleTime = NIL_BLOCK;
    int32_t createdDate = NIL_BLOCK, createdTime = NIL_BLOCK;
    int32_t modifiedDate = NIL_BLOCK, modifiedTime = NIL_BLOCK;
    std::vector<std::string> keywords;  // in stored order
    bool bookmarked = false;
    std::vector<AttachmentView> attachments;
    std::optional<std::string> attachmentTip;  // none without attachments
    std::vector<StoredLinkView> links;
    // The records as read, for opening and following (same order as above).
    std::vector<CAttachment> storedAttachments;
    std::vector<StoredLink> storedLinks;
    ArticleDisplayProps display;  // plain-text articles get the defaults
    bool richText = false;        // the content was read as RTF
    RichTextControl content;

    bool WordWrap() const { return display.wordWrap != 0; }
    int32_t AutoOpenMode() const { return display.autoOpen; }
};

// Reads article `id` and builds its model. A data-file error is reported
// through the document and leaves the model with what was loaded before it
// (`loaded` false when the article itself could not be read).
ArticleViewModel LoadArticleView(CQuillboxDoc& doc, int32_t id, const Locale& locale,
                                 const TargetContext& context);

// The view of one stored attachment, its file target resolved in `context`.
AttachmentView AttachmentViewOf(const CAttachment& attachment, const TargetContext& context);

// "%d attachments", the single target, or none; at most kMaxAttachmentTip characters.
std::optional<std::string> AttachmentTip(const std::vector<AttachmentView>& attachments);

// The first `max` characters of UTF-8 text.
std::string CutUtf8(const std::string& text, size_t max);

}  // namespace qb

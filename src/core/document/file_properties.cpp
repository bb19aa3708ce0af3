#include "document/file_properties.h"

#include <algorithm>

#include "app/article_font.h"
#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "resources/strings.h"

namespace qb {

FileProperties GetFileProperties(const CQuillboxDoc& doc) {
    FileProperties p;
    const CDataFile& file = doc.File();
    if (!file.IsOpen()) return p;
    const FileSettings& own = doc.OwnSettings();
    p.path = doc.PathName();
    p.sizeBytes = file.FileLength();
    p.sizeText = std::to_string(p.sizeBytes);
    p.keywordCount = std::max<int32_t>(0, file.LiveCount(table::kKeywords));
    p.groupCount = doc.GroupCount();
    p.exportHeader = doc.TextCodePage().ToUtf8(doc.ExportHeader());
    if (doc.HasOwnSettings() && (own.read & FileSettings::kFont))
        p.defaultFont = DescribeFont(DecodeFontDescription(own.font.data(), doc.TextCodePage()));
    else if (const Settings* settings = doc.AppSettings())
        p.defaultFont = DescribeFont(settings->displayFont.font);
    else
        p.defaultFont = DescribeFont(DefaultArticleFont().font);
    p.comments = doc.TextCodePage().ToUtf8(own.comments);
    p.updateDatesToModified = own.updateDatesToModified != 0;
    p.wordWrap = own.wordWrap != 0;
    p.relativeLinkLocation = own.relativeLinkLocation;
    p.relativeLinkPath = doc.TextCodePage().ToUtf8(own.relativeLinkPath);
    p.fullPathNames = own.fullPathNames != 0;
    p.passwordProtectAll = (file.Flags() & 1) != 0;
    p.requestPasswordAtStartup = (file.Flags() & 2) != 0;
    p.passwordSet = doc.IsPasswordSet();
    const char* button = ResourceString(p.passwordSet ? msg::kChangePassword : msg::kSetPassword);
    p.passwordButton = button ? button : "";
    return p;
}

}  // namespace qb

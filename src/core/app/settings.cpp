#include "app/settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "app/profile_store.h"
#include "datafile/dates.h"
#include "datafile/md5.h"
#include "platform/code_page.h"

namespace qb {

namespace {

enum class ReadAs { Value, Flag };  // Flag: read as 0/1

struct IntKey {
    const char* section;
    const char* key;
    int32_t Settings::*field;
    int32_t def;
    ReadAs readAs = ReadAs::Value;
};

struct StringKey {
    const char* section;
    const char* key;
    std::string Settings::*field;
};

constexpr int32_t kComputed = 0;  // defaults set in SetDefaults from the clock

// The table loaded and written together, in its stored order.
const IntKey kIntKeys[] = {
    {"Date", "DisplayDate", &Settings::displayDate, 1},
    {"Date", "ImportDate", &Settings::importDate, 0},
    {"Date", "DisplayTime", &Settings::displayTime, 0},
    {"Quillbox", "InitList", &Settings::initList, 0},
    {"Quillbox", "ArtSize", &Settings::artSize, 0},
    {"Quillbox", "AutoSave", &Settings::autoSave, 0},
    {"Quillbox", "AutoUpdateQuery", &Settings::autoUpdateQuery, 1},
    {"Quillbox", "ActiveLinks", &Settings::activeLinks, 1},
    {"Quillbox", "OpenImport", &Settings::openImport, 1, ReadAs::Flag},
    {"Quillbox", "PivotYear", &Settings::pivotYear, kComputed},
    {"Quillbox", "DefaultTitle", &Settings::defaultTitle, 0},
    {"Quillbox", "DefaultKeywords", &Settings::defaultKeywords, 0},
    {"Quillbox", "ShowTipOfTheDay", &Settings::showTipOfTheDay, 1, ReadAs::Flag},
    {"Quillbox", "TipOfTheDay", &Settings::tipOfTheDay, 0},
    {"Quillbox", "ImportDuplicateAction", &Settings::importDuplicateAction, 2},
    {"Quillbox", "ImportDefaultTitle", &Settings::importDefaultTitle, 0},
    {"Quillbox", "HighlightColor", &Settings::highlightColor, -1},
    {"Quillbox", "FindTitlesOnly", &Settings::findTitlesOnly, 0},
    {"Quillbox", "CustomTextColor", &Settings::customTextColor, -1},
    {"Quillbox", "UsePortableNames", &Settings::usePortableNames, 1},
    {"Quillbox", "ExportTextLineLength", &Settings::exportTextLineLength, 70},
    {"Quillbox", "IndexReportMode", &Settings::indexReportMode, 0},
    {"Quillbox", "HTMLExportType", &Settings::htmlExportType, 0},
    {"Quillbox", "HTMLEncodeSet", &Settings::htmlEncodeSet, 0},
    {"Quillbox", "UpdateCheckLastDate", &Settings::updateCheckLastDate, 0},
    {"Quillbox", "UpdateCheckFreq", &Settings::updateCheckFreq, -1},
    {"Quillbox", "PlayReminderSound", &Settings::playReminderSound, 0},
    {"Quillbox", "SnoozeDuration", &Settings::snoozeDuration, 0},
    {"Quillbox", "DefaultReminderTimeType", &Settings::defaultReminderTimeType, 0},
    {"Quillbox", "DefaultReminderTime", &Settings::defaultReminderTime, 0},
    {"Quillbox", "UserFolderBrowser", &Settings::userFolderBrowser, 0},
    {"Quillbox", "ArtSettings", &Settings::artSettings, kComputed},
    {"Quillbox", "CodePage", &Settings::codePage, CodePage::kDefault},
    {"Quillbox", "ExportTextEncoding", &Settings::exportTextEncoding, 0},
    {"Index Display", "ShowDate", &Settings::showDate, 1},
    {"Index Display", "ShowTime", &Settings::showTime, 0},
    {"Index Display", "ShowTag", &Settings::showTag, 1},
    {"Index Display", "ShowAttachment", &Settings::showAttachment, 1},
    {"Index Display", "ShowPrivateStatus", &Settings::showPrivateStatus, 0},
    {"Index Display", "ShowHypertextStatus", &Settings::showHypertextStatus, 0},
    {"Index Display", "ShowReminderStatus", &Settings::showReminderStatus, 0},
    {"Index Display", "DateColor", &Settings::dateColor, 0xFF0000},
    {"Index Display", "TitleColor", &Settings::titleColor, 0},
    {"Index Display", "SortOrder", &Settings::sortOrder, 0},
    {"Index Display", "AutoOpenFile", &Settings::autoOpenFile, 0},
    {"Index Display", "AutoOpenInternet", &Settings::autoOpenInternet, 0},
    {"Index Display", "SelectListMode", &Settings::selectListMode, 0},
    {"Index Display", "PreviewColor", &Settings::previewColor, -1},
    {"Index Display", "IndexMode", &Settings::indexMode, 0},
    {"Index Display", "GalleryImageSize", &Settings::galleryImageSize, 1},
    {"Index Display", "ShowImageGallery", &Settings::showImageGallery, 1},
    {"DialogBoxes", "KeywordTop", &Settings::keywordTop, 0},
    {"DialogBoxes", "KeywordLeft", &Settings::keywordLeft, 0},
    {"DialogBoxes", "KeywordBottom", &Settings::keywordBottom, 0},
    {"DialogBoxes", "KeywordRight", &Settings::keywordRight, 0},
};

const StringKey kStringKeys[] = {
    {"Quillbox", "HTMLCustomSet", &Settings::htmlCustomSet},
    {"Quillbox", "FolderBrowserName", &Settings::folderBrowserName},
    {"Quillbox", "UserSettings", &Settings::userSettings},
};

// Sort orders 4 and up come from the status columns and last one run only.
constexpr int32_t kLastStoredSortOrder = 3;
constexpr int32_t kLastSortOrder = 11;

}  // namespace

SettingsClock SettingsClock::System() {
    SettingsClock c;
    c.tickCount = [] {
        using namespace std::chrono;
        return static_cast<uint32_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    c.currentYear = [] {
        std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        return tm.tm_year + 1900;
    };
    return c;
}

std::string FolderBrowserCheckValue(int32_t seed, const std::string& browserPath) {
    uint32_t u = static_cast<uint32_t>(seed);
    uint8_t bytes[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                        static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
    Md5Context ctx;
    ctx.Update(bytes, 4);
    ctx.Update(browserPath);
    Md5Digest d = ctx.Final();
    std::string hex;
    char buf[3];
    for (uint8_t b : d) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        hex += buf;
    }
    return hex;
}

// ExpandTwoDigitYear is the date code's own (datafile/dates.cpp).

int DefaultPivotYear(int currentYear) {
    return currentYear / 100 * 100 + 99;
}

Settings::Settings(SettingsClock clock) : clock_(std::move(clock)) {
    if (!clock_.tickCount || !clock_.currentYear) clock_ = SettingsClock::System();
    programFont_ = DefaultArticleFont();
    SetDefaults();
}

void Settings::SetDefaults() {
    for (const IntKey& k : kIntKeys)
        this->*k.field = k.def;
    for (const StringKey& k : kStringKeys)
        (this->*k.field).clear();
    artSettings = static_cast<int32_t>(clock_.tickCount());
    pivotYear = DefaultPivotYear(clock_.currentYear());
    displayFont = programFont_;
    file = FileSettingsDefaults();
    hasFileSettings_ = false;
    changed = false;
}

void Settings::Validate() {
    if (snoozeDuration < 0 || snoozeDuration > 7) snoozeDuration = 0;
    if (defaultReminderTimeType < 0 || defaultReminderTimeType > 1) defaultReminderTimeType = 0;
    if (defaultReminderTime < 0 || defaultReminderTime >= kSecondsPerDay) defaultReminderTime = 0;
    // Only 0..11 name a title order; anything else would index past them.
    if (sortOrder < 0 || sortOrder > kLastSortOrder) sortOrder = 0;
    if (!CodePage::IsSupported(codePage)) codePage = CodePage::kDefault;
    if (exportTextEncoding != 0 && exportTextEncoding != 1) exportTextEncoding = 0;
}

void Settings::Load(const ProfileStore& store) {
    SetDefaults();
    for (const IntKey& k : kIntKeys) {
        int32_t v = store.GetInt(k.section, k.key, this->*k.field);
        this->*k.field = k.readAs == ReadAs::Flag ? (v != 0 ? 1 : 0) : v;
    }
    for (const StringKey& k : kStringKeys)
        this->*k.field = store.GetString(k.section, k.key, this->*k.field);
    Validate();

    loadLastFile = store.GetInt("Quillbox", "LoadLastFile", 0);
    lastFileName = store.GetString("Quillbox", "LastFileName", "");
    welcome = store.GetInt("QUILLBOX", "Welcome", 1);
    onTop = store.GetInt("QUILLBOX", "OnTop", 0);
    initOptions = store.GetInt("QUILLBOX", "InitOptions", 0);
    flatToolbar = store.GetInt("Quillbox", "FlatToolbar", 1) != 0 ? 1 : 0;
    toolbarButtonSize = store.GetInt("Quillbox", "ToolbarButtonSize", 0) != 0 ? 1 : 0;
    drives = store.SectionEntries("Drives");
}

bool Settings::Save(ProfileStore& store) {
    for (const IntKey& k : kIntKeys) {
        int32_t v = this->*k.field;
        if (k.field == &Settings::sortOrder && (v < 0 || v > kLastStoredSortOrder)) v = 0;
        store.WriteInt(k.section, k.key, v);
    }
    for (const StringKey& k : kStringKeys)
        store.WriteString(k.section, k.key, this->*k.field);
    // The section holds exactly `drives`: a drive removed in Preferences must
    // not come back with the next load (a data file's opening loads again).
    for (const auto& entry : store.SectionEntries("Drives")) {
        const std::string& key = entry.first;  // a lambda may not capture a binding
        bool kept = std::any_of(drives.begin(), drives.end(),
                                [&](const auto& d) { return EqualsNoCase(d.first, key); });
        if (!kept) store.DeleteKey("Drives", key);
    }
    for (const auto& [key, folder] : drives)
        store.WriteString("Drives", key, folder);
    bool ok = store.Flush();
    if (ok) changed = false;
    return ok;
}

bool Settings::SetSortOrder(ProfileStore& store, int32_t v) {
    sortOrder = v;
    return Save(store);
}

bool Settings::SetSelectListMode(ProfileStore& store, int32_t v) {
    selectListMode = v;
    return Save(store);
}

bool Settings::SetCustomTextColor(ProfileStore& store, int32_t v) {
    customTextColor = v;
    return Save(store);
}

bool Settings::WriteSingle(ProfileStore& store, const char* section, const char* key,
                           int32_t& field, int32_t v) {
    if (field == v) return true;
    field = v;
    store.WriteInt(section, key, v);
    return store.Flush();
}

bool Settings::SetFindTitlesOnly(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "FindTitlesOnly", findTitlesOnly, v);
}
bool Settings::SetUpdateCheckLastDate(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "UpdateCheckLastDate", updateCheckLastDate, v);
}
bool Settings::SetUpdateCheckFreq(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "UpdateCheckFreq", updateCheckFreq, v);
}
bool Settings::SetFlatToolbar(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "FlatToolbar", flatToolbar, v);
}
bool Settings::SetToolbarButtonSize(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "ToolbarButtonSize", toolbarButtonSize, v);
}
bool Settings::SetLoadLastFile(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "LoadLastFile", loadLastFile, v);
}
bool Settings::SetWelcome(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "QUILLBOX", "Welcome", welcome, v);
}

bool Settings::SetIndexReportMode(ProfileStore& store, int32_t v) {
    return WriteSingle(store, "Quillbox", "IndexReportMode", indexReportMode, v);
}

bool Settings::SetLastFileName(ProfileStore& store, const std::string& v) {
    if (lastFileName == v) return true;
    lastFileName = v;
    store.WriteString("Quillbox", "LastFileName", v);
    return store.Flush();
}

int32_t Settings::ReadHighlightColor(const ProfileStore& store) {
    highlightColor = store.GetInt("Quillbox", "HighlightColor", highlightColor);
    return highlightColor;
}

std::string Settings::FolderBrowser() const {
    if (folderBrowserName.empty()) return "";
    if (FolderBrowserCheckValue(artSettings, folderBrowserName) != userSettings) return "";
    return folderBrowserName;
}

void Settings::SetFolderBrowser(const std::string& name) {
    folderBrowserName = name;
    artSettings = static_cast<int32_t>(clock_.tickCount());
    userSettings = FolderBrowserCheckValue(artSettings, name);
    changed = true;
}

void Settings::LoadArticleFont(const ProfileStore& store, const ArticleFont& defaults) {
    programFont_ = qb::LoadArticleFont(store, defaults);
    fontLoaded_ = true;
    if (!hasFileSettings_) displayFont = programFont_;
}

bool Settings::SaveArticleFont(ProfileStore& store) {
    if (!fontLoaded_) return true;
    WriteArticleFont(store, programFont_);
    return store.Flush();
}

void Settings::SetArticleFont(const ArticleFont& font) {
    programFont_ = font;
    programFont_.font.faceName = LimitFaceName(font.font.faceName);
    fontLoaded_ = true;
    if (!hasFileSettings_) displayFont = programFont_;
}

FileSettings Settings::FileSettingsDefaults() const {
    FileSettings fs;
    fs.updateDatesToModified = 0;
    fs.wordWrap = 1;
    fs.font = {};
    fs.fontColor = programFont_.textColor;
    fs.fontAutoColor = programFont_.autoColor ? 1 : 0;
    fs.comments.clear();
    fs.relativeLinkLocation = 0;
    fs.relativeLinkPath.clear();
    fs.fullPathNames = 1;
    fs.read = 0;
    return fs;
}

void Settings::ApplyFileSettings(const ProfileStore& store, const FileSettings& f) {
    Load(store);
    FileSettings merged = FileSettingsDefaults();
    merged.read = f.read;
    if (f.read & FileSettings::kUpdateDatesToModified)
        merged.updateDatesToModified = f.updateDatesToModified;
    if (f.read & FileSettings::kWordWrap) merged.wordWrap = f.wordWrap;
    if (f.read & FileSettings::kFontColor) merged.fontColor = f.fontColor;
    if (f.read & FileSettings::kFontAutoColor) merged.fontAutoColor = f.fontAutoColor;
    if (f.read & FileSettings::kComments) merged.comments = f.comments;
    // A location outside 0..2 is not taken.
    if ((f.read & FileSettings::kRelativeLinkLocation) && f.relativeLinkLocation >= 0 &&
        f.relativeLinkLocation <= 2)
        merged.relativeLinkLocation = f.relativeLinkLocation;
    if (f.read & FileSettings::kRelativeLinkPath) merged.relativeLinkPath = f.relativeLinkPath;
    if (f.read & FileSettings::kFullPathNames) merged.fullPathNames = f.fullPathNames;

    displayFont = programFont_;
    if (f.read & FileSettings::kFont) {
        merged.font = f.font;
        displayFont.font =
            DecodeFontDescription(f.font.data(), CodePage::Windows(codePage).value_or(CodePage()));
        // A description with no face (or no height) would give no usable font.
        if (displayFont.font.faceName.empty())
            displayFont.font.faceName = programFont_.font.faceName;
        if (displayFont.font.height == 0) displayFont.font.height = programFont_.font.height;
    }
    displayFont.textColor = merged.fontColor;
    displayFont.autoColor = merged.fontAutoColor != 0;
    file = std::move(merged);
    hasFileSettings_ = true;
}

void Settings::ClearFileSettings(const ProfileStore& store) {
    Load(store);
}

RecordDefaults Settings::MakeRecordDefaults(int32_t today, int32_t now) const {
    RecordDefaults d;
    d.fullPathNames = file.fullPathNames != 0;
    d.wordWrap = file.wordWrap;
    d.today = today;
    d.now = now;
    d.reminderTime = defaultReminderTimeType == 1 ? defaultReminderTime : -1;
    return d;
}

int32_t Settings::ReminderDefaultTime(int32_t now) const {
    return defaultReminderTimeType == 1 ? defaultReminderTime : now;
}

}  // namespace qb

// All preferences in memory: the values loaded and written together, the
// start-up and bar keys kept beside them, the article font, and the file's
// own settings (stream 4) while a data file is open.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/article_font.h"
#include "datafile/records.h"

namespace qb {

class ProfileStore;

// Clock inputs of the defaults, replaceable in tests.
struct SettingsClock {
    std::function<uint32_t()> tickCount;  // milliseconds since some start
    std::function<int()> currentYear;
    static SettingsClock System();
};

// The folder-browser check value: MD5 of the seed's 4 bytes (least
// significant first) and the folder browser's path, as 32 lower-case hex
// digits. A name edited by hand no longer matches and is not run.
std::string FolderBrowserCheckValue(int32_t seed, const std::string& browserPath);

// A two-digit year (below 100) expanded so that it is at most `pivotYear`.
int ExpandTwoDigitYear(int year, int pivotYear);
// (current year div 100) x 100 + 99.
int DefaultPivotYear(int currentYear);

constexpr int32_t kSecondsPerDay = 86400;

class Settings {
public:
    explicit Settings(SettingsClock clock = SettingsClock::System());

    // Algorithms of loading: defaults, then every key with the current
    // value as its default, then validation. Also reads the start-up and
    // bar keys kept beside the table.
    void Load(const ProfileStore& store);
    void SetDefaults();
    void Validate();

    // Writes every key of the table (SortOrder outside 0..3 as 0) and the
    // "Drives" section as `drives` holds it (keys no longer there are
    // deleted), and saves; false when the save failed (reported once by
    // the store).
    bool Save(ProfileStore& store);

    // Setters that save the whole table.
    bool SetSortOrder(ProfileStore& store, int32_t v);
    bool SetSelectListMode(ProfileStore& store, int32_t v);
    bool SetCustomTextColor(ProfileStore& store, int32_t v);
    // Setters that write their one key when the value changes.
    bool SetFindTitlesOnly(ProfileStore& store, int32_t v);
    bool SetUpdateCheckLastDate(ProfileStore& store, int32_t v);
    bool SetUpdateCheckFreq(ProfileStore& store, int32_t v);
    bool SetFlatToolbar(ProfileStore& store, int32_t v);
    bool SetToolbarButtonSize(ProfileStore& store, int32_t v);
    bool SetLoadLastFile(ProfileStore& store, int32_t v);
    bool SetLastFileName(ProfileStore& store, const std::string& v);
    bool SetWelcome(ProfileStore& store, int32_t v);
    // The Index Report Setup's Report Range and Dates shown (1) or hidden (0).
    bool SetIndexReportMode(ProfileStore& store, int32_t v);
    // HighlightColor is read again whenever the format toolbar is built.
    int32_t ReadHighlightColor(const ProfileStore& store);

    // Folder browser: the name only when its check value matches.
    std::string FolderBrowser() const;
    // Stores the name with a new seed and its check value (saved with Save).
    void SetFolderBrowser(const std::string& name);

    // The program's article font (the "QuillBox" keys). The display font
    // below starts as a copy of it and follows a file's own font.
    void LoadArticleFont(const ProfileStore& store, const ArticleFont& defaults);
    // Writes the font keys and saves; nothing before the font was loaded.
    bool SaveArticleFont(ProfileStore& store);
    void SetArticleFont(const ArticleFont& font);  // Preferences: replaces the program font
    const ArticleFont& ProgramFont() const { return programFont_; }
    bool ArticleFontLoaded() const { return fontLoaded_; }
    std::string DisplayFontDescription(int dpi = kDefaultScreenDpi) const {
        return DescribeFont(displayFont.font, dpi);
    }

    // A data file's own settings: the store is read again (which undoes an
    // earlier file's settings), then the file's values are laid over it.
    void ApplyFileSettings(const ProfileStore& store, const FileSettings& file);
    // Back to the program's own settings when the file closes.
    void ClearFileSettings(const ProfileStore& store);
    bool HasFileSettings() const { return hasFileSettings_; }
    // The stream-4 reader's starting values: the defaults of its table.
    FileSettings FileSettingsDefaults() const;

    // What the record readers take from the preferences.
    RecordDefaults MakeRecordDefaults(int32_t today, int32_t now) const;
    // The time a new reminder gets: now, or the given time of day.
    int32_t ReminderDefaultTime(int32_t now) const;

    int ExpandYear(int twoDigitYear) const { return ExpandTwoDigitYear(twoDigitYear, pivotYear); }

    // ---- "Date"
    int32_t displayDate, importDate, displayTime;
    // ---- "Quillbox"
    int32_t initList, artSize, autoSave, autoUpdateQuery, activeLinks, openImport, pivotYear;
    int32_t defaultTitle, defaultKeywords, showTipOfTheDay, tipOfTheDay, importDuplicateAction;
    int32_t importDefaultTitle, highlightColor, findTitlesOnly, customTextColor, usePortableNames;
    int32_t exportTextLineLength, indexReportMode, htmlExportType, htmlEncodeSet;
    std::string htmlCustomSet;
    int32_t updateCheckLastDate, updateCheckFreq, playReminderSound, snoozeDuration;
    int32_t defaultReminderTimeType, defaultReminderTime;
    std::string folderBrowserName;
    int32_t userFolderBrowser;
    std::string userSettings;
    int32_t artSettings;
    // The Windows code page of the data files' text (CodePage::Windows).
    int32_t codePage;
    // Text and CSV exports: 0 in the data file's code page, 1 in UTF-8.
    int32_t exportTextEncoding;
    // ---- "Index Display"
    int32_t showDate, showTime, showTag, showAttachment, showPrivateStatus, showHypertextStatus;
    int32_t showReminderStatus, dateColor, titleColor, sortOrder, autoOpenFile, autoOpenInternet;
    int32_t selectListMode, previewColor, indexMode, galleryImageSize, showImageGallery;
    // ---- "Drives": Windows drives ("C:") and shares ("\\server\share") of
    // stored link targets, each with the Linux folder that stands for it.
    std::vector<std::pair<std::string, std::string>> drives;
    // ---- "DialogBoxes"
    int32_t keywordTop, keywordLeft, keywordBottom, keywordRight;

    // Kept beside the table: read by Load, written by their setters.
    int32_t loadLastFile = 0;
    std::string lastFileName;
    int32_t welcome = 1;
    int32_t onTop = 0;
    int32_t initOptions = 0;
    int32_t flatToolbar = 1;
    int32_t toolbarButtonSize = 0;

    // The display font: the program font, or the open file's own.
    ArticleFont displayFont;
    // The open file's own settings (defaults while none is open).
    FileSettings file;

    bool changed = false;

private:
    bool WriteSingle(ProfileStore& store, const char* section, const char* key, int32_t& field,
                     int32_t v);

    SettingsClock clock_;
    ArticleFont programFont_;
    bool fontLoaded_ = false;
    bool hasFileSettings_ = false;
};

}  // namespace qb

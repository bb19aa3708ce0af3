// The document: one open data file, the collections every window works
// from, and the lookups they use. It never writes to the file; whatever
// changes while it is open (a repaired bookmark list, shown private
// articles) lives in memory only. Windows are reached through the ports of
// document_host.h, the person through the Ui port.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "datafile/article_read_ahead.h"
#include "datafile/data_file.h"
#include "datafile/id_set.h"
#include "datafile/records.h"
#include "document/article_summary.h"
#include "document/document_host.h"
#include "document/privacy.h"
#include "platform/code_page.h"
#include "platform/command_state.h"

namespace qb {

class Ui;
class Locale;
class Settings;
class ProfileStore;

// The services a document works through. `ui` and `locale` are required;
// without `settings` (and `store`) the record defaults are the built-in
// ones and the file's own settings are kept only in the document.
struct DocumentServices {
    Ui* ui = nullptr;
    const Locale* locale = nullptr;
    MainWindowHost* mainWindow = nullptr;  // none: nothing is shown
    Settings* settings = nullptr;
    const ProfileStore* store = nullptr;
    // The preferences' attachments folder, for relative link targets.
    std::function<std::string()> attachmentsFolder;
};

// How a file is to be opened.
struct OpenRequest {
    std::string path;
    bool allowNewer = false;  // versions 401 to 499 may open
};

class CQuillboxDoc {
public:
    explicit CQuillboxDoc(DocumentServices services);
    ~CQuillboxDoc();
    CQuillboxDoc(const CQuillboxDoc&) = delete;
    CQuillboxDoc& operator=(const CQuillboxDoc&) = delete;

    // ---- Open and close
    // Loads the file; on failure reports the error through the Ui, leaves
    // the document empty and returns false.
    bool OnOpenDocument(const OpenRequest& request);
    bool OnOpenDocument(const std::string& path) { return OnOpenDocument(OpenRequest{path}); }
    // Empties the document and closes the file; errors are reported and do
    // not stop it.
    void DeleteContents();
    bool IsOpen() const;
    const std::string& PathName() const { return path_; }
    // The code of the last failed open (0 after a success), for callers
    // that need an exit status.
    int LastOpenError() const { return lastOpenError_; }

    CDataFile& File() { return *file_; }
    const CDataFile& File() const { return *file_; }
    const RecordDefaults& Defaults() const { return defaults_; }

    // ---- The index window
    void SetIndexWindow(IndexWindow* w) { index_ = w; }
    IndexWindow* GetIndexWindow() const { return index_; }
    // The connected index window, or a NoIndexWindow (queries answer
    // NIL_BLOCK) while none is.
    IndexWindow& Index();

    // ---- The code page of the file's text: names, titles, plain content,
    // targets and the file's own texts are kept as stored and decoded with
    // it. A document with settings takes their `codePage` at each open;
    // one without keeps what SetTextCodePage gave (Windows-1252 at first).
    const CodePage& TextCodePage() const { return codePage_; }
    void SetTextCodePage(const CodePage& page) { codePage_ = page; }

    // ---- Keywords and groups (names in the file's code page)
    // Negative ids read the in-memory list (entry -id - 1); an id at or
    // beyond the table raises code 5.
    void KeywordName(int32_t id, std::string& out) const;
    std::string KeywordName(int32_t id) const;
    bool IsKeyword(int32_t id) const;
    void AllKeywords(IdSet& out) const;
    // Slots of the keyword table, free ones included: ids below it are valid.
    int32_t KeywordSlotCount() const { return keywordSlots_; }
    // Ignoring case, locale-aware; NIL_BLOCK for an empty text or no match.
    int32_t FindKeyword(const std::string& name) const;
    int32_t FindGroup(const std::string& name) const;
    void AllGroups(IdSet& out) const;
    int32_t GroupCount() const;
    void GroupName(int32_t id, std::string& out) const;
    // The whole record; keyword ids handed out sorted ascending.
    void ReadGroup(int32_t id, CKeywordGroup& out);
    // A missing or damaged record yields an empty set silently; any other
    // error is reported and yields an empty set.
    void ArticlesOfKeyword(int32_t id, IdSet& out);
    // The second keyword list kept beside the file's keywords.
    std::vector<std::string>& MemoryKeywordNames() { return memoryKeywords_; }

    // Case-sensitive, locale-aware; equal names keep their order.
    void SortKeywordsByName(std::vector<int32_t>& ids) const;
    std::vector<int32_t> SortKeywordsByName(const IdSet& ids) const;

    // ---- Articles
    void ReadArticle(int32_t id, CArticle& out);
    // For a long run through `ids` in this order with ReadArticle (an
    // export): the next ones are read ahead on a thread of their own, and
    // ReadArticle gives each exactly what it would have read, failures
    // included. Ends with StopReadingAhead, another start, or the close.
    void StartReadingAhead(std::vector<int32_t> ids);
    void StopReadingAhead() { readAhead_.reset(); }
    // Built on first use and kept; a failed read throws and is tried again
    // next time. Out of memory raises code 1.
    const ArticleSummary& Summary(int32_t id);
    // Builds the summaries of `ids` not built yet, reading on up to
    // `threads` threads (0: DefaultReadThreads). The summaries are the ones
    // Summary would build; an article that cannot be read is left unbuilt,
    // so that Summary reports it when it is asked for, exactly as it would
    // have without this. Negative and unknown ids are passed over.
    void LoadSummaries(const std::vector<int32_t>& ids, unsigned threads = 0);
    // Only the title; nothing for a negative id or an unreadable article.
    std::optional<std::string> SummaryTitle(int32_t id);
    bool HasSummary(int32_t id) const;
    // The collation key of the article's title under `locale` (keys compare
    // bytewise as `locale.Compare` orders the titles), built once and kept
    // with the summary; another locale builds them again. Throws as Summary.
    const std::string& TitleSortKey(int32_t id, const Locale& locale);

    const IdSet& AllArticles() const { return allArticles_; }
    const IdSet& Bookmarks() const { return bookmarks_; }
    const IdSet& PrivateArticles() const { return private_; }
    const IdSet& ExcludedArticles() const { return excluded_; }
    void VisibleArticles(IdSet& out) const;
    void VisibleBookmarks(IdSet& out) const;
    int32_t VisibleCount() const;
    int32_t VisibleBookmarkCount() const;
    bool IsBookmarked(int32_t id) const;
    void SetBookmark(int32_t id, bool on);  // in memory only
    bool IsPrivate(int32_t id) const;
    int32_t PrivateCount() const;
    // Whether a private article is currently hidden.
    bool ArePrivateHidden() const { return !privacy_.IsUnlocked(); }

    // ---- The found list: the articles the last Find found, in the order
    // they were searched; `stopped` when that search did not run to its end.
    const std::vector<int32_t>& FoundArticles() const { return found_; }
    bool FoundListStopped() const { return foundStopped_; }
    void SetFoundArticles(std::vector<int32_t> ids, bool stopped) {
        found_ = std::move(ids);
        foundStopped_ = stopped;
    }

    // ---- Privacy
    PrivacyState& Privacy() { return privacy_; }
    const PrivacyState& Privacy() const { return privacy_; }
    bool CheckPassword(const std::string& password);
    void Lock();
    bool IsUnlocked() const { return privacy_.IsUnlocked(); }
    bool IsPasswordSet() const { return privacy_.IsPasswordSet(); }
    // Show Private Articles.
    CommandState ShowPrivateArticlesState() const;
    void OnShowPrivateArticles();
    // The password dialog of Show Private Articles (msg::kWrongCurrentPassword
    // on a wrong password); true when it ended with OK. Also the File Properties
    // Privacy page's guard.
    bool AskToUnlock();

    // ---- Per-file settings, as read at open
    const PageSetupValues& PageSetup() const { return pageSetup_; }
    const std::string& ExportHeader() const { return exportHeader_; }
    const std::string& PrintHeader() const { return printHeader_; }
    const std::string& PrintFooter() const { return printFooter_; }
    const FileSettings& OwnSettings() const { return fileSettings_; }
    bool HasOwnSettings() const { return hasFileSettings_; }
    const SavedQueries& Queries() const { return queries_; }
    // The folder relative targets are resolved against.
    const std::string& RelativeLinkBase() const { return linkBase_; }
    int32_t SortOrder() const { return sortOrder_; }
    void SetSortOrder(int32_t v) { sortOrder_ = v; }

    // The reminders read at open.
    size_t ReminderCount() const { return reminders_.list.size(); }
    bool HasReminder(int32_t articleId) const { return reminders_.articles.Contains(articleId); }

    // ---- Services
    // The program's settings, or null when the document works without them.
    const Settings* AppSettings() const { return svc_.settings; }
    // Shows `e` through the Ui (nothing without one).
    void Report(const CQuillError& e) const;

private:
    // `typed` (UTF-8, from the password dialog) in the file's code page,
    // then as typed.
    bool CheckTypedPassword(const std::string& typed);
    void ReadNames(int t, std::vector<std::string>& names, int32_t& slots);
    void ReadFileSettingsStreams();
    void ComputeLinkBase();
    void DropSummaries(const IdSet& ids);

    DocumentServices svc_;
    std::unique_ptr<CDataFile> file_;
    std::unique_ptr<ArticleReadAhead> readAhead_;  // reads file_: goes before it
    IndexWindow* index_ = nullptr;
    std::string path_;
    int lastOpenError_ = 0;
    RecordDefaults defaults_;

    std::vector<std::string> keywordNames_;
    std::vector<std::string> groupNames_;
    int32_t keywordSlots_ = 0, groupSlots_ = 0;  // names_ hold the slots up to the last used one
    std::vector<std::string> memoryKeywords_;
    IdSet allArticles_, bookmarks_, private_, excluded_;
    std::vector<std::unique_ptr<ArticleSummary>> summaries_;
    const Locale* titleKeyLocale_ = nullptr;  // the locale of the kept title keys
    CodePage codePage_;
    std::vector<int32_t> found_;
    bool foundStopped_ = false;

    PrivacyState privacy_;
    PageSetupValues pageSetup_;
    std::string exportHeader_, printHeader_, printFooter_;
    FileSettings fileSettings_;
    bool hasFileSettings_ = false;
    SavedQueries queries_;
    std::string linkBase_;
    int32_t sortOrder_ = 0;

    Reminders reminders_;
};

}  // namespace qb

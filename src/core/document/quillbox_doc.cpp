#include "document/quillbox_doc.h"

#include <algorithm>
#include <new>
#include <numeric>

#include "app/settings.h"
#include "datafile/dates.h"
#include "datafile/parallel_reads.h"
#include "document/file_properties.h"
#include "platform/locale.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

namespace {

constexpr int kCodeBookmarksRepaired = 38;

std::string Text(int id) {
    const char* s = ResourceString(id);
    return s ? s : "";
}

// What the title list keeps of an article record.
std::unique_ptr<ArticleSummary> MakeSummary(CArticle&& a) {
    auto e = std::make_unique<ArticleSummary>();
    e->articleDate = a.articleDate;
    e->articleTime = a.articleTime;
    e->createdDate = a.createdDate;
    e->createdTime = a.createdTime;
    e->attachmentCount = int32_t(a.attachments.size());
    e->hasLinks = (a.flags & article_flags::kHasLinks) != 0;
    e->title = std::move(a.title);
    return e;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

CQuillboxDoc::CQuillboxDoc(DocumentServices services)
    : svc_(std::move(services)), file_(std::make_unique<CDataFile>()) {
    if (svc_.settings) sortOrder_ = svc_.settings->sortOrder;
}

CQuillboxDoc::~CQuillboxDoc() {
    readAhead_.reset();
    privacy_.Reset();
    if (file_ && file_->IsOpen()) file_->Abort();
    // Destroyed without a close: the file's own settings must not outlive it.
    if (svc_.settings && svc_.store && hasFileSettings_ && svc_.settings->HasFileSettings())
        svc_.settings->ClearFileSettings(*svc_.store);
}

bool CQuillboxDoc::IsOpen() const {
    return file_->IsOpen();
}

IndexWindow& CQuillboxDoc::Index() {
    static NoIndexWindow none;  // holds no state: one serves every document
    return index_ ? *index_ : none;
}

void CQuillboxDoc::Report(const CQuillError& e) const {
    if (svc_.ui) e.ReportError(*svc_.ui);
}

// ---- Open and close --------------------------------------------------------

void CQuillboxDoc::ReadNames(int t, std::vector<std::string>& names, int32_t& slots) {
    names.clear();
    slots = std::max<int32_t>(0, file_->Table(t).count);
    // Every used slot is read, wherever it lies: a table whose free slots are
    // in the middle keeps its last entries. Free slots read as empty names.
    IdSet used;
    try {
        file_->ListLiveRecords(t, used);
    } catch (const CQuillError& e) {
        if (!e.IsCorrupted()) throw;
        return;  // the table itself is damaged: every name is unreadable
    }
    if (used.Empty()) return;
    try {
        names.assign(size_t(used.Ids().back()) + 1, std::string());
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, path_);
    }
    for (int32_t id : used) {
        try {
            names[size_t(id)] =
                t == table::kKeywords ? ReadKeywordName(*file_, id) : ReadGroupName(*file_, id);
        } catch (const CQuillError& e) {
            if (!e.IsCorrupted()) {
                names.clear();
                throw;
            }
            names[size_t(id)].clear();
        }
    }
}

bool CQuillboxDoc::OnOpenDocument(const OpenRequest& request) {
    DeleteContents();
    if (svc_.mainWindow) svc_.mainWindow->Repaint();
    lastOpenError_ = 0;
    if (svc_.settings) codePage_ = CodePage::Windows(svc_.settings->codePage).value_or(CodePage());
    try {
        try {
            file_->Open(request.path, request.allowNewer);
            privacy_.ReadPrivacy(*file_);

            if (file_->AsksPasswordAtOpen()) {
                // A wrong password is said, and the person may try again.
                bool ok = svc_.ui &&
                          svc_.ui->AskPassword(file_->FileName(), [this](const std::string& p) {
                              if (CheckTypedPassword(p)) return true;
                              svc_.ui->MessageBox(Text(msg::kWrongCurrentPassword),
                                                  MessageIcon::Exclamation);
                              return false;
                          });
                if (!ok || !privacy_.IsUnlocked())
                    throw CQuillError(err::kPasswordInvalid, request.path);
            }

            ReadNames(table::kKeywords, keywordNames_, keywordSlots_);

            file_->ListLiveRecords(allArticles_);
            LoadIdStream(*file_, stream_id::kExcludedIds, excluded_);
            allArticles_.Subtract(excluded_);

            LoadIdStream(*file_, stream_id::kBookmarks, bookmarks_);
            LoadIdStream(*file_, stream_id::kPrivateIds, private_);

            ReadNames(table::kGroups, groupNames_, groupSlots_);
            if (file_->LiveCount(table::kGroups) <= 0) Index().OnNoGroups();

            // Bookmarks of deleted articles are dropped here only; the file
            // keeps its list.
            size_t before = bookmarks_.Count();
            bookmarks_.Intersect(allArticles_);
            if (bookmarks_.Count() != before)
                Report(CQuillError(kCodeBookmarksRepaired, request.path));

            path_ = request.path;
            if (svc_.mainWindow) {
                svc_.mainWindow->AddRecentFile(path_);
                svc_.mainWindow->SetNoDocument(false);
                svc_.mainWindow->SetFileTitle(file_->FileTitle());
            }

            ReadFileSettingsStreams();

            Index().OnFileLoaded();
            if (svc_.mainWindow) {
                std::vector<std::string> names;
                for (const SavedQuery& q : queries_.queries)
                    names.push_back(codePage_.ToUtf8(q.name));
                svc_.mainWindow->RebuildSavedQueryMenu(names);
                svc_.mainWindow->ShowIndexFrame();
            }
            return true;
        } catch (const std::bad_alloc&) {
            throw CQuillError(err::kOutOfMemory, request.path);
        }
    } catch (const CQuillError& e) {
        lastOpenError_ = e.Code() ? e.Code() : err::kFileSystem;
        Report(e);
    } catch (const std::exception& e) {
        lastOpenError_ = err::kFileSystem;
        if (svc_.ui) svc_.ui->MessageBox(e.what(), MessageIcon::Exclamation);
    }
    DeleteContents();
    return false;
}

void CQuillboxDoc::ReadFileSettingsStreams() {
    LoadPageSetup(*file_, pageSetup_);
    exportHeader_ = LoadExportHeader(*file_);
    printHeader_ = LoadPrintHeader(*file_);
    printFooter_ = LoadPrintFooter(*file_);

    fileSettings_ = svc_.settings ? svc_.settings->FileSettingsDefaults() : FileSettings();
    hasFileSettings_ = LoadFileSettings(*file_, fileSettings_);
    if (!hasFileSettings_)
        fileSettings_ = svc_.settings ? svc_.settings->FileSettingsDefaults() : FileSettings();

    int32_t today = 0, now = 0;
    if (svc_.locale) {
        LocalDateTime t = svc_.locale->Now();
        today = MakeDate(t.year, t.month, t.day);
        now = MakeTime(t.hour, t.minute, t.second);
    }
    if (svc_.settings) {
        if (svc_.store && hasFileSettings_) {
            svc_.settings->ApplyFileSettings(*svc_.store, fileSettings_);
            if (svc_.mainWindow) svc_.mainWindow->DisplayFontChanged();
        }
        defaults_ = svc_.settings->MakeRecordDefaults(today, now);
        if (!svc_.store) {
            defaults_.wordWrap = fileSettings_.wordWrap;
            defaults_.fullPathNames = fileSettings_.fullPathNames != 0;
        }
    } else {
        defaults_ = RecordDefaults();
        defaults_.wordWrap = fileSettings_.wordWrap;
        defaults_.fullPathNames = fileSettings_.fullPathNames != 0;
        defaults_.today = today;
        defaults_.now = now;
    }

    ComputeLinkBase();
    LoadSavedQueries(*file_, queries_);
    reminders_ = Reminders();
    LoadReminders(*file_, reminders_, defaults_);
}

void CQuillboxDoc::ComputeLinkBase() {
    std::string prefs = svc_.attachmentsFolder ? svc_.attachmentsFolder() : std::string();
    switch (fileSettings_.relativeLinkLocation) {
        case link_base::kDataFileFolder:
            linkBase_ = FolderOf(file_->Path());
            break;
        case link_base::kStoredPath:
            linkBase_ = fileSettings_.relativeLinkPath.empty()
                            ? prefs
                            : codePage_.ToUtf8(fileSettings_.relativeLinkPath);
            break;
        default:
            linkBase_ = prefs;
            break;
    }
}

void CQuillboxDoc::DeleteContents() {
    keywordNames_.clear();
    groupNames_.clear();
    keywordSlots_ = groupSlots_ = 0;
    summaries_.clear();
    found_.clear();
    foundStopped_ = false;
    bookmarks_.Clear();
    private_.Clear();
    excluded_.Clear();
    allArticles_.Clear();
    queries_ = SavedQueries();
    if (svc_.mainWindow) svc_.mainWindow->RebuildSavedQueryMenu({});
    hasFileSettings_ = false;
    fileSettings_ = FileSettings();
    readAhead_.reset();
    privacy_.Reset();
    try {
        if (file_->IsOpen()) file_->Close();
    } catch (const CQuillError& e) {
        file_->Abort();
        Report(e);
    }
    path_.clear();
    if (svc_.mainWindow) {
        svc_.mainWindow->SetNoDocument(true);
        svc_.mainWindow->SetFileTitle("");
    }
    if (svc_.settings) {
        if (svc_.store && svc_.settings->HasFileSettings()) {
            svc_.settings->ClearFileSettings(*svc_.store);
            if (svc_.mainWindow) svc_.mainWindow->DisplayFontChanged();
        }
        sortOrder_ = svc_.settings->sortOrder;
    }
}

// ---- Keywords and groups -------------------------------------------------------

void CQuillboxDoc::KeywordName(int32_t id, std::string& out) const {
    if (id < 0) {
        size_t i = size_t(-(int64_t(id) + 1));
        out = i < memoryKeywords_.size() ? memoryKeywords_[i] : std::string();
        return;
    }
    if (id >= keywordSlots_) throw CQuillError(err::kCorrupted, path_);
    out = size_t(id) < keywordNames_.size() ? keywordNames_[size_t(id)] : std::string();
}

std::string CQuillboxDoc::KeywordName(int32_t id) const {
    std::string s;
    KeywordName(id, s);
    return s;
}

bool CQuillboxDoc::IsKeyword(int32_t id) const {
    return id >= 0 && size_t(id) < keywordNames_.size() && !keywordNames_[size_t(id)].empty();
}

void CQuillboxDoc::AllKeywords(IdSet& out) const {
    std::vector<int32_t> ids;
    for (size_t i = 0; i < keywordNames_.size(); ++i)
        if (!keywordNames_[i].empty()) ids.push_back(int32_t(i));
    out.Copy(IdSet::FromUnsorted(std::move(ids)));
}

namespace {
int32_t FindName(const std::vector<std::string>& names, const std::string& text,
                 const Locale* locale, const CodePage& page) {
    if (text.empty()) return NIL_BLOCK;
    std::u16string wanted = page.ToUtf16(text);
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty()) continue;
        bool same =
            locale ? locale->CompareNoCase(page.ToUtf16(names[i]), wanted) == 0 : names[i] == text;
        if (same) return int32_t(i);
    }
    return NIL_BLOCK;
}
}  // namespace

int32_t CQuillboxDoc::FindKeyword(const std::string& name) const {
    return FindName(keywordNames_, name, svc_.locale, codePage_);
}

int32_t CQuillboxDoc::FindGroup(const std::string& name) const {
    return FindName(groupNames_, name, svc_.locale, codePage_);
}

void CQuillboxDoc::AllGroups(IdSet& out) const {
    std::vector<int32_t> ids;
    for (size_t i = 0; i < groupNames_.size(); ++i)
        if (!groupNames_[i].empty()) ids.push_back(int32_t(i));
    out.Copy(IdSet::FromUnsorted(std::move(ids)));
}

int32_t CQuillboxDoc::GroupCount() const {
    // A damaged header can claim more free slots than there are.
    return file_->IsOpen() ? std::max<int32_t>(0, file_->LiveCount(table::kGroups)) : 0;
}

void CQuillboxDoc::GroupName(int32_t id, std::string& out) const {
    if (id < 0 || id >= groupSlots_) throw CQuillError(err::kCorrupted, path_);
    out = size_t(id) < groupNames_.size() ? groupNames_[size_t(id)] : std::string();
}

void CQuillboxDoc::ReadGroup(int32_t id, CKeywordGroup& out) {
    try {
        out = qb::ReadGroup(*file_, id);
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, path_);
    }
    out.keywords.Sort();
}

void CQuillboxDoc::ArticlesOfKeyword(int32_t id, IdSet& out) {
    out.Clear();
    if (id < 0) return;  // the in-memory keywords have no articles in the file
    try {
        CKeyword k = ReadKeyword(*file_, id);
        k.articles.Sort();
        out.Copy(k.articles);
    } catch (const CQuillError& e) {
        out.Clear();
        if (!e.IsCorrupted()) Report(e);
    } catch (const std::bad_alloc&) {
        out.Clear();
        Report(CQuillError(err::kOutOfMemory, path_));
    }
}

void CQuillboxDoc::SortKeywordsByName(std::vector<int32_t>& ids) const {
    // The names are converted once; the comparisons run on them.
    std::vector<std::u16string> names;
    names.reserve(ids.size());
    for (int32_t id : ids) {
        std::string n;
        try {
            KeywordName(id, n);
        } catch (const CQuillError&) {
            n.clear();  // an unreadable keyword sorts as an empty name
        }
        names.push_back(codePage_.ToUtf16(n));
    }
    // Equal names keep their order: exactly the order of a binary insertion
    // that puts each name after the equal ones before it, which is what the
    // keyword lists have always shown. std::stable_sort gives that order.
    auto less = [this](const std::u16string& a, const std::u16string& b) {
        return (svc_.locale ? svc_.locale->Compare(a, b) : a.compare(b)) < 0;
    };
    std::vector<size_t> order(ids.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return less(names[a], names[b]); });
    std::vector<int32_t> sorted;
    sorted.reserve(ids.size());
    for (size_t i : order)
        sorted.push_back(ids[i]);
    ids = std::move(sorted);
}

std::vector<int32_t> CQuillboxDoc::SortKeywordsByName(const IdSet& ids) const {
    std::vector<int32_t> v(ids.begin(), ids.end());
    SortKeywordsByName(v);
    return v;
}

// ---- Articles ----------------------------------------------------------------

void CQuillboxDoc::StartReadingAhead(std::vector<int32_t> ids) {
    readAhead_.reset();
    if (!file_->IsOpen() || ids.size() < 2) return;
    try {
        readAhead_ = std::make_unique<ArticleReadAhead>(*file_, defaults_, std::move(ids));
    } catch (const std::bad_alloc&) {
        readAhead_.reset();  // read one by one, then
    }
}

void CQuillboxDoc::ReadArticle(int32_t id, CArticle& out) {
    try {
        if (readAhead_ && readAhead_->Take(id, out)) return;
        out = qb::ReadArticle(*file_, id, defaults_);
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, path_);
    }
}

bool CQuillboxDoc::HasSummary(int32_t id) const {
    return id >= 0 && size_t(id) < summaries_.size() && summaries_[size_t(id)] != nullptr;
}

const ArticleSummary& CQuillboxDoc::Summary(int32_t id) {
    if (id < 0) throw CQuillError(err::kBadRecordId, path_);
    if (HasSummary(id)) return *summaries_[size_t(id)];
    try {
        // A failed read throws before anything is stored: the next request
        // tries again.
        auto e = MakeSummary(ReadArticleSummary(*file_, id, defaults_));
        if (size_t(id) >= summaries_.size()) summaries_.resize(size_t(id) + 1);
        summaries_[size_t(id)] = std::move(e);
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, path_);
    }
    return *summaries_[size_t(id)];
}

void CQuillboxDoc::LoadSummaries(const std::vector<int32_t>& ids, unsigned threads) {
    if (!file_->IsOpen()) return;
    const int32_t slots = file_->Table(table::kArticles).count;
    std::vector<int32_t> wanted;
    try {
        wanted.reserve(ids.size());
        for (int32_t id : ids)
            if (id >= 0 && id < slots && !HasSummary(id)) wanted.push_back(id);
        if (wanted.empty()) return;
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        // Every slot exists before the threads start: each one then writes
        // only the slots of its own ids.
        const size_t top = size_t(wanted.back()) + 1;
        if (summaries_.size() < top) summaries_.resize(top);
    } catch (const std::bad_alloc&) {
        return;  // Summary reads them one by one, and says so if it must
    }
    ReadInParallel(*file_, wanted.size(), threads ? threads : DefaultReadThreads(),
                   [this, &wanted](CDataFile& handle, size_t i) {
                       const int32_t id = wanted[i];
                       try {
                           summaries_[size_t(id)] =
                               MakeSummary(ReadArticleSummary(handle, id, defaults_));
                       } catch (...) {
                           // Left unbuilt: Summary reads it again and reports
                           // the failure in its place in the caller's order.
                       }
                   });
}

const std::string& CQuillboxDoc::TitleSortKey(int32_t id, const Locale& locale) {
    if (&locale != titleKeyLocale_) {
        for (auto& s : summaries_)
            if (s) s->hasTitleKey = false;
        titleKeyLocale_ = &locale;
    }
    Summary(id);
    ArticleSummary& s = *summaries_[size_t(id)];
    if (!s.hasTitleKey) {
        try {
            s.titleKey = locale.SortKey(codePage_.ToUtf16(s.title));
        } catch (const std::bad_alloc&) {
            throw CQuillError(err::kOutOfMemory, path_);
        }
        s.hasTitleKey = true;
    }
    return s.titleKey;
}

std::optional<std::string> CQuillboxDoc::SummaryTitle(int32_t id) {
    if (id < 0) return std::nullopt;
    try {
        return Summary(id).title;
    } catch (const CQuillError&) {
        return std::nullopt;
    }
}

void CQuillboxDoc::DropSummaries(const IdSet& ids) {
    for (int32_t id : ids)
        if (HasSummary(id)) summaries_[size_t(id)].reset();
}

void CQuillboxDoc::VisibleArticles(IdSet& out) const {
    out.Copy(allArticles_);
    if (ArePrivateHidden()) out.Subtract(private_);
}

void CQuillboxDoc::VisibleBookmarks(IdSet& out) const {
    out.Copy(bookmarks_);
    if (ArePrivateHidden()) out.Subtract(private_);
}

// Counted from the sets rather than from the table's live count, so that
// the count always agrees with the list it describes (a private article
// that is also excluded is not taken away twice).
int32_t CQuillboxDoc::VisibleCount() const {
    IdSet v;
    VisibleArticles(v);
    return int32_t(v.Count());
}

int32_t CQuillboxDoc::VisibleBookmarkCount() const {
    IdSet v;
    VisibleBookmarks(v);
    return int32_t(v.Count());
}

bool CQuillboxDoc::IsBookmarked(int32_t id) const {
    return bookmarks_.Contains(id);
}

void CQuillboxDoc::SetBookmark(int32_t id, bool on) {
    if (on)
        bookmarks_.Insert(id);
    else
        bookmarks_.Remove(id);
}

bool CQuillboxDoc::IsPrivate(int32_t id) const {
    return private_.Contains(id);
}

int32_t CQuillboxDoc::PrivateCount() const {
    return int32_t(private_.Count());
}

// ---- Privacy -------------------------------------------------------------------

bool CQuillboxDoc::CheckPassword(const std::string& password) {
    readAhead_.reset();  // what it read was read with the key of before
    return privacy_.CheckPassword(password);
}

bool CQuillboxDoc::CheckTypedPassword(const std::string& typed) {
    for (const std::string& bytes : PasswordCandidates(typed, TextCodePage()))
        if (privacy_.CheckPassword(bytes)) return true;
    return false;
}

void CQuillboxDoc::Lock() {
    readAhead_.reset();
    privacy_.Lock();
}

CommandState CQuillboxDoc::ShowPrivateArticlesState() const {
    CommandState s;
    bool open = file_->IsOpen();
    s.enabled = open && privacy_.IsPasswordSet() && !file_->AsksPasswordAtOpen();
    s.checked = open && privacy_.IsPasswordSet() && privacy_.IsUnlocked();
    return s;
}

bool CQuillboxDoc::AskToUnlock() {
    if (!file_->IsOpen() || !svc_.ui) return false;
    if (privacy_.IsUnlocked()) return true;
    return svc_.ui->AskPassword(file_->FileName(), [this](const std::string& p) {
        if (CheckTypedPassword(p)) return true;
        svc_.ui->MessageBox(Text(msg::kWrongCurrentPassword), MessageIcon::Exclamation);
        return false;
    });
}

void CQuillboxDoc::OnShowPrivateArticles() {
    if (!ShowPrivateArticlesState().enabled) return;
    if (!privacy_.IsUnlocked()) {
        if (!AskToUnlock()) return;
    } else {
        if (svc_.mainWindow && !svc_.mainWindow->CloseArticleWindows(private_)) {
            if (svc_.ui)
                svc_.ui->MessageBox(Text(msg::kPrivateWindowsStayOpen), MessageIcon::Exclamation);
            return;
        }
        // Their titles were read with the key; locked they must be read anew.
        DropSummaries(private_);
        readAhead_.reset();
        privacy_.Lock();
    }
    Index().OnPrivacyChanged();
    if (svc_.mainWindow) svc_.mainWindow->RefreshDocumentViews();
}

}  // namespace qb

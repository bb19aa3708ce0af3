#include "app/startup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "app/system_env.h"
#include "datafile/quill_error.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

std::optional<std::string> CommandLineFile(const std::vector<std::string>& args) {
    bool optionsDone = false;
    for (const std::string& a : args) {
        if (a.empty()) continue;
        if (!optionsDone && a == "--") {
            optionsDone = true;
            continue;
        }
        if (!optionsDone && a[0] == '-') continue;
        return a;
    }
    return std::nullopt;
}

bool HasNoFolder(const std::string& name) {
    return name.find_first_of("/\\") == std::string::npos;
}

// ---- recent files

namespace {
constexpr const char* kMruSection = "Recent File List";
constexpr const char* kOldRecentSection = "Recent Files";

void PutOnTop(std::vector<std::string>& list, const std::string& path, size_t max) {
    list.erase(std::remove(list.begin(), list.end(), path), list.end());
    list.insert(list.begin(), path);
    if (list.size() > max) list.resize(max);
}

std::string FileKey(int i) {
    return "File" + std::to_string(i);
}
}  // namespace

void RecentFiles::Load(const ProfileStore& store, bool portable) {
    entries_.clear();
    portable_.clear();
    portableEnabled_ = portable;
    for (int i = 1; i <= kMax; ++i) {
        std::string s = store.GetString(kMruSection, FileKey(i), "");
        if (!s.empty() && std::find(entries_.begin(), entries_.end(), s) == entries_.end())
            entries_.push_back(s);
    }
    if (entries_.empty()) {
        for (int i = kMax; i >= 1; --i) {
            std::string s = store.GetString(kOldRecentSection, FileKey(i), "");
            if (!s.empty()) PutOnTop(entries_, s, kMax);
        }
    }
    if (!portable) return;
    for (int i = 1; i <= kMax; ++i) {
        std::string s = store.GetString(kOldRecentSection, FileKey(i), "");
        if (!s.empty() && std::find(portable_.begin(), portable_.end(), s) == portable_.end())
            portable_.push_back(s);
    }
    entries_.clear();
    for (auto it = portable_.rbegin(); it != portable_.rend(); ++it)
        PutOnTop(entries_, *it, kMax);
}

bool RecentFiles::Save(ProfileStore& store) const {
    for (int i = 1; i <= kMax; ++i)
        store.WriteString(kMruSection, FileKey(i),
                          static_cast<size_t>(i) <= entries_.size() ? entries_[i - 1] : "");
    if (portableEnabled_)
        for (int i = 1; i <= kMax; ++i)
            store.WriteString(kOldRecentSection, FileKey(i),
                              static_cast<size_t>(i) <= portable_.size() ? portable_[i - 1] : "");
    return store.Flush();
}

void RecentFiles::Add(const std::string& path) {
    if (path.empty()) return;
    PutOnTop(entries_, path, kMax);
    if (portableEnabled_) PutOnTop(portable_, path, kMax);
}

void RecentFiles::Remove(size_t index) {
    if (index >= entries_.size()) return;
    std::string path = entries_[index];
    entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(index));
    portable_.erase(std::remove(portable_.begin(), portable_.end(), path), portable_.end());
}

// ---- welcome screen

WelcomeOutcome DecideWelcome(const WelcomeResult& r) {
    WelcomeOutcome out;
    switch (r.button) {
        case WelcomeButton::Tutorial:
            out.command = cmd::kHelpTutorial;
            break;
        case WelcomeButton::OpenFile:
            out.command = cmd::kFileOpen;
            break;
        case WelcomeButton::OpenRecent:
            if (r.recentIndex >= 0 && r.recentIndex < RecentFiles::kMax)
                out.command = cmd::kRecentFileFirst + r.recentIndex;
            break;
        case WelcomeButton::Continue:
            break;
    }
    out.welcome = r.showAtStartup ? 1 : 2;
    return out;
}

// ---- copying for "Copy and Open"

int CopyDataFile(const std::string& from, const std::string& to) {
    int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return ErrnoToCode(errno);
    struct stat src, dst;
    if (::fstat(in, &src) != 0) {
        int e = errno;
        ::close(in);
        return ErrnoToCode(e);
    }
    // Copying a file onto itself would empty it.
    if (::stat(to.c_str(), &dst) == 0 && dst.st_dev == src.st_dev && dst.st_ino == src.st_ino) {
        ::close(in);
        return err::kAccessDenied;
    }
    std::string tmpl = to + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    int out = ::mkstemp(name.data());
    if (out < 0) {
        int e = errno;
        ::close(in);
        return ErrnoToCode(e);
    }
    ::fchmod(out, 0644);
    int error = 0;
    std::vector<char> buf(1 << 16);
    for (;;) {
        ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
            if (w < 0) {
                if (errno == EINTR) continue;
                error = errno;
                break;
            }
            done += w;
        }
        if (error) break;
    }
    ::close(in);
    if (!error && ::fsync(out) != 0) error = errno;
    if (::close(out) != 0 && !error) error = errno;
    if (!error && ::rename(name.data(), to.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(name.data());
        return ErrnoToCode(error);
    }
    return 0;
}

// ---- the application core

AppCore::AppCore(SystemEnv& env, Ui& ui, AppHost& host, Prober probe)
    : env_(env),
      ui_(ui),
      host_(host),
      probe_(std::move(probe)),
      store_(std::make_unique<ProfileStore>()) {}

void AppCore::ReportStoreError(int code, const std::string& path) {
    CQuillError(code, path).ReportError(ui_);
}

std::string AppCore::InDataFolder(const std::string& name) const {
    return JoinPath(dirs_.Folder(FolderType::Data), name);
}

void AppCore::Prepare(const std::vector<std::string>& args) {
    location_ = ChooseSettingsLocation(env_);
    store_ = std::make_unique<ProfileStore>(location_.settingsPath);
    bool readable = store_->Load();
    store_->SetErrorReporter(
        [this](int code, const std::string& path) { ReportStoreError(code, path); });
    dirs_.SetRoot(location_.rootMount);

    if (!location_.portable && !location_.importPath.empty()) {
        // A file that cannot be read ends the import silently.
        if (auto text = env_.ReadTextFile(location_.importPath)) {
            ApplyIniImport(ParseIniImport(*text), *store_, dirs_);
            store_->Flush();
        }
    }

    commandLine_.reset();
    if (auto file = CommandLineFile(args)) {
        std::string full = env_.CanonicalPath(*file);
        commandLine_ = full.empty() ? *file : full;
    }

    settings_.Load(*store_);
    settings_.LoadArticleFont(*store_, DefaultArticleFont());
    recent_.Load(*store_, location_.portable);
    if (location_.portable) dirs_.SetDriveRelative(true);
    dirs_.Load(*store_, DefaultDocumentsFolder(env_));
    frame_ = readable ? LoadFrameValues(*store_) : FrameValues{};

    startupFile_.reset();
    missingStartup_.reset();
    openRecentFirst_ = false;
    welcomeFree_ = false;
    if (commandLine_) return;
    switch (settings_.loadLastFile) {
        case 1:
            if (!recent_.Entries().empty())
                openRecentFirst_ = true;
            else
                welcomeFree_ = true;
            break;
        case 2: {
            std::string name = settings_.lastFileName;
            if (name.empty()) {
                welcomeFree_ = true;
                break;
            }
            if (HasNoFolder(name)) name = InDataFolder(name);
            std::string path = dirs_.Resolve(name);
            if (env_.FileExists(path)) {
                startupFile_ = path;
            } else {
                settings_.SetLoadLastFile(*store_, 0);
                missingStartup_ = path;
                welcomeFree_ = true;
            }
            break;
        }
        default:
            welcomeFree_ = true;
    }
}

void AppCore::Finish() {
    if (welcomeFree_) {
        if (missingStartup_)
            ui_.MessageBox(FormatResource(msg::kStartupFileMissing, *missingStartup_),
                           MessageIcon::Exclamation);
        if (settings_.welcome != 2) {
            WelcomeResult r = host_.ShowWelcome(recent_.Entries(), true);
            if (r.button == WelcomeButton::OpenRecent &&
                (r.recentIndex < 0 ||
                 static_cast<size_t>(r.recentIndex) >= recent_.Entries().size()))
                r.button = WelcomeButton::Continue;  // nothing was chosen in the list
            WelcomeOutcome out = DecideWelcome(r);
            // Written on every close of the screen, changed or not.
            settings_.welcome = out.welcome;
            store_->WriteInt("QUILLBOX", "Welcome", out.welcome);
            store_->Flush();
            if (out.command) host_.PostCommand(out.command);
        }
    }
    if (commandLine_) {
        if (env_.FileExists(*commandLine_))
            OpenDocumentFile(*commandLine_);
        else
            CQuillError(err::kNotFound, *commandLine_).ReportError(ui_);
    }
    if (openRecentFirst_) host_.PostCommand(cmd::kRecentFileFirst);
    if (startupFile_) OpenDocumentFile(*startupFile_);
    host_.SetAlwaysOnTop(AlwaysOnTop(settings_.onTop));
}

bool AppCore::OpenDataFile(const std::string& requested, bool allowNewer) {
    std::string path = requested;
    // Each pass either ends or sets allow-newer, so two passes suffice.
    for (int pass = 0; pass < 3; ++pass) {
        path = dirs_.Resolve(path);
        // The new file is looked at before the open one is closed, so that a
        // file that cannot be opened leaves the current document open.
        int kind;
        try {
            kind = probe_(path);
        } catch (const CQuillError& e) {
            e.ReportError(ui_);
            return false;
        }
        if (kind == 4) {
            CQuillError(err::kNotValid, path).ReportError(ui_);
            return false;
        }
        if (kind == 3) {
            host_.ShowTooNewFormat(path);
            return false;
        }
        if (kind == 2 && !allowNewer) {
            switch (host_.AskNewerFormat(path)) {
                case NewerFormatChoice::OpenAnyway:
                case NewerFormatChoice::OpenReadOnly:
                    allowNewer = true;
                    break;
                case NewerFormatChoice::CopyAndOpen: {
                    std::optional<std::string> copy = host_.AskCopyName(path);
                    if (!copy) return false;
                    if (int code = CopyDataFile(path, *copy); code != 0) {
                        CQuillError(code, *copy).ReportError(ui_);
                        return false;
                    }
                    path = *copy;
                    allowNewer = true;
                    break;
                }
                case NewerFormatChoice::Cancel:
                    return false;
            }
            continue;  // start again with the new path and flag
        }
        if (!host_.CanCloseAllDocuments()) {
            if (ui_.MessageBox(ResourceString(msg::kCannotClose), MessageIcon::Exclamation,
                               MessageButtons::YesNo) != MessageResult::Yes)
                return false;
        }
        host_.CloseAllDocuments();
        if (!host_.OpenDocument(path, allowNewer)) return false;
        lastFolder_ = DirectoryOf(path);
        recent_.Add(path);
        recent_.Save(*store_);
        return true;
    }
    return false;
}

void AppCore::OnFileOpen() {
    std::optional<std::string> file =
        host_.AskOpenFileName(lastFolder_.empty() ? dirs_.Folder(FolderType::Data) : lastFolder_,
                              ResourceString(msg::kFileOpenFilter));
    if (!file) return;
    dirs_.SetFolder(FolderType::Data, DirectoryOf(*file));
    dirs_.Save(*store_);
    OpenDataFile(*file, false);
}

bool AppCore::OnRecentFile(size_t index) {
    if (index >= recent_.Entries().size()) return false;
    std::string name = recent_.Entries()[index];
    if (HasNoFolder(name)) name = InDataFolder(name);
    if (OpenDocumentFile(name)) return true;
    if (!env_.FileExists(dirs_.Resolve(name))) {
        recent_.Remove(index);
        recent_.Save(*store_);
    }
    return false;
}

bool AppCore::OnCommand(int command) {
    if (command == cmd::kFileOpen) {
        OnFileOpen();
        return true;
    }
    if (command >= cmd::kRecentFileFirst && command <= cmd::kRecentFileLast) {
        OnRecentFile(static_cast<size_t>(command - cmd::kRecentFileFirst));
        return true;
    }
    return command == cmd::kFileNew;  // New does nothing in the reader
}

bool AppCore::ApplyPreferences() {
    Store().WriteInt("QUILLBOX", "Welcome", settings_.welcome);
    Store().WriteInt("QUILLBOX", "OnTop", settings_.onTop);
    Store().WriteInt("Quillbox", "ToolbarButtonSize", settings_.toolbarButtonSize);
    Store().WriteInt("Quillbox", "LoadLastFile", settings_.loadLastFile);
    Store().WriteString("Quillbox", "LastFileName", settings_.lastFileName);
    bool ok = settings_.Save(*store_);
    ok = dirs_.Save(*store_) && ok;
    ok = settings_.SaveArticleFont(*store_) && ok;
    host_.SetAlwaysOnTop(AlwaysOnTop(settings_.onTop));
    return ok;
}

}  // namespace qb

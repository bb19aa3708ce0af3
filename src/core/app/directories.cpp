#include "app/directories.h"

#include "app/profile_store.h"
#include "app/system_env.h"

namespace qb {

namespace {
constexpr const char* kSection = "Directories";
constexpr const char* kKeys[kFolderTypeCount] = {"Quillbox Data", "Import/Export", "Attachments",
                                                 "Custom Import Formats"};

std::string Slashes(std::string s) {
    for (char& c : s)
        if (c == '\\') c = '/';
    return s;
}

std::string JoinRoot(const std::string& root, const std::string& rest) {
    std::string r = root;
    while (r.size() > 1 && r.back() == '/')
        r.pop_back();
    if (rest.empty()) return r;
    if (r == "/") return rest[0] == '/' ? rest : "/" + rest;
    return rest[0] == '/' ? r + rest : r + "/" + rest;
}
}  // namespace

const char* FolderKey(FolderType type) {
    return kKeys[static_cast<int>(type)];
}

void Directories::SetRoot(std::string mountPoint) {
    root_ = mountPoint.empty() ? "/" : std::move(mountPoint);
}

void Directories::Load(const ProfileStore& store, const std::string& defaultFolder) {
    for (int i = 0; i < kFolderTypeCount; ++i) {
        Entry& e = entries_[i];
        if (e.imported) continue;
        std::string text = store.GetString(kSection, kKeys[i], "");
        if (text.empty() || text.size() >= kMaxStoredLength) text = defaultFolder;
        e.stored = text;
        e.changed = false;
    }
}

bool Directories::Save(ProfileStore& store) {
    bool any = false;
    for (int i = 0; i < kFolderTypeCount; ++i) {
        if (!entries_[i].changed || entries_[i].imported) continue;
        store.WriteString(kSection, kKeys[i], entries_[i].stored);
        any = true;
    }
    if (!any) return true;
    if (!store.Flush()) return false;
    for (Entry& e : entries_)
        e.changed = false;
    return true;
}

std::string Directories::Folder(FolderType type) const {
    return Resolve(entries_[static_cast<int>(type)].stored);
}

const std::string& Directories::StoredText(FolderType type) const {
    return entries_[static_cast<int>(type)].stored;
}

void Directories::SetFolder(FolderType type, const std::string& path, bool driveRelative) {
    Entry& e = entries_[static_cast<int>(type)];
    std::string stored = ToStored(path, driveRelative);
    if (stored == e.stored && !e.imported) return;
    e.stored = stored;
    e.changed = true;
    e.imported = false;  // chosen by the user now: saved like any other
}

void Directories::SetImported(FolderType type, const std::string& text) {
    Entry& e = entries_[static_cast<int>(type)];
    e.stored = text;
    e.imported = true;
    e.changed = false;
}

bool Directories::IsImported(FolderType type) const {
    return entries_[static_cast<int>(type)].imported;
}

bool Directories::Changed() const {
    for (const Entry& e : entries_)
        if (e.changed) return true;
    return false;
}

void Directories::ReRootAll() {
    for (Entry& e : entries_) {
        std::string& s = e.stored;
        if (s.empty()) {
            s = root_;
        } else if (s.size() >= 2 && s[1] == ':' &&
                   ((s[0] >= 'A' && s[0] <= 'Z') || (s[0] >= 'a' && s[0] <= 'z') || s[0] == '.')) {
            // A drive-letter form moves onto the program's volume.
            s = JoinRoot(root_, Slashes(s.substr(2)));
        } else if (s[0] == '/' && !PathIsUnder(s, root_)) {
            s = JoinRoot(root_, s);
        }
        // Re-rooted folders count as imported: kept, not read again.
        e.imported = true;
        e.changed = false;
    }
}

std::string Directories::Resolve(const std::string& stored) const {
    if (stored.size() >= 2 && stored[0] == '.' && stored[1] == ':')
        return JoinRoot(root_, Slashes(stored.substr(2)));
    return stored;
}

std::string Directories::ToStored(const std::string& path, bool forceRelative) const {
    if (!(driveRelative_ || forceRelative) || path.empty() || path[0] != '/') return path;
    if (!PathIsUnder(path, root_)) return path;
    std::string r = root_;
    while (r.size() > 1 && r.back() == '/')
        r.pop_back();
    std::string rest = r == "/" ? path : path.substr(r.size());
    return ".:" + (rest.empty() ? std::string("/") : rest);
}

std::string ConfigHome(SystemEnv& env) {
    auto xdg = env.GetEnv("XDG_CONFIG_HOME");
    if (xdg && !xdg->empty() && (*xdg)[0] == '/') return *xdg;
    return JoinPath(env.HomeDirectory(), ".config");
}

std::string DefaultDocumentsFolder(SystemEnv& env) {
    std::string home = env.HomeDirectory();
    if (auto text = env.ReadTextFile(JoinPath(ConfigHome(env), "user-dirs.dirs")))
        if (auto docs = DocumentsDirFromUserDirs(*text, home)) return *docs;
    std::string docs = JoinPath(home, "Documents");
    if (env.DirectoryExists(docs)) return docs;
    return home;
}

}  // namespace qb

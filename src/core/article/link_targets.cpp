#include "article/link_targets.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace qb {
namespace {

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

char Lower(char c) {
    return char(std::tolower(static_cast<unsigned char>(c)));
}

bool SameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

const std::string* FindDrive(const DriveMap& drives, const std::string& key) {
    for (const auto& [k, v] : drives)
        if (SameNoCase(k, key)) return &v;
    return nullptr;
}

// The folder's entry equal to `name` but for case, read boundedly.
std::optional<std::string> FindEntryNoCase(const std::string& folder, const std::string& name) {
    DIR* d = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!d) return std::nullopt;
    std::optional<std::string> found;
    size_t read = 0;
    while (dirent* e = ::readdir(d)) {
        if (++read > kMaxFolderEntries) break;
        if (SameNoCase(e->d_name, name)) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

std::string JoinLinux(std::string folder, const std::string& rest) {
    while (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    size_t skip = rest.find_first_not_of('/');
    return folder + "/" + (skip == std::string::npos ? std::string() : rest.substr(skip));
}

}  // namespace

std::string ResolveWindowsPath(const std::string& stored, const std::string& base, char drive) {
    bool hasBackslash = stored.find('\\') != std::string::npos;
    bool absolute = hasBackslash && ((stored.size() >= 3 && stored.compare(1, 2, ":\\") == 0) ||
                                     StartsWith(stored, "\\\\"));
    if (absolute) {
        if (StartsWith(stored, ".:")) return std::string(1, drive) + stored.substr(1);
        return stored;
    }
    bool baseEndsInBackslash = !base.empty() && base.back() == '\\';
    if (StartsWith(stored, ".\\"))
        return base + (baseEndsInBackslash ? "" : "\\") + stored.substr(2);
    bool joined = baseEndsInBackslash || StartsWith(stored, "\\");
    return base + (joined ? "" : "\\") + stored;
}

LinuxPath MapToLinux(const std::string& windowsPath, const DriveMap& drives, char drive) {
    LinuxPath out;
    std::string root, rest;
    if (StartsWith(windowsPath, "/")) {
        // Already a Linux path: the base was the data file's own folder.
        root = "/";
        rest = windowsPath.substr(1);
    } else {
        std::string key;
        if (StartsWith(windowsPath, "\\\\")) {
            // \\server\share: the share is the key.
            size_t server = windowsPath.find('\\', 2);
            size_t share =
                server == std::string::npos ? server : windowsPath.find('\\', server + 1);
            key = windowsPath.substr(0, share);
            rest = share == std::string::npos ? std::string() : windowsPath.substr(share + 1);
        } else if (windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                   std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
            key = windowsPath.substr(0, 2);
            rest = windowsPath.substr(2);
        } else {
            // Rooted at the current drive, or relative to an empty base: the
            // program's drive.
            key = std::string(1, drive) + ":";
            rest = windowsPath;
        }
        const std::string* folder = FindDrive(drives, key);
        if (!folder || folder->empty()) {
            out.missingKey = key;
            return out;
        }
        root = *folder;
    }
    std::replace(rest.begin(), rest.end(), '\\', '/');
    out.path = MatchCaseBlind(JoinLinux(root, rest));
    return out;
}

std::string MatchCaseBlind(const std::string& linuxPath) {
    if (linuxPath.empty() || linuxPath[0] != '/' || Exists(linuxPath)) return linuxPath;
    // Walk the components left to right; the path's length bounds the work.
    std::string done;
    size_t pos = 0;
    while (pos < linuxPath.size()) {
        size_t next = linuxPath.find('/', pos);
        if (next == std::string::npos) next = linuxPath.size();
        std::string name = linuxPath.substr(pos, next - pos);
        pos = next + 1;
        if (name.empty()) continue;
        std::string candidate = done + "/" + name;
        if (!Exists(candidate) && name != "." && name != "..") {
            std::optional<std::string> match = FindEntryNoCase(done, name);
            if (!match) return candidate + (next < linuxPath.size() ? linuxPath.substr(next) : "");
            candidate = done + "/" + *match;
        }
        done = candidate;
    }
    if (!linuxPath.empty() && linuxPath.back() == '/') done += "/";
    return done.empty() ? linuxPath : done;
}

ResolvedTarget ResolveStoredTarget(const std::string& stored, const std::string& base, char drive,
                                   const DriveMap& drives) {
    ResolvedTarget r;
    r.windows = ResolveWindowsPath(stored, base, drive);
    LinuxPath l = MapToLinux(r.windows, drives, drive);
    r.linux = l.path;
    r.missingKey = l.missingKey;
    return r;
}

}  // namespace qb

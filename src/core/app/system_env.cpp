#include "app/system_env.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace qb {

namespace {

// Mount points in mountinfo escape space, tab, newline and backslash as
// three octal digits.
std::string UnescapeMountField(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size()) {
            const char* d = s.c_str() + i + 1;
            if (d[0] >= '0' && d[0] <= '3' && d[1] >= '0' && d[1] <= '7' && d[2] >= '0' &&
                d[2] <= '7') {
                out += static_cast<char>((d[0] - '0') * 64 + (d[1] - '0') * 8 + (d[2] - '0'));
                i += 3;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string s;
    if (in) std::getline(in, s);
    return s;
}

}  // namespace

std::string FormatVolumeSerial(uint32_t serial) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04x-%04x", serial >> 16, serial & 0xFFFF);
    return buf;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReplaceExtension(const std::string& path, const std::string& ext) {
    size_t slash = path.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = path.rfind('.');
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string::npos || dot <= nameStart) return path + ext;
    return path.substr(0, dot) + ext;
}

bool PathIsUnder(const std::string& path, const std::string& dir) {
    if (dir.empty()) return false;
    std::string d = dir;
    while (d.size() > 1 && d.back() == '/')
        d.pop_back();
    if (d == "/") return !path.empty() && path[0] == '/';
    if (path.compare(0, d.size(), d) != 0) return false;
    return path.size() == d.size() || path[d.size()] == '/';
}

std::string MountPointFromMountInfo(const std::string& mountinfo, const std::string& path) {
    std::string best = "/";
    std::istringstream in(mountinfo);
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mount-point options ...
        std::istringstream fields(line);
        std::string id, parent, dev, root, mount;
        if (!(fields >> id >> parent >> dev >> root >> mount)) continue;
        mount = UnescapeMountField(mount);
        if (PathIsUnder(path, mount) && mount.size() >= best.size()) best = mount;
    }
    return best;
}

bool IsRemovableBlockDevice(const std::string& sysRoot, unsigned major, unsigned minor) {
    std::string dev = sysRoot + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    char* real = ::realpath(dev.c_str(), nullptr);
    if (!real) return false;
    std::string dir = real;
    std::free(real);
    struct stat st;
    // A partition's own folder has a "partition" file; its disk is the parent.
    if (::stat((dir + "/partition").c_str(), &st) == 0) dir = DirectoryOf(dir);
    return ReadSmallFile(dir + "/removable") == "1";
}

std::optional<std::string> DocumentsDirFromUserDirs(const std::string& text,
                                                    const std::string& home) {
    std::istringstream in(text);
    std::string line;
    std::optional<std::string> found;
    while (std::getline(in, line)) {
        size_t b = line.find_first_not_of(" \t");
        if (b == std::string::npos || line[b] == '#') continue;
        const std::string key = "XDG_DOCUMENTS_DIR=";
        if (line.compare(b, key.size(), key) != 0) continue;
        std::string v = line.substr(b + key.size());
        while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r'))
            v.pop_back();
        if (v.size() < 2 || v.front() != '"' || v.back() != '"') continue;
        v = v.substr(1, v.size() - 2);
        std::string out;
        for (size_t i = 0; i < v.size(); ++i) {
            if (v[i] == '\\' && i + 1 < v.size()) {
                out += v[++i];
                continue;
            }
            out += v[i];
        }
        if (out.rfind("$HOME", 0) == 0)
            out = home + out.substr(5);
        else if (out.empty() || out[0] != '/')
            continue;  // only absolute or $HOME-relative paths are allowed
        while (out.size() > 1 && out.back() == '/')
            out.pop_back();
        found = out;
    }
    return found;
}

LinuxSystemEnv::LinuxSystemEnv(std::string procRoot, std::string sysRoot)
    : procRoot_(std::move(procRoot)), sysRoot_(std::move(sysRoot)) {}

std::string LinuxSystemEnv::ProgramPath() {
    std::vector<char> buf(PATH_MAX + 1);
    ssize_t n = ::readlink((procRoot_ + "/self/exe").c_str(), buf.data(), PATH_MAX);
    if (n <= 0) return "";
    return std::string(buf.data(), static_cast<size_t>(n));
}

bool LinuxSystemEnv::IsOnRemovableDrive(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    return IsRemovableBlockDevice(sysRoot_, major(st.st_dev), minor(st.st_dev));
}

std::optional<uint32_t> LinuxSystemEnv::VolumeSerial(const std::string& path) {
    struct statvfs vfs;
    if (::statvfs(path.c_str(), &vfs) != 0) return std::nullopt;
    return static_cast<uint32_t>(vfs.f_fsid & 0xFFFFFFFFu);
}

std::string LinuxSystemEnv::MountPointOf(const std::string& path) {
    std::string canonical = CanonicalPath(path);
    if (canonical.empty()) canonical = path;
    if (auto info = ReadTextFile(procRoot_ + "/self/mountinfo"))
        return MountPointFromMountInfo(*info, canonical);
    // Without mountinfo: walk up until the device changes.
    struct stat st;
    if (::stat(canonical.c_str(), &st) != 0) return "/";
    std::string dir = canonical;
    while (dir != "/") {
        std::string up = DirectoryOf(dir);
        struct stat ust;
        if (up.empty() || ::stat(up.c_str(), &ust) != 0 || ust.st_dev != st.st_dev) break;
        dir = up;
    }
    return dir;
}

std::optional<std::string> LinuxSystemEnv::GetEnv(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    if (!v) return std::nullopt;
    return std::string(v);
}

bool LinuxSystemEnv::FileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool LinuxSystemEnv::DirectoryExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::string> LinuxSystemEnv::ReadTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return s.str();
}

std::string LinuxSystemEnv::CanonicalPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return "";
    std::string s = real;
    std::free(real);
    return s;
}

std::string LinuxSystemEnv::CurrentDirectory() {
    std::vector<char> buf(PATH_MAX + 1);
    if (!::getcwd(buf.data(), buf.size())) return "/";
    return buf.data();
}

std::string LinuxSystemEnv::HomeDirectory() {
    if (auto h = GetEnv("HOME"); h && !h->empty()) return *h;
    return "/";
}

}  // namespace qb

#include "app/profile_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "datafile/quill_error.h"
#include "platform/file_io.h"

namespace qb {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// Values that would not survive the line form are written in double quotes
// with \\, \", \n and \r escapes.
bool NeedsQuotes(const std::string& v) {
    if (v.empty()) return false;
    if (IsBlank(v.front()) || IsBlank(v.back()) || v.front() == '"') return true;
    return v.find_first_of("\r\n") != std::string::npos;
}

std::string EncodeValue(const std::string& v) {
    if (!NeedsQuotes(v)) return v;
    std::string out = "\"";
    for (char c : v) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

std::string DecodeValue(const std::string& v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return v;
    std::string out;
    for (size_t i = 1; i + 1 < v.size(); ++i) {
        char c = v[i];
        if (c == '\\' && i + 2 < v.size()) {
            char n = v[i + 1];
            if (n == '\\' || n == '"') {
                out += n;
                ++i;
                continue;
            }
            if (n == 'n' || n == 'r') {
                out += n == 'n' ? '\n' : '\r';
                ++i;
                continue;
            }
        }
        out += c;  // other backslashes are literal (Windows-style paths)
    }
    return out;
}

bool KeyIsStorable(const std::string& key) {
    if (key.empty() || key != Trim(key)) return false;
    if (key.front() == '[' || key.front() == ';' || key.front() == '#') return false;
    return key.find_first_of("=\r\n") == std::string::npos;
}

bool SectionIsStorable(const std::string& s) {
    return !s.empty() && s == Trim(s) && s.find_first_of("[]\r\n") == std::string::npos;
}

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

int32_t ParseProfileInt(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && Lower(text[i + 1]) == 'x') {
        base = 16;
        i += 2;
    }
    uint64_t value = 0;
    const uint64_t cap = 0x1FFFFFFFFull;  // anything above 32 bits saturates
    for (; i < text.size(); ++i) {
        char c = Lower(text[i]);
        unsigned d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            break;
        value = value * base + d;
        if (value > cap) value = cap;
    }
    if (negative) return value >= 0x80000000ull ? INT32_MIN : -static_cast<int32_t>(value);
    if (value > 0xFFFFFFFFull) return INT32_MAX;
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

bool IsCanonicalInt(const std::string& text) {
    if (text.empty() || text.size() > 11) return false;
    char* end = nullptr;
    errno = 0;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return false;
    return std::to_string(v) == text;
}

ProfileStore::ProfileStore(std::string path) : path_(std::move(path)) {}

bool ProfileStore::Load() {
    sections_.clear();
    if (path_.empty()) return true;
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        struct stat st;
        return ::stat(path_.c_str(), &st) != 0 && errno == ENOENT;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    Parse(text.str());
    return true;
}

void ProfileStore::Parse(const std::string& text) {
    sections_.clear();
    sections_.push_back(Section{});  // lines before the first header
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string raw = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        // Every CR before the LF belongs to the line end (a file passed
        // through a CR LF conversion twice ends its lines in CR CR LF).
        while (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        std::string t = Trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            sections_.push_back(Section{Trim(t.substr(1, t.size() - 2)), raw, {}});
            continue;
        }
        Line line;
        line.raw = raw;
        size_t eq = t.find('=');
        if (!t.empty() && t[0] != ';' && t[0] != '#' && eq != std::string::npos) {
            line.key = Trim(t.substr(0, eq));
            line.value = DecodeValue(Trim(t.substr(eq + 1)));
            line.isInt = IsCanonicalInt(line.value);
        }
        sections_.back().lines.push_back(std::move(line));
    }
}

const ProfileStore::Line* ProfileStore::Find(const std::string& section,
                                             const std::string& key) const {
    for (const Section& s : sections_) {
        if (s.rawHeader.empty() || !EqualsNoCase(s.name, section)) continue;
        for (const Line& l : s.lines)
            if (!l.key.empty() && EqualsNoCase(l.key, key)) return &l;
    }
    return nullptr;
}

bool ProfileStore::HasKey(const std::string& section, const std::string& key) const {
    return Find(section, key) != nullptr;
}

std::vector<std::pair<std::string, std::string>> ProfileStore::SectionEntries(
    const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Section& s : sections_) {
        if (s.rawHeader.empty() || !EqualsNoCase(s.name, section)) continue;
        for (const Line& l : s.lines) {
            if (l.key.empty()) continue;
            bool seen = false;
            for (const auto& e : out)
                seen = seen || EqualsNoCase(e.first, l.key);
            if (!seen) out.emplace_back(l.key, l.value);
        }
    }
    return out;
}

bool ProfileStore::HasSection(const std::string& section) const {
    for (const Section& s : sections_)
        if (!s.rawHeader.empty() && EqualsNoCase(s.name, section)) return true;
    return false;
}

int32_t ProfileStore::GetInt(const std::string& section, const std::string& key,
                             int32_t def) const {
    const Line* l = Find(section, key);
    return l ? ParseProfileInt(l->value) : def;
}

std::string ProfileStore::GetString(const std::string& section, const std::string& key,
                                    const std::string& def) const {
    const Line* l = Find(section, key);
    return l ? l->value : def;
}

bool ProfileStore::IsIntegerValue(const std::string& section, const std::string& key) const {
    const Line* l = Find(section, key);
    return l && l->isInt;
}

bool ProfileStore::Erase(const std::string& section, const std::string& key) {
    bool found = false;
    for (Section& s : sections_) {
        if (s.rawHeader.empty() || !EqualsNoCase(s.name, section)) continue;
        auto gone = std::remove_if(s.lines.begin(), s.lines.end(), [&](const Line& l) {
            return !l.key.empty() && EqualsNoCase(l.key, key);
        });
        found = found || gone != s.lines.end();
        s.lines.erase(gone, s.lines.end());
    }
    return found;
}

void ProfileStore::Apply(const Pending& p) {
    if (p.erase) {
        Erase(p.section, p.key);
        return;
    }
    for (Section& s : sections_) {
        if (s.rawHeader.empty() || !EqualsNoCase(s.name, p.section)) continue;
        for (Line& l : s.lines) {
            if (!l.key.empty() && EqualsNoCase(l.key, p.key)) {
                if (l.value != p.value) l.raw.clear();  // unchanged lines keep their form
                l.value = p.value;
                l.isInt = p.isInt;
                return;
            }
        }
    }
    Line line;
    line.key = p.key;
    line.value = p.value;
    line.isInt = p.isInt;
    for (Section& s : sections_) {
        if (s.rawHeader.empty() || !EqualsNoCase(s.name, p.section)) continue;
        // After the section's last key, so that blank lines stay between sections.
        size_t at = 0;
        for (size_t i = 0; i < s.lines.size(); ++i)
            if (!s.lines[i].key.empty() || !Trim(s.lines[i].raw).empty()) at = i + 1;
        s.lines.insert(s.lines.begin() + at, std::move(line));
        return;
    }
    if (sections_.empty()) sections_.push_back(Section{});
    Section& last = sections_.back();
    if (!last.lines.empty() || !last.rawHeader.empty()) {
        if (last.lines.empty() || !Trim(last.lines.back().raw).empty() ||
            !last.lines.back().key.empty())
            last.lines.push_back(Line{});
    }
    sections_.push_back(Section{p.section, "[" + p.section + "]", {std::move(line)}});
}

bool ProfileStore::WriteInt(const std::string& section, const std::string& key, int32_t value) {
    if (!SectionIsStorable(section) || !KeyIsStorable(key)) return false;
    Pending p{section, key, std::to_string(value), true};
    Apply(p);
    pending_.push_back(std::move(p));
    return true;
}

bool ProfileStore::WriteString(const std::string& section, const std::string& key,
                               const std::string& value) {
    if (!SectionIsStorable(section) || !KeyIsStorable(key)) return false;
    Pending p{section, key, value, false};
    Apply(p);
    pending_.push_back(std::move(p));
    return true;
}

bool ProfileStore::DeleteKey(const std::string& section, const std::string& key) {
    if (section.empty() || key.empty()) return false;
    bool found = Erase(section, key);
    pending_.push_back(Pending{section, key, "", false, true});
    return found;
}

std::string ProfileStore::Serialize() const {
    std::string out;
    for (const Section& s : sections_) {
        if (!s.rawHeader.empty()) out += s.rawHeader + "\n";
        for (const Line& l : s.lines) {
            if (l.key.empty() || !l.raw.empty())
                out += l.raw;
            else
                out += l.key + "=" + EncodeValue(l.value);
            out += "\n";
        }
    }
    return out;
}

namespace {

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates the missing folders above the settings file (the configuration
// folder may not exist on a first run).
int MakeParents(const std::string& dir) {
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    for (size_t pos = 1; pos <= dir.size(); ++pos) {
        if (pos < dir.size() && dir[pos] != '/') continue;
        std::string part = dir.substr(0, pos);
        if (::stat(part.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return ENOTDIR;
            continue;
        }
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

}  // namespace

bool ProfileStore::WriteFile(const std::string& text, int& code) {
    // Write through a symbolic link to the file it names.
    std::string target = path_;
    if (char* real = ::realpath(path_.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    std::string dir = ParentOf(target);
    if (int e = MakeParents(dir); e != 0) {
        code = ErrnoToCode(e);
        return false;
    }
    std::string tmp = target + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        code = ErrnoToCode(errno);
        return false;
    }
    struct stat old;
    if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

    int error = 0;
    size_t limit = failAfter_ ? std::min(*failAfter_, text.size()) : text.size();
    error = WriteAll(fd, text.data(), limit);
    if (error == 0 && failAfter_) error = ENOSPC;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(name.data(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(name.data());
        code = ErrnoToCode(error);
        return false;
    }
    // Make the rename itself durable.
    int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool ProfileStore::Flush() {
    if (pending_.empty()) return true;
    if (path_.empty()) {
        pending_.clear();
        return true;
    }
    // Start from the file as it is now; fall back to what we hold when it
    // cannot be read, so that our own keys are never lost.
    std::vector<Section> current = sections_;
    ProfileStore fresh(path_);
    if (fresh.Load()) sections_ = std::move(fresh.sections_);
    for (const Pending& p : pending_)
        Apply(p);
    int code = 0;
    if (!WriteFile(Serialize(), code)) {
        sections_ = std::move(current);
        if (reporter_) reporter_(code, path_);
        return false;
    }
    pending_.clear();
    return true;
}

}  // namespace qb

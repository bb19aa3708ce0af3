#include "app/settings_location.h"

#include "app/directories.h"
#include "app/profile_store.h"
#include "app/system_env.h"

namespace qb {

namespace {

std::string Trim(const std::string& s) {
    const char* ws = " \t\r\n\v\f";
    size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(ws);
    return s.substr(b, e - b + 1);
}

// The .ini beside the program: the portable file name, or the same name
// with the extension in capitals as older installations wrote it.
std::string FindIniBesideProgram(SystemEnv& env, const std::string& programPath) {
    std::string lower = PortableSettingsPath(programPath);
    if (env.FileExists(lower)) return lower;
    std::string upper = ReplaceExtension(programPath, ".INI");
    if (env.FileExists(upper)) return upper;
    return "";
}

}  // namespace

std::string NormalSettingsPath(SystemEnv& env) {
    return JoinPath(JoinPath(ConfigHome(env), "Tarnwick Software"), "Quillbox Reader.ini");
}

std::string PortableSettingsPath(const std::string& programPath) {
    return ReplaceExtension(programPath, ".ini");
}

bool PortableMarkerMatches(SystemEnv& env, const std::string& programPath) {
    std::string ini = PortableSettingsPath(programPath);
    if (!env.FileExists(ini)) return false;
    auto serial = env.VolumeSerial(ini);
    if (!serial) return false;
    auto text = env.ReadTextFile(ini);
    if (!text) return false;
    ProfileStore parsed;  // memory only: the marker file is just read
    parsed.LoadText(*text);
    std::string value = parsed.GetString("Quillbox", "Portable", "");
    return !value.empty() && EqualsNoCase(Trim(value), FormatVolumeSerial(*serial));
}

SettingsLocation ChooseSettingsLocation(SystemEnv& env) {
    SettingsLocation loc;
    loc.programPath = env.ProgramPath();
    loc.programFolder = DirectoryOf(loc.programPath);
    loc.rootMount = loc.programPath.empty() ? "/" : env.MountPointOf(loc.programPath);
    bool removable = !loc.programPath.empty() && env.IsOnRemovableDrive(loc.programPath);
    if (!loc.programPath.empty() && (removable || PortableMarkerMatches(env, loc.programPath))) {
        loc.portable = true;
        loc.settingsPath = PortableSettingsPath(loc.programPath);
        return loc;
    }
    loc.settingsPath = NormalSettingsPath(env);
    if (!loc.programPath.empty()) loc.importPath = FindIniBesideProgram(env, loc.programPath);
    return loc;
}

IniImport ParseIniImport(const std::string& text) {
    IniImport out;
    std::string section;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        std::string line =
            Trim(text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos));
        pos = nl == std::string::npos ? text.size() : nl + 1;
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        IniImportEntry e;
        e.section = section;
        e.key = line.substr(0, eq);
        e.text = line.substr(eq + 1);
        // UseRoot=0 asks for nothing; any other integer turns it on.
        if (EqualsNoCase(e.key, "UseRoot") && EqualsNoCase(section, "QUILLBOX") &&
            ParseProfileInt(e.text) != 0)
            out.rootRelative = true;
        if (IsCanonicalInt(e.text)) {
            e.kind = IniImportEntry::Kind::Integer;
            e.value = ParseProfileInt(e.text);
        } else if (out.rootRelative && EqualsNoCase(section, "Directories")) {
            e.kind = IniImportEntry::Kind::Directory;
        } else {
            e.kind = IniImportEntry::Kind::Text;
        }
        out.entries.push_back(std::move(e));
    }
    return out;
}

void ApplyIniImport(const IniImport& import, ProfileStore& store, Directories& dirs) {
    for (const IniImportEntry& e : import.entries) {
        switch (e.kind) {
            case IniImportEntry::Kind::Integer:
                store.WriteInt(e.section, e.key, e.value);
                break;
            case IniImportEntry::Kind::Text:
                store.WriteString(e.section, e.key, e.text);
                break;
            case IniImportEntry::Kind::Directory:
                for (int t = 0; t < kFolderTypeCount; ++t)
                    if (EqualsNoCase(e.key, FolderKey(static_cast<FolderType>(t))))
                        dirs.SetImported(static_cast<FolderType>(t), e.text);
                break;
        }
    }
    store.WriteInt("Quillbox", "UseIni", 0);
    if (import.rootRelative) dirs.ReRootAll();
}

}  // namespace qb

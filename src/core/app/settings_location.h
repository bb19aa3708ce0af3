// Where the settings live (a per-user INI file, or a file beside the
// program in portable mode) and the start-up import of an .ini file found
// beside the program.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qb {

class Directories;
class ProfileStore;
class SystemEnv;

struct SettingsLocation {
    bool portable = false;
    std::string settingsPath;  // the INI file all settings use
    std::string importPath;    // normal mode: the .ini beside the program, if there is one
    std::string programPath;
    std::string programFolder;
    std::string rootMount;  // mount point holding the program (the ".:" root)
};

// $XDG_CONFIG_HOME/Tarnwick Software/Quillbox Reader.ini (default ~/.config).
std::string NormalSettingsPath(SystemEnv& env);
// The program's path with ".ini" in place of its extension.
std::string PortableSettingsPath(const std::string& programPath);

// The marker matches when the "Portable" value of section "Quillbox" in the
// file beside the program equals the volume serial formatted "%04x-%04x"
// (case ignored).
bool PortableMarkerMatches(SystemEnv& env, const std::string& programPath);

SettingsLocation ChooseSettingsLocation(SystemEnv& env);

// One line of the .ini import, already typed.
struct IniImportEntry {
    enum class Kind { Integer, Text, Directory };
    Kind kind = Kind::Text;
    std::string section;
    std::string key;
    std::string text;   // the value as written
    int32_t value = 0;  // Integer only
};

struct IniImport {
    std::vector<IniImportEntry> entries;
    bool rootRelative = false;  // "UseRoot" in section "QUILLBOX"
};

// Types the lines of an .ini file: a value that is exactly the decimal form
// of its integer becomes an integer; after UseRoot, a "Directories" value
// names a folder type; anything else is text.
IniImport ParseIniImport(const std::string& text);

// Writes the entries into the store (and folders into `dirs`), then
// "UseIni" = 0 and, when asked for, re-roots the folders on the program's
// volume. Does not save the store.
void ApplyIniImport(const IniImport& import, ProfileStore& store, Directories& dirs);

}  // namespace qb

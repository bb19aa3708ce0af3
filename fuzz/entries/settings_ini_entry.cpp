// The settings target: the input is a settings file. It is read into the
// store and the settings; what the store writes out must read back to the
// same text, and a key written must read back as written.
#include <string>

#include "app/profile_store.h"
#include "app/settings.h"
#include "fuzz_entries.h"

namespace qbfuzz {

int FuzzSettingsIni(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    qb::ProfileStore store;
    store.LoadText(text);
    qb::Settings settings;
    settings.Load(store);
    (void)settings.FolderBrowser();
    for (const char* section : {"Quillbox", "QuillBox", "Drives", "Recent File List"})
        for (const auto& [key, value] : store.SectionEntries(section))
            (void)store.GetInt(section, key, 0);

    std::string first = store.Serialize();
    qb::ProfileStore again;
    again.LoadText(first);
    if (again.Serialize() != first) PropertyFailed("the settings text changed when read again");

    // A write lands whatever the file held before.
    const std::string value = text.substr(0, 16);
    bool plainValue = value.find_first_of("\r\n") == std::string::npos;
    if (plainValue && store.WriteString("Quillbox", "FuzzKey", value) &&
        store.GetString("Quillbox", "FuzzKey", "?") != value)
        PropertyFailed("a written value read back otherwise");
    return 0;
}

}  // namespace qbfuzz

#include "app/drive_settings.h"

#include <cctype>

#include "app/profile_store.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

std::string TrimBlanks(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A server or share name: not empty, no separator, nothing the file form
// or a path would misread.
bool IsSharePart(const std::string& part) {
    if (part.empty() || part != TrimBlanks(part)) return false;
    for (char c : part)
        if (c == '\\' || c == '/' || c == '=' || static_cast<unsigned char>(c) < 0x20) return false;
    return true;
}

}  // namespace

std::optional<std::string> NormalizeDriveKey(const std::string& typed) {
    std::string key = TrimBlanks(typed);
    if (key.size() == 2 && key[1] == ':' && std::isalpha(static_cast<unsigned char>(key[0]))) {
        key[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
        return key;
    }
    if (key.rfind("\\\\", 0) != 0) return std::nullopt;
    if (key.size() > 3 && key.back() == '\\') key.pop_back();
    size_t split = key.find('\\', 2);
    if (split == std::string::npos) return std::nullopt;
    if (!IsSharePart(key.substr(2, split - 2)) || !IsSharePart(key.substr(split + 1)))
        return std::nullopt;
    return key;
}

DriveRowsCheck CheckDriveRows(const DriveEntries& rows) {
    DriveRowsCheck out;
    auto fail = [&](size_t row, bool inFolder, int id, const std::string& arg) {
        out.entries.clear();
        out.problem = DriveRowProblem{row, inFolder, FormatResource(id, arg)};
        return out;
    };
    for (size_t row = 0; row < rows.size(); ++row) {
        std::string typedKey = TrimBlanks(rows[row].first);
        std::string folder = TrimBlanks(rows[row].second);
        if (typedKey.empty() && folder.empty()) continue;  // an added row left blank
        std::optional<std::string> key = NormalizeDriveKey(typedKey);
        if (!key) return fail(row, false, msg::kDriveKeyInvalid, typedKey);
        for (const auto& [seen, unused] : out.entries)
            if (EqualsNoCase(seen, *key)) return fail(row, false, msg::kDriveKeyTwice, *key);
        if (folder.empty()) return fail(row, true, msg::kDriveFolderMissing, *key);
        if (folder.front() != '/') return fail(row, true, msg::kDriveFolderNotAbsolute, *key);
        out.entries.emplace_back(*key, folder);
    }
    return out;
}

}  // namespace qb

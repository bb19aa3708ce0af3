// The section/key store behind every preference: an INI file with sections
// and keys compared without regard to (ASCII) case, integer and text values.
// Reads come from memory; writes are collected and saved atomically by
// Flush(), so a crash or a full disk never leaves a half-written file.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qb {

// Integer reading of a stored text: optional blanks, an optional sign and
// decimal digits (or "0x" and hex digits); anything else reads as 0.
// Values up to 0xFFFFFFFF wrap into the signed range as a 32-bit word does.
int32_t ParseProfileInt(const std::string& text);

// True when `text` is exactly the decimal form of its own integer value
// ("12", "-3"; not "012", "+1", " 1" or "x").
bool IsCanonicalInt(const std::string& text);

bool EqualsNoCase(const std::string& a, const std::string& b);

class ProfileStore {
public:
    // Called once per failed save with the error code (the data-file error
    // codes: 103 access denied, 12 disk full, ...) and the settings file.
    using ErrorReporter = std::function<void(int code, const std::string& path)>;

    ProfileStore() = default;  // memory only: nothing is saved
    explicit ProfileStore(std::string path);

    // Reads the file again; a missing file is an empty store. Returns false
    // (and leaves the store empty) when the file exists but cannot be read.
    bool Load();

    // Replaces the content by an INI text (nothing is read or written).
    void LoadText(const std::string& text) { Parse(text); }

    const std::string& Path() const { return path_; }
    void SetErrorReporter(ErrorReporter reporter) { reporter_ = std::move(reporter); }

    bool HasKey(const std::string& section, const std::string& key) const;
    bool HasSection(const std::string& section) const;
    // Every key of `section` with its text, in file order (first spelling
    // of a key wins when it appears twice).
    std::vector<std::pair<std::string, std::string>> SectionEntries(
        const std::string& section) const;
    int32_t GetInt(const std::string& section, const std::string& key, int32_t def) const;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def) const;

    // Writes land in memory at once and on disk at the next Flush().
    // Keys that the file form cannot hold (empty, with '=', line breaks or
    // a leading '[', ';' or '#') are refused.
    bool WriteInt(const std::string& section, const std::string& key, int32_t value);
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    // Removes `key` from `section`: every line of it, in every spelling and
    // every header of that section, so that no older duplicate shows
    // through. Lands in memory at once and on disk at the next Flush(),
    // applied in order with the writes (also to a file another instance
    // changed meanwhile). True when the key was there in memory; deleting a
    // missing key is harmless.
    bool DeleteKey(const std::string& section, const std::string& key);

    // Whether the last write of this key was an integer (keys read from
    // the file count as integers when their text is canonical).
    bool IsIntegerValue(const std::string& section, const std::string& key) const;

    // Saves pending writes: the file is read again (so that keys another
    // instance wrote meanwhile survive), the writes are applied, and the
    // result goes to a temporary file beside it that is synced and renamed
    // over the old one. On failure the old file is left as it was, the
    // error is reported once, and false is returned; the writes stay
    // pending for a later attempt.
    bool Flush();
    bool HasPendingWrites() const { return !pending_.empty(); }

    // The file's text as Flush() would write it (for tests and diagnostics).
    std::string Serialize() const;

    // Test hook: makes the next Flush() fail after writing `bytes` bytes
    // of the temporary file, as a full disk would.
    void SimulateWriteFailureAfter(std::optional<size_t> bytes) { failAfter_ = bytes; }

private:
    struct Line {
        std::string raw;    // the line as read, for lines kept verbatim
        std::string key;    // empty for comments, blanks and headers
        std::string value;  // decoded value
        bool isInt = false;
    };
    struct Section {
        std::string name;       // empty name: lines before the first header
        std::string rawHeader;  // header line as read
        std::vector<Line> lines;
    };
    struct Pending {
        std::string section, key, value;
        bool isInt;
        bool erase = false;  // DeleteKey: `value` and `isInt` unused
    };

    void Parse(const std::string& text);
    void Apply(const Pending& p);
    bool Erase(const std::string& section, const std::string& key);
    const Line* Find(const std::string& section, const std::string& key) const;
    bool WriteFile(const std::string& text, int& code);

    std::string path_;
    std::vector<Section> sections_;
    std::vector<Pending> pending_;
    ErrorReporter reporter_;
    std::optional<size_t> failAfter_;
};

}  // namespace qb

// The entry points of the fuzz targets: each takes one input of the fuzzer
// and drives one parser of the program over it. A target returns normally
// for every input; a fault shows as a crash, a sanitizer report, a hang or
// an allocation beyond the fuzzer's limit. The libFuzzer programs and the
// regression test over the kept inputs call the same functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qbfuzz {

// The password the seed files are written with; the data-file target tries
// it on every input so that the private blobs are read too.
inline constexpr char kSeedPassword[] = "demo";

// A data file: opened, then every record and stream read as the dump reads
// them, locked and then unlocked with kSeedPassword.
int FuzzDataFile(const uint8_t* data, size_t size);
// RTF read into a control, written and read again: the models must be equal.
int FuzzRtf(const uint8_t* data, size_t size);
// A query expression compiled and evaluated against a small fixed index.
int FuzzQuery(const uint8_t* data, size_t size);
// A settings file read into the store and the settings, and written back.
int FuzzSettingsIni(const uint8_t* data, size_t size);
// UTF-16 text through the link recogniser and the word and link decisions.
int FuzzLinks(const uint8_t* data, size_t size);
// A date text parsed under several locales and pivot years.
int FuzzDates(const uint8_t* data, size_t size);
// RTF read into a control and converted to HTML and Markdown; the bytes as
// plain text and as HTML too.
int FuzzHtml(const uint8_t* data, size_t size);

struct Target {
    const char* name;
    int (*run)(const uint8_t*, size_t);
};

// Every target by the name scripts and the kept inputs' folders use.
inline constexpr Target kTargets[] = {
    {"data_file", FuzzDataFile}, {"rtf", FuzzRtf},
    {"query", FuzzQuery},        {"settings_ini", FuzzSettingsIni},
    {"links", FuzzLinks},        {"dates", FuzzDates},
    {"html", FuzzHtml},
};

// Stops the process with a message when a property a target checks fails,
// so the fuzzer keeps the input.
[[noreturn]] void PropertyFailed(std::string_view what);

}  // namespace qbfuzz

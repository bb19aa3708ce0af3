// What printing needs beyond the printer: margins and their unit, how
// articles are separated, title and date/keyword choices, the header and
// footer with their codes. One per open data file, laid over the
// "PageSetup" defaults of the settings and the built-in values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "datafile/numbered_streams.h"
#include "platform/locale.h"

namespace qb {

class ProfileStore;

enum class MarginSide { kTop, kLeft, kBottom, kRight };

enum class ArticleSeparator : int16_t { kBlankLine = 0, kSolidLine = 1, kPageBreak = 2 };

constexpr int16_t kUnitsCentimetres = 0;
constexpr int16_t kUnitsInches = 1;

// a * b / c rounded half away from zero, as the Windows MulDiv; 0 for c 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

struct PageSetup {
    // Hundredths of the unit.
    int16_t top = 50, left = 75, bottom = 50, right = 75;
    ArticleSeparator separator = ArticleSeparator::kBlankLine;
    bool boldTitles = false;
    bool reserved = true;  // carried, never used by printing
    bool printDates = true;
    bool headerFirstPageOnly = false;
    bool printKeywords = true;
    int16_t units = kUnitsInches;
    bool footerOnFirstPage = false;
    // Stored bytes in the file's code page; "&P", "&D", "&T" are codes.
    std::string header, footer;
    bool modified = false;

    // The built-in values, each overridden by its "PageSetup" key when present.
    static PageSetup Defaults(const ProfileStore& store);
    // The defaults, then the fields the file's record holds.
    static PageSetup FromFile(const PageSetupValues& stored, std::string header, std::string footer,
                              const ProfileStore& store);
    // Writes the "PageSetup" keys and saves; false when the save failed (the
    // store has reported it).
    bool SaveDefaults(ProfileStore& store) const;

    int16_t Margin(MarginSide side) const;
    void SetMargin(MarginSide side, int16_t value);
    int32_t MarginInHundredthsOfInch(MarginSide side) const;
    // Stores an inch value in the setup's own unit.
    void SetMarginFromHundredthsOfInch(MarginSide side, int32_t value);
};

// A margin as the Format page shows it: converted to the locale's unit when
// the stored one differs, then "<whole><separator><two digits>".
std::string FormatMargin(int32_t value, int16_t units, MeasurementSystem shownIn,
                         std::string_view decimalSeparator);
int16_t UnitsOf(MeasurementSystem system);

// Margin text to hundredths: digits, at most one separator ("." or the
// locale's), more digits; empty reads 0. Nullopt for anything else
// (signs, letters, a second separator) and for values past an int16.
std::optional<int16_t> ParseMargin(std::string_view text, std::string_view decimalSeparator);

// The header and footer codes, letters in either case. Date and time first
// (done once per job), the page number on each page; any other "&" pair
// stays as it is.
std::u16string ExpandDateTime(std::u16string_view text, std::u16string_view date,
                              std::u16string_view time);
std::u16string ExpandPageNumber(std::u16string_view text, int32_t page);

}  // namespace qb

// The Locale of the running system, through ICU.
#pragma once

#include <memory>
#include <string>

#include "platform/locale.h"

namespace qb {

class IcuLocale : public Locale {
public:
    // `localeId` such as "de_DE"; empty takes LC_ALL, LC_TIME or LANG.
    explicit IcuLocale(const std::string& localeId = "");
    ~IcuLocale() override;

    std::string ShortDatePattern() const override;
    std::string FormatTime(int hour, int minute, int second, bool withSeconds) const override;
    std::string DayName(int dayOfWeek, bool abbreviated) const override;
    std::string MonthName(int month, bool abbreviated) const override;
    MeasurementSystem Measurement() const override;
    std::string DecimalSeparator() const override;
    LocalDateTime Now() const override;
    int Compare(std::u16string_view a, std::u16string_view b) const override;
    int CompareNoCase(std::u16string_view a, std::u16string_view b) const override;
    std::string SortKey(std::u16string_view text) const override;

    const std::string& Id() const;

    // The locale id the environment names, as ICU reads it ("C" and
    // "POSIX" become "en_US_POSIX"; codeset and modifier are dropped).
    static std::string EnvironmentLocaleId();

    // An ICU date pattern in the Windows letters FormatDate expects:
    // "dd.MM.y" -> "dd.MM.yyyy", "EEE, d MMM" -> "ddd, d MMM".
    static std::string ConvertIcuPattern(const std::u16string& icuPattern);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qb

#include "platform/icu_locale.h"

#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/ulocdata.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/collation.h"

namespace qb {

namespace {

std::string ToUtf8(const icu::UnicodeString& s) {
    std::string out;
    s.toUTF8String(out);
    return out;
}

bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Letters that FormatDate reads as fields, in either case.
bool IsFieldLetter(char16_t c) {
    switch (c) {
        case u'd':
        case u'D':
        case u'm':
        case u'M':
        case u'y':
        case u'Y':
            return true;
        default:
            return false;
    }
}

}  // namespace

struct IcuLocale::Impl {
    std::string id;
    icu::Locale locale;
    std::string shortPattern;
    std::unique_ptr<icu::DateFormat> timeShort;   // hours and minutes
    std::unique_ptr<icu::DateFormat> timeMedium;  // with seconds
    std::unique_ptr<icu::DateFormatSymbols> symbols;
    std::string decimal;
    MeasurementSystem measurement = MeasurementSystem::Metric;
    std::unique_ptr<NameCollator> collator;
    mutable std::mutex formatLock;  // ICU formatters are not safe for concurrent use
};

std::string IcuLocale::EnvironmentLocaleId() {
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* v = std::getenv(name);
        if (v && *v) {
            value = v;
            break;
        }
    }
    std::string id = value ? value : "";
    size_t cut = id.find_first_of(".@");
    if (cut != std::string::npos) id.erase(cut);
    if (id.empty() || id == "C" || id == "POSIX") return "en_US_POSIX";
    return id;
}

std::string IcuLocale::ConvertIcuPattern(const std::u16string& p) {
    icu::UnicodeString out;
    size_t i = 0;
    while (i < p.size()) {
        char16_t c = p[i];
        if (c == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {  // '' is one quote
                out.append(u'\'');
                i += 2;
                continue;
            }
            // Quoted literal text; letters FormatDate would read as fields
            // are left out so they are not mistaken for fields.
            ++i;
            while (i < p.size()) {
                if (p[i] == u'\'') {
                    if (i + 1 < p.size() && p[i + 1] == u'\'') {
                        out.append(u'\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (!IsFieldLetter(p[i])) out.append(p[i]);
                ++i;
            }
            continue;
        }
        if (!IsAsciiLetter(c)) {
            out.append(c);
            ++i;
            continue;
        }
        size_t n = 1;
        while (i + n < p.size() && p[i + n] == c)
            ++n;
        i += n;
        switch (c) {
            case u'd':
                out.append(n >= 2 ? u"dd" : u"d");
                break;
            case u'M':
            case u'L':
                out.append(n == 1 ? u"M" : n == 2 ? u"MM" : n == 3 ? u"MMM" : u"MMMM");
                break;
            case u'y':
            case u'Y':
            case u'u':
            case u'U':
            case u'r':
                out.append(n == 2 ? u"yy" : u"yyyy");
                break;
            case u'E':
            case u'e':
            case u'c':
                out.append(n >= 4 ? u"dddd" : u"ddd");
                break;
            default:  // eras and other fields have no Windows letter
                break;
        }
    }
    return ToUtf8(out);
}

IcuLocale::IcuLocale(const std::string& localeId) : impl_(std::make_unique<Impl>()) {
    impl_->id = localeId.empty() ? EnvironmentLocaleId() : localeId;
    impl_->locale = icu::Locale::createCanonical(impl_->id.c_str());
    if (impl_->locale.isBogus()) impl_->locale = icu::Locale::getUS();

    std::unique_ptr<icu::DateFormat> date(
        icu::DateFormat::createDateInstance(icu::DateFormat::kShort, impl_->locale));
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(date.get())) {
        icu::UnicodeString pattern;
        simple->toPattern(pattern);
        std::u16string p(pattern.getBuffer(), static_cast<size_t>(pattern.length()));
        impl_->shortPattern = ConvertIcuPattern(p);
    }
    if (impl_->shortPattern.empty()) impl_->shortPattern = "M/d/yyyy";

    // Times are formatted as an offset into a GMT day so that daylight
    // saving never shifts them.
    impl_->timeShort.reset(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, impl_->locale));
    impl_->timeMedium.reset(
        icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, impl_->locale));
    for (auto* f : {impl_->timeShort.get(), impl_->timeMedium.get()}) {
        if (f) f->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
    }

    UErrorCode status = U_ZERO_ERROR;
    impl_->symbols = std::make_unique<icu::DateFormatSymbols>(impl_->locale, status);
    if (U_FAILURE(status)) impl_->symbols.reset();

    status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols dec(impl_->locale, status);
    impl_->decimal = U_SUCCESS(status)
                         ? ToUtf8(dec.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol))
                         : ".";

    status = U_ZERO_ERROR;
    UMeasurementSystem ms = ulocdata_getMeasurementSystem(impl_->locale.getName(), &status);
    impl_->measurement =
        (U_SUCCESS(status) && ms == UMS_US) ? MeasurementSystem::US : MeasurementSystem::Metric;

    // The POSIX locale's collation is plain code-point order, which would make
    // name look-ups case-sensitive; names sort by the root rules there instead.
    std::string collationId = impl_->locale.getName();
    if (collationId.rfind("en_US_POSIX", 0) == 0) collationId = "root";
    impl_->collator = std::make_unique<NameCollator>(collationId);
}

IcuLocale::~IcuLocale() = default;

const std::string& IcuLocale::Id() const {
    return impl_->id;
}

std::string IcuLocale::ShortDatePattern() const {
    return impl_->shortPattern;
}

std::string IcuLocale::FormatTime(int hour, int minute, int second, bool withSeconds) const {
    icu::DateFormat* f = withSeconds ? impl_->timeMedium.get() : impl_->timeShort.get();
    if (!f) {
        char buf[32];
        if (withSeconds)
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", hour, minute, second);
        else
            std::snprintf(buf, sizeof buf, "%02d:%02d", hour, minute);
        return buf;
    }
    UDate ms = (static_cast<double>(hour) * 3600.0 + minute * 60.0 + second) * 1000.0;
    icu::UnicodeString out;
    std::lock_guard<std::mutex> lock(impl_->formatLock);
    f->format(ms, out);
    return ToUtf8(out);
}

std::string IcuLocale::DayName(int dayOfWeek, bool abbreviated) const {
    if (!impl_->symbols || dayOfWeek < 0 || dayOfWeek > 6) return "";
    int32_t count = 0;
    const icu::UnicodeString* names =
        abbreviated ? impl_->symbols->getShortWeekdays(count) : impl_->symbols->getWeekdays(count);
    int idx = dayOfWeek + 1;  // ICU: index 1 is Sunday
    return idx < count ? ToUtf8(names[idx]) : "";
}

std::string IcuLocale::MonthName(int month, bool abbreviated) const {
    if (!impl_->symbols || month < 1 || month > 12) return "";
    int32_t count = 0;
    const icu::UnicodeString* names =
        abbreviated ? impl_->symbols->getShortMonths(count) : impl_->symbols->getMonths(count);
    return month - 1 < count ? ToUtf8(names[month - 1]) : "";
}

MeasurementSystem IcuLocale::Measurement() const {
    return impl_->measurement;
}

std::string IcuLocale::DecimalSeparator() const {
    return impl_->decimal;
}

LocalDateTime IcuLocale::Now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

int IcuLocale::Compare(std::u16string_view a, std::u16string_view b) const {
    return impl_->collator->Compare(a, b);
}

int IcuLocale::CompareNoCase(std::u16string_view a, std::u16string_view b) const {
    return impl_->collator->CompareNoCase(a, b);
}

std::string IcuLocale::SortKey(std::u16string_view text) const {
    return impl_->collator->SortKey(text);
}

}  // namespace qb

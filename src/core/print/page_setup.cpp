#include "print/page_setup.h"

#include <cstdlib>
#include <limits>

#include "app/profile_store.h"

namespace qb {
namespace {

constexpr const char* kSection = "PageSetup";

// The table's order, which is also the order of the file's record.
enum Field {
    kTop,
    kLeft,
    kBottom,
    kRight,
    kSeparator,
    kBoldTitles,
    kReserved,
    kPrintDates,
    kHeaderFirstOnly,
    kPrintKeywords,
    kUnits,
    kFooterOnFirst,
    kFieldCount
};

void SetField(PageSetup& p, int field, int32_t v) {
    auto flag = [v] { return v == 1; };  // a flag is on only when stored as exactly 1
    switch (field) {
        case kTop:
            p.top = int16_t(v);
            break;
        case kLeft:
            p.left = int16_t(v);
            break;
        case kBottom:
            p.bottom = int16_t(v);
            break;
        case kRight:
            p.right = int16_t(v);
            break;
        case kSeparator:
            // An unknown separator prints as the blank line rather than nothing.
            p.separator = v >= 0 && v <= 2 ? ArticleSeparator(v) : ArticleSeparator::kBlankLine;
            break;
        case kBoldTitles:
            p.boldTitles = flag();
            break;
        case kReserved:
            p.reserved = flag();
            break;
        case kPrintDates:
            p.printDates = flag();
            break;
        case kHeaderFirstOnly:
            p.headerFirstPageOnly = flag();
            break;
        case kPrintKeywords:
            p.printKeywords = flag();
            break;
        case kUnits:
            p.units = v == kUnitsCentimetres ? kUnitsCentimetres : kUnitsInches;
            break;
        case kFooterOnFirst:
            p.footerOnFirstPage = flag();
            break;
        default:
            break;
    }
}

struct Key {
    const char* name;
    int field;
};
constexpr Key kKeys[] = {
    {"TopMargin", kTop},
    {"BottomMargin", kBottom},
    {"LeftMargin", kLeft},
    {"RightMargin", kRight},
    {"Separator", kSeparator},
    {"BoldTitles", kBoldTitles},
    {"PrintDates", kPrintDates},
    {"PrintKeywords", kPrintKeywords},
    {"Units", kUnits},
    {"OnlyOnFirst", kHeaderFirstOnly},
    {"FirstFooter", kFooterOnFirst},
};

int32_t FieldValue(const PageSetup& p, int field) {
    switch (field) {
        case kTop:
            return p.top;
        case kLeft:
            return p.left;
        case kBottom:
            return p.bottom;
        case kRight:
            return p.right;
        case kSeparator:
            return int32_t(p.separator);
        case kBoldTitles:
            return p.boldTitles;
        case kReserved:
            return p.reserved;
        case kPrintDates:
            return p.printDates;
        case kHeaderFirstOnly:
            return p.headerFirstPageOnly;
        case kPrintKeywords:
            return p.printKeywords;
        case kUnits:
            return p.units;
        case kFooterOnFirst:
            return p.footerOnFirstPage;
        default:
            return 0;
    }
}

int16_t ClampToInt16(int64_t v) {
    if (v > std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    if (v < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return int16_t(v);
}

bool IsCode(char16_t c, char16_t upper) {
    return c == upper || c == upper + (u'a' - u'A');
}

}  // namespace

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return 0;
    int64_t n = int64_t(a) * b;
    int64_t q = n / c, r = n % c;
    if (std::llabs(r) * 2 >= std::llabs(int64_t(c))) q += ((n < 0) == (c < 0)) ? 1 : -1;
    return int32_t(q);
}

PageSetup PageSetup::Defaults(const ProfileStore& store) {
    PageSetup p;
    for (const Key& k : kKeys)
        if (store.HasKey(kSection, k.name))
            SetField(p, k.field, store.GetInt(kSection, k.name, FieldValue(p, k.field)));
    return p;
}

PageSetup PageSetup::FromFile(const PageSetupValues& stored, std::string header, std::string footer,
                              const ProfileStore& store) {
    PageSetup p = Defaults(store);
    for (int i = 0; i < stored.read && i < kFieldCount; ++i)
        SetField(p, i, stored.values[std::size_t(i)]);
    p.header = std::move(header);
    p.footer = std::move(footer);
    return p;
}

bool PageSetup::SaveDefaults(ProfileStore& store) const {
    for (const Key& k : kKeys)
        store.WriteInt(kSection, k.name, FieldValue(*this, k.field));
    return store.Flush();
}

int16_t PageSetup::Margin(MarginSide side) const {
    switch (side) {
        case MarginSide::kTop:
            return top;
        case MarginSide::kLeft:
            return left;
        case MarginSide::kBottom:
            return bottom;
        case MarginSide::kRight:
            return right;
    }
    return 0;
}

void PageSetup::SetMargin(MarginSide side, int16_t value) {
    switch (side) {
        case MarginSide::kTop:
            top = value;
            break;
        case MarginSide::kLeft:
            left = value;
            break;
        case MarginSide::kBottom:
            bottom = value;
            break;
        case MarginSide::kRight:
            right = value;
            break;
    }
    modified = true;
}

int32_t PageSetup::MarginInHundredthsOfInch(MarginSide side) const {
    int32_t m = Margin(side);
    return units == kUnitsInches ? m : MulDiv(m, 100, 254);
}

void PageSetup::SetMarginFromHundredthsOfInch(MarginSide side, int32_t value) {
    SetMargin(side, ClampToInt16(units == kUnitsInches ? value : MulDiv(value, 254, 100)));
}

int16_t UnitsOf(MeasurementSystem system) {
    return system == MeasurementSystem::US ? kUnitsInches : kUnitsCentimetres;
}

std::string FormatMargin(int32_t value, int16_t units, MeasurementSystem shownIn,
                         std::string_view decimalSeparator) {
    int16_t shown = UnitsOf(shownIn);
    if (units != shown)
        value = shown == kUnitsCentimetres ? MulDiv(value, 254, 100) : MulDiv(value, 100, 254);
    std::string sign = value < 0 ? "-" : "";
    int32_t magnitude = value < 0 ? -value : value;
    char fraction[3] = {char('0' + magnitude % 100 / 10), char('0' + magnitude % 10), 0};
    return sign + std::to_string(magnitude / 100) + std::string(decimalSeparator) + fraction;
}

std::optional<int16_t> ParseMargin(std::string_view text, std::string_view decimalSeparator) {
    int64_t whole = 0, fraction = 0, scale = 1;
    bool inFraction = false;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            if (inFraction) {
                // Digits past the hundredths only round; keep the number small.
                if (scale < 100000) {
                    fraction = fraction * 10 + (c - '0');
                    scale *= 10;
                }
            } else {
                whole = whole * 10 + (c - '0');
                if (whole > std::numeric_limits<int16_t>::max()) return std::nullopt;
            }
            ++i;
            continue;
        }
        size_t sepLength = 0;
        if (c == '.')
            sepLength = 1;
        else if (!decimalSeparator.empty() &&
                 text.substr(i, decimalSeparator.size()) == decimalSeparator)
            sepLength = decimalSeparator.size();
        if (sepLength == 0 || inFraction) return std::nullopt;
        inFraction = true;
        i += sepLength;
    }
    int64_t value = whole * 100 + MulDiv(int32_t(fraction), 100, int32_t(scale));
    if (value > std::numeric_limits<int16_t>::max()) return std::nullopt;
    return int16_t(value);
}

std::u16string ExpandDateTime(std::u16string_view text, std::u16string_view date,
                              std::u16string_view time) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            char16_t c = text[i + 1];
            if (IsCode(c, u'D')) {
                out += date;
                ++i;
                continue;
            }
            if (IsCode(c, u'T')) {
                out += time;
                ++i;
                continue;
            }
            // Any other pair is printed as it is; its letter is not a code start.
            out += text[i];
            out += c;
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::u16string ExpandPageNumber(std::u16string_view text, int32_t page) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            char16_t c = text[i + 1];
            if (IsCode(c, u'P')) {
                for (char d : std::to_string(page))
                    out += char16_t(d);
            } else {
                out += text[i];
                out += c;
            }
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace qb

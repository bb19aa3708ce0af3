#include "platform/collation.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

namespace qb {

struct NameCollator::Impl {
    std::unique_ptr<icu::Collator> tertiary;
    std::unique_ptr<icu::Collator> secondary;
};

namespace {

std::unique_ptr<icu::Collator> Make(const icu::Locale& loc, icu::Collator::ECollationStrength s) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(loc, status));
    if (U_FAILURE(status) || !c) {
        status = U_ZERO_ERROR;
        c.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) c.reset();
    }
    if (c) {
        status = U_ZERO_ERROR;
        c->setAttribute(UCOL_CASE_FIRST, UCOL_LOWER_FIRST, status);
        c->setStrength(s);
    }
    return c;
}

int Sign(int r) {
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int Run(const icu::Collator* c, std::u16string_view a, std::u16string_view b) {
    if (!c) return Sign(a.compare(b));  // no collation data: code-unit order
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult r = c->compare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                                    static_cast<int32_t>(b.size()), status);
    if (U_FAILURE(status)) return Sign(a.compare(b));
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

}  // namespace

NameCollator::NameCollator(const std::string& localeId) : impl_(std::make_unique<Impl>()) {
    icu::Locale loc = (localeId.empty() || localeId == "root") ? icu::Locale::getRoot()
                                                               : icu::Locale(localeId.c_str());
    impl_->tertiary = Make(loc, icu::Collator::TERTIARY);
    impl_->secondary = Make(loc, icu::Collator::SECONDARY);
}

NameCollator::~NameCollator() = default;

int NameCollator::Compare(std::u16string_view a, std::u16string_view b) const {
    return Run(impl_->tertiary.get(), a, b);
}

std::string NameCollator::SortKey(std::u16string_view text) const {
    std::string key;
    const icu::Collator* c = impl_->tertiary.get();
    if (c) {
        icu::UnicodeString s(false, text.data(), static_cast<int32_t>(text.size()));
        uint8_t small[256];
        int32_t n = c->getSortKey(s, small, sizeof small);
        if (n > 0 && n <= static_cast<int32_t>(sizeof small)) {
            key.assign(reinterpret_cast<const char*>(small), static_cast<size_t>(n - 1));
            return key;  // without the terminating zero
        }
        if (n > 0) {
            std::string big(static_cast<size_t>(n), '\0');
            c->getSortKey(s, reinterpret_cast<uint8_t*>(big.data()), n);
            big.pop_back();
            return big;
        }
    }
    // Code-unit order, as Compare without collation data: each unit as two
    // bytes, high byte first.
    key.reserve(text.size() * 2);
    for (char16_t u : text) {
        key += static_cast<char>(u >> 8);
        key += static_cast<char>(u & 0xFF);
    }
    return key;
}

int NameCollator::CompareNoCase(std::u16string_view a, std::u16string_view b) const {
    return Run(impl_->secondary.get(), a, b);
}

}  // namespace qb

// Name collation as users expect it: lower case before upper case of the
// same letter, accented letters after the plain one. Shared by IcuLocale and
// the test locale.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace qb {

class NameCollator {
public:
    // An ICU locale id; "" or "root" is the root collation.
    explicit NameCollator(const std::string& localeId);
    ~NameCollator();
    NameCollator(const NameCollator&) = delete;
    NameCollator& operator=(const NameCollator&) = delete;

    int Compare(std::u16string_view a, std::u16string_view b) const;        // tertiary
    int CompareNoCase(std::u16string_view a, std::u16string_view b) const;  // secondary
    // The key of Compare's order: bytewise comparison of two keys gives
    // Compare's answer for their texts.
    std::string SortKey(std::u16string_view text) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qb

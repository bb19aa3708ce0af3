// Which font families the desktop has installed: the reader asks its font
// database, qbx and tests give their own answers.
#pragma once

#include <string_view>

namespace qb {

class FontFamilies {
public:
    virtual ~FontFamilies() = default;
    // Whether a family of this name (UTF-8, case ignored) is installed.
    virtual bool IsInstalled(std::string_view family) const = 0;
};

}  // namespace qb

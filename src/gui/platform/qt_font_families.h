// The installed font families as fontconfig reports them through Qt's font
// database, for the FACE lists of the HTML reader.
#pragma once

#include <QSet>
#include <QString>
#include <string_view>

#include "platform/font_families.h"

namespace qb {

class QtFontFamilies : public FontFamilies {
public:
    // Reads the families once (needs a QGuiApplication); fonts installed
    // later are seen by a new object.
    QtFontFamilies();
    bool IsInstalled(std::string_view family) const override;

private:
    QSet<QString> folded_;  // case-folded family names
};

}  // namespace qb

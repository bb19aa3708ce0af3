#include "gui/platform/qt_font_families.h"

#include <QFontDatabase>

namespace qb {

QtFontFamilies::QtFontFamilies() {
    for (const QString& f : QFontDatabase::families())
        folded_.insert(f.toCaseFolded());
}

bool QtFontFamilies::IsInstalled(std::string_view family) const {
    QString name =
        QString::fromUtf8(family.data(), qsizetype(family.size())).trimmed().toCaseFolded();
    return !name.isEmpty() && folded_.contains(name);
}

}  // namespace qb

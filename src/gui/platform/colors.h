// Colours as the settings store them: 0x00BBGGRR, red in the low byte.
#pragma once

#include <QColor>
#include <cstdint>

namespace qb {

inline QColor ColorFromBgr(int32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

inline int32_t BgrFromColor(const QColor& c) {
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

}  // namespace qb

#pragma once

#include <QColor>
#include <QtGlobal>

namespace portiva {

// Colours as the settings file and the fingerprint engine keep them: 0x00BBGGRR, red in the
// low byte. 0x1FFFFFFF is "not drawn" for the overlay colours.
constexpr qint32 ColorNoDibujado = 0x1FFFFFFF;

inline QColor ColorDesdeBgr(qint32 bgr) {
    const auto v = static_cast<quint32>(bgr);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF));
}

inline qint32 BgrDesdeColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<qint32>(static_cast<quint32>(rgb.red()) |
                               (static_cast<quint32>(rgb.green()) << 8) |
                               (static_cast<quint32>(rgb.blue()) << 16));
}

} // namespace portiva

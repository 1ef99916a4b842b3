#pragma once

#include <QColor>

// The theme's eighteen colours. Views name these constants instead of building
// colours from numbers, so the whole program changes colour in one place.
//
// The values are sRGB components in 0...1. They are compile-time constants:
// nothing is created at run time, so two threads touching one first can never
// race, and static objects elsewhere may use them safely.
namespace Palette {

namespace detail {
// QColor keeps 16 bits a channel; this is the rounding QColor::fromRgbF uses.
constexpr ushort channel(double component) { return ushort(component * 65535.0 + 0.5); }
constexpr QColor rgb(double red, double green, double blue, double alpha = 1.0) {
  return QColor(QColor::Rgb, channel(alpha), channel(red), channel(green), channel(blue));
}
}  // namespace detail

// Backgrounds.
constexpr QColor cyberBgTop = detail::rgb(0.03, 0.10, 0.08);
constexpr QColor cyberBgBottom = detail::rgb(0.01, 0.06, 0.12);
constexpr QColor cyberPanelBg = detail::rgb(0.04, 0.12, 0.10, 0.95);
constexpr QColor cyberCardBg = detail::rgb(0.05, 0.14, 0.11, 0.88);
constexpr QColor cyberBgDeep = detail::rgb(0.02, 0.08, 0.06);

// Accents.
constexpr QColor neonCyan = detail::rgb(0.0, 1.0, 0.85);
constexpr QColor neonGreen = detail::rgb(0.2, 1.0, 0.4);
constexpr QColor neonLime = detail::rgb(0.5, 1.0, 0.0);
constexpr QColor neonPink = detail::rgb(1.0, 0.05, 0.6);
constexpr QColor neonOrange = detail::rgb(1.0, 0.55, 0.0);
constexpr QColor neonRed = detail::rgb(1.0, 0.15, 0.25);
constexpr QColor neonYellow = detail::rgb(1.0, 0.92, 0.0);
constexpr QColor neonPurple = detail::rgb(0.65, 0.25, 1.0);

// Text and lines.
constexpr QColor cyberTextPrimary = detail::rgb(0.92, 1.0, 0.95);
constexpr QColor cyberTextSecondary = detail::rgb(0.45, 0.65, 0.55);
constexpr QColor cyberTextTertiary = detail::rgb(0.28, 0.42, 0.35);
constexpr QColor cyberBorder = detail::rgb(0.10, 0.30, 0.22);
constexpr QColor cyberSeparator = detail::rgb(0.08, 0.25, 0.18);

// The platform colours the views use beside the palette.
constexpr QColor clear = detail::rgb(0.0, 0.0, 0.0, 0.0);
constexpr QColor black = detail::rgb(0.0, 0.0, 0.0);

// A palette colour at an opacity: the colour's own alpha times `opacity`, so
// cyberCardBg (0.88) at 0.5 is 0.44, never a fresh 0.5.
QColor withOpacity(const QColor& color, qreal opacity);

}  // namespace Palette

#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// A card: a rounded rectangle (radius 12) filled with cyberCardBg, outlined
// 1.2 wide with `neon` fading 0.7 -> 0.15 -> 0.4 from top-left to bottom-right,
// glowing `neon` at 0.2. It adds no padding: callers pad their content.
struct NeonCardStyle {
  QColor neon;
  qreal glowRadius = 0;

  static constexpr qreal cornerRadius = 12;
  static constexpr qreal borderWidth = 1.2;

  static QPainterPath shape(const QRectF& rect);
  Glow glow() const;

  // Fill and outline, no glow (a NeonCard widget glows through GlowEffect).
  void paintBody(QPainter& painter, const QRectF& rect) const;
  // Glow, fill and outline; the glow spills glow().reach() past `rect`.
  void paint(QPainter& painter, const QRectF& rect) const;
};

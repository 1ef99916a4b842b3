#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QRectF>

class QPainter;

// A 1-pixel line that fades in and out: `color` at 0 -> 0.35 -> 0 from left to
// right, glowing `color` at 0.15.
struct CyberDivider {
  QColor color;

  static constexpr qreal height = 1;

  Glow glow() const;
  // The line across the top of `rect`, `height` high.
  void paintBody(QPainter& painter, const QRectF& rect) const;
  void paint(QPainter& painter, const QRectF& rect) const;
};

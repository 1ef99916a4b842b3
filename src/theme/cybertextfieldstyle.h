#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// The themed text field: text in Rajdhani Medium 16, cyberTextPrimary, padded
// 16 left and right and 12 above and below, on a rounded rectangle (radius 8)
// of black at 0.35 outlined with `accent` at 0.3, glowing `accent` at 0.12.
// It looks the same with and without focus.
struct CyberTextFieldStyle {
  QColor accent;

  static constexpr qreal cornerRadius = 8;

  static QFont font();
  static QColor textColor();
  // Placeholders and hints are drawn in the palette's hint colour.
  static QColor placeholderColor();
  static QMarginsF padding() { return QMarginsF(16, 12, 16, 12); }
  static QPainterPath shape(const QRectF& rect);

  QColor fillColor() const;
  QColor borderColor() const;
  Glow glow() const;

  void paintBody(QPainter& painter, const QRectF& rect) const;
  void paint(QPainter& painter, const QRectF& rect) const;
};

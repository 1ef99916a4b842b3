#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QPainterPath>
#include <QRectF>
#include <QString>

#include <functional>

class QPainter;

// The themed button, drawn in one colour: the label in `color` (half strength
// while pressed) in Rajdhani SemiBold 14, padded 20 left and right and 10 above
// and below, on a rounded rectangle (radius 8) filled with `color` at 0.1
// (0.18 while pressed), outlined with `color` at 0.5, glowing `color` at 0.25.
//
// A disabled button is drawn the same way at disabledOpacity, so a user sees
// at once that it does not respond; pressing does not change it.
struct NeonButtonStyle {
  QColor color;

  static constexpr qreal cornerRadius = 8;
  static constexpr qreal disabledOpacity = 0.4;

  static QFont font();
  static QMarginsF padding() { return QMarginsF(20, 10, 20, 10); }
  static QPainterPath shape(const QRectF& rect);

  QColor labelColor(bool pressed) const;
  QColor fillColor(bool pressed) const;
  QColor borderColor() const;
  Glow glow() const;

  // The button's size for a label of `labelSize`.
  static QSizeF sizeFor(const QSizeF& labelSize);

  // Fill and outline, no label, no glow.
  void paintBody(QPainter& painter, const QRectF& rect, bool pressed) const;

  // Draws the label of a button: given the rectangle inside the padding and
  // the colour to draw in.
  using LabelPainter = std::function<void(QPainter&, const QRectF& labelRect, const QColor& foreground)>;

  // The whole button with its glow (which spills glow().reach() past `rect`).
  void paint(QPainter& painter, const QRectF& rect, bool pressed, bool enabled, const LabelPainter& label) const;
  // The same with a text label in font().
  void paint(QPainter& painter, const QRectF& rect, bool pressed, bool enabled, const QString& text) const;
};

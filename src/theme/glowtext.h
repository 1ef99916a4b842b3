#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// A text in Rajdhani at `size` and `weight`, coloured `color`, glowing
// `color` at 0.5.
struct GlowText {
  QString text;
  QColor color;
  qreal size = 14;
  QFont::Weight weight = QFont::Medium;

  QFont font() const;
  Glow glow() const;
  QSizeF sizeHint() const;

  // The text in `rect` with Qt alignment and wrapping `flags`.
  void paintBody(QPainter& painter, const QRectF& rect, int flags = Qt::AlignLeft | Qt::AlignVCenter) const;
  void paint(QPainter& painter, const QRectF& rect, int flags = Qt::AlignLeft | Qt::AlignVCenter) const;
};

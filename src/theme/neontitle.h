#pragma once

#include "theme/glow.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

// A display title: `text` in Orbitron Black at `size`, filled with a
// left-to-right gradient through `colors` (evenly spaced), glowing in the
// first colour at 0.4. Callers pass one colour or more; with none the title is
// drawn in cyberTextPrimary, so it never vanishes.
struct NeonTitle {
  QString text;
  QList<QColor> colors;
  qreal size = 22;

  QFont font() const;
  Glow glow() const;
  QSizeF sizeHint() const;

  // The fill for a title whose text occupies `textRect`.
  QBrush fill(const QRectF& textRect) const;

  void paintBody(QPainter& painter, const QRectF& rect, int flags = Qt::AlignLeft | Qt::AlignVCenter) const;
  void paint(QPainter& painter, const QRectF& rect, int flags = Qt::AlignLeft | Qt::AlignVCenter) const;
};

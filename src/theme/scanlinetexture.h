#pragma once

#include <QRectF>

class QPainter;

// Faint horizontal scan lines over a page: a 1-pixel line of neonCyan at
// `opacity` every 3 pixels from the top. Views draw it over their background;
// it is only paint, so clicks reach whatever lies below.
struct ScanlineTexture {
  double opacity = 0;

  // Lines that fit in `height`: height / 3, truncated (100 -> 33, 2 -> 0).
  static int lineCount(qreal height);

  void paint(QPainter& painter, const QRectF& rect) const;
};

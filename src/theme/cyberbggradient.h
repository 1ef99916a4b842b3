#pragma once

#include <QRectF>

class QPainter;

// The page background: cyberBgTop to cyberBgBottom from the top-left to the
// bottom-right corner, under a faint cyan-to-green wash from top to bottom.
struct CyberBgGradient {
  void paint(QPainter& painter, const QRectF& rect) const;
};

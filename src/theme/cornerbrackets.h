#pragma once

#include <QColor>
#include <QPolygonF>
#include <QRectF>

#include <array>

class QPainter;

// Four L-shaped marks in the corners of a frame, each `size` long on both
// arms, stroked with `color` at 0.5, 1.5 wide, square-cut ends and mitred
// bends. Only paint: clicks pass through to what lies below.
struct CornerBrackets {
  QColor color;
  qreal size = 0;

  static constexpr qreal lineWidth = 1.5;

  // The marks of a frame of `frame` size, in drawing order: top-left,
  // top-right, bottom-left, bottom-right. Each runs from the end of its
  // horizontal arm through the corner to the end of its vertical arm.
  std::array<QPolygonF, 4> marks(const QSizeF& frame) const;

  void paint(QPainter& painter, const QRectF& rect) const;
};

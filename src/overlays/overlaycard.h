#pragma once

#include "theme/cornerbrackets.h"
#include "theme/glow.h"

#include <QColor>
#include <QList>
#include <QPainterPath>
#include <QRectF>

#include <optional>

class QPainter;

// The face of a floating panel: a rounded card over a faint translucent
// layer, edged with a glowing gradient from the top-left to the bottom-right
// corner and, on most panels, corner marks. The border is drawn over the
// panel's content, so a view paints its background, then its content, then
// the border.
struct OverlayCard {
  qreal cornerRadius = 12;
  QColor fill;
  // The border's colours, evenly spaced from the top-left corner.
  QList<QColor> borderColors;
  qreal borderWidth = 1.2;
  Glow borderGlow;
  std::optional<CornerBrackets> brackets;
  qreal bracketsInset = 3;

  QPainterPath shape(const QRectF& rect) const;

  void paintBackground(QPainter& painter, const QRectF& rect) const;
  // The border with its glow, then the corner marks.
  void paintBorder(QPainter& painter, const QRectF& rect) const;
};

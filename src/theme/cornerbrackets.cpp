#include "theme/cornerbrackets.h"

#include "theme/palette.h"

#include <QPainter>
#include <QPen>

std::array<QPolygonF, 4> CornerBrackets::marks(const QSizeF& frame) const {
  const auto mark = [this](qreal cx, qreal cy, qreal sx, qreal sy) {
    return QPolygonF({QPointF(cx + size * sx, cy), QPointF(cx, cy), QPointF(cx, cy + size * sy)});
  };
  const qreal w = frame.width();
  const qreal h = frame.height();
  return {mark(0, 0, +1, +1), mark(w, 0, -1, +1), mark(0, h, +1, -1), mark(w, h, -1, -1)};
}

void CornerBrackets::paint(QPainter& painter, const QRectF& rect) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(Palette::withOpacity(color, 0.5), lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  pen.setMiterLimit(10);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.translate(rect.topLeft());
  for (const QPolygonF& mark : marks(rect.size())) painter.drawPolyline(mark);
  painter.restore();
}

#include "onboarding/roundedplate.h"

#include <QPainter>
#include <QPainterPath>

void paintRoundedPlate(QPainter& painter, const QRectF& rect, qreal cornerRadius, const QColor& fill,
                       const QColor& outline, qreal lineWidth) {
  const qreal inset = lineWidth / 2;
  QPainterPath plate;
  plate.addRoundedRect(rect.adjusted(inset, inset, -inset, -inset), cornerRadius, cornerRadius);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(plate, fill);
  painter.strokePath(plate, QPen(outline, lineWidth));
  painter.restore();
}

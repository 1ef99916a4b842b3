#include "overlays/overlaycard.h"

#include "theme/palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>

QPainterPath OverlayCard::shape(const QRectF& rect) const {
  QPainterPath path;
  path.addRoundedRect(rect, cornerRadius, cornerRadius);
  return path;
}

void OverlayCard::paintBackground(QPainter& painter, const QRectF& rect) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QPainterPath path = shape(rect);
  // A light veil under the card stands in for the desktop's blur material.
  painter.fillPath(path, Palette::withOpacity(Palette::cyberBgDeep, 0.15));
  painter.fillPath(path, fill);
  painter.restore();
}

void OverlayCard::paintBorder(QPainter& painter, const QRectF& rect) const {
  // The whole line stays inside the panel: half of it would fall off the window.
  const qreal half = borderWidth / 2;
  const QRectF edge = rect.adjusted(half, half, -half, -half);
  QLinearGradient gradient(rect.topLeft(), rect.bottomRight());
  for (qsizetype i = 0; i < borderColors.size(); ++i) {
    gradient.setColorAt(borderColors.size() == 1 ? 0 : qreal(i) / qreal(borderColors.size() - 1), borderColors[i]);
  }
  const QPainterPath path = shape(edge);
  borderGlow.paint(painter, rect, [&](QPainter& target) {
    target.save();
    target.setRenderHint(QPainter::Antialiasing);
    target.strokePath(path, QPen(QBrush(gradient), borderWidth));
    target.restore();
  });
  if (brackets) {
    brackets->paint(painter, rect.adjusted(bracketsInset, bracketsInset, -bracketsInset, -bracketsInset));
  }
}

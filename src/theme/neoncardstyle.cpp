#include "theme/neoncardstyle.h"

#include "theme/palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>

QPainterPath NeonCardStyle::shape(const QRectF& rect) {
  QPainterPath path;
  path.addRoundedRect(rect, cornerRadius, cornerRadius);
  return path;
}

Glow NeonCardStyle::glow() const { return Glow{Palette::withOpacity(neon, 0.2), glowRadius}; }

void NeonCardStyle::paintBody(QPainter& painter, const QRectF& rect) const {
  const QPainterPath path = shape(rect);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(path, Palette::cyberCardBg);
  QLinearGradient edge(rect.topLeft(), rect.bottomRight());
  edge.setColorAt(0, Palette::withOpacity(neon, 0.7));
  edge.setColorAt(0.5, Palette::withOpacity(neon, 0.15));
  edge.setColorAt(1, Palette::withOpacity(neon, 0.4));
  painter.strokePath(path, QPen(QBrush(edge), borderWidth));
  painter.restore();
}

void NeonCardStyle::paint(QPainter& painter, const QRectF& rect) const {
  glow().paint(painter, rect.adjusted(-borderWidth, -borderWidth, borderWidth, borderWidth),
               [&](QPainter& target) { paintBody(target, rect); });
}

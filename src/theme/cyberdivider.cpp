#include "theme/cyberdivider.h"

#include "theme/palette.h"

#include <QLinearGradient>
#include <QPainter>

Glow CyberDivider::glow() const { return Glow{Palette::withOpacity(color, 0.15), 2}; }

void CyberDivider::paintBody(QPainter& painter, const QRectF& rect) const {
  const QRectF line(rect.left(), rect.top(), rect.width(), height);
  QLinearGradient fade(line.topLeft(), line.topRight());
  fade.setColorAt(0, Palette::withOpacity(color, 0));
  fade.setColorAt(0.5, Palette::withOpacity(color, 0.35));
  fade.setColorAt(1, Palette::withOpacity(color, 0));
  painter.fillRect(line, fade);
}

void CyberDivider::paint(QPainter& painter, const QRectF& rect) const {
  const QRectF line(rect.left(), rect.top(), rect.width(), height);
  glow().paint(painter, line, [&](QPainter& target) { paintBody(target, rect); });
}

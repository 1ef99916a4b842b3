#include "theme/cybertextfieldstyle.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QPainter>
#include <QPen>

QFont CyberTextFieldStyle::font() { return rajdhaniFont(16, QFont::Medium); }

QColor CyberTextFieldStyle::textColor() { return Palette::cyberTextPrimary; }

QColor CyberTextFieldStyle::placeholderColor() { return Palette::cyberTextTertiary; }

QPainterPath CyberTextFieldStyle::shape(const QRectF& rect) {
  QPainterPath path;
  path.addRoundedRect(rect, cornerRadius, cornerRadius);
  return path;
}

QColor CyberTextFieldStyle::fillColor() const { return Palette::withOpacity(Palette::black, 0.35); }

QColor CyberTextFieldStyle::borderColor() const { return Palette::withOpacity(accent, 0.3); }

Glow CyberTextFieldStyle::glow() const { return Glow{Palette::withOpacity(accent, 0.12), 3}; }

void CyberTextFieldStyle::paintBody(QPainter& painter, const QRectF& rect) const {
  const QPainterPath path = shape(rect);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(path, fillColor());
  painter.strokePath(path, QPen(borderColor(), 1));
  painter.restore();
}

void CyberTextFieldStyle::paint(QPainter& painter, const QRectF& rect) const {
  glow().paint(painter, rect.adjusted(-1, -1, 1, 1), [&](QPainter& target) { paintBody(target, rect); });
}

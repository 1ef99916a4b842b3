#include "theme/glowtext.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>

QFont GlowText::font() const { return rajdhaniFont(size, weight); }

Glow GlowText::glow() const { return Glow{Palette::withOpacity(color, 0.5), 4}; }

QSizeF GlowText::sizeHint() const { return QFontMetricsF(font()).size(0, text); }

void GlowText::paintBody(QPainter& painter, const QRectF& rect, int flags) const {
  painter.save();
  painter.setFont(font());
  painter.setPen(color);
  painter.drawText(rect, flags, text);
  painter.restore();
}

void GlowText::paint(QPainter& painter, const QRectF& rect, int flags) const {
  glow().paint(painter, rect, [&](QPainter& target) { paintBody(target, rect, flags); });
}

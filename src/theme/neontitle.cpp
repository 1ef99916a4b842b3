#include "theme/neontitle.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

QFont NeonTitle::font() const { return orbitronFont(size, QFont::Black); }

Glow NeonTitle::glow() const {
  return Glow{Palette::withOpacity(colors.isEmpty() ? Palette::cyberTextPrimary : colors.first(), 0.4), 6};
}

QSizeF NeonTitle::sizeHint() const { return QFontMetricsF(font()).size(0, text); }

QBrush NeonTitle::fill(const QRectF& textRect) const {
  if (colors.isEmpty()) return QBrush(Palette::cyberTextPrimary);
  if (colors.size() == 1) return QBrush(colors.first());
  QLinearGradient gradient(textRect.topLeft(), textRect.topRight());
  for (qsizetype i = 0; i < colors.size(); ++i) gradient.setColorAt(qreal(i) / qreal(colors.size() - 1), colors[i]);
  return QBrush(gradient);
}

void NeonTitle::paintBody(QPainter& painter, const QRectF& rect, int flags) const {
  const QFont titleFont = font();
  // The gradient spans the text itself, not the space it was given.
  const QRectF textRect = QFontMetricsF(titleFont).boundingRect(rect, flags, text);
  painter.save();
  painter.setFont(titleFont);
  painter.setPen(QPen(fill(textRect), 0));
  painter.drawText(rect, flags, text);
  painter.restore();
}

void NeonTitle::paint(QPainter& painter, const QRectF& rect, int flags) const {
  glow().paint(painter, rect, [&](QPainter& target) { paintBody(target, rect, flags); });
}

#include "theme/neonbuttonstyle.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QPainter>
#include <QPen>

QFont NeonButtonStyle::font() { return rajdhaniFont(14, QFont::DemiBold); }

QPainterPath NeonButtonStyle::shape(const QRectF& rect) {
  QPainterPath path;
  path.addRoundedRect(rect, cornerRadius, cornerRadius);
  return path;
}

QColor NeonButtonStyle::labelColor(bool pressed) const { return pressed ? Palette::withOpacity(color, 0.5) : color; }

QColor NeonButtonStyle::fillColor(bool pressed) const { return Palette::withOpacity(color, pressed ? 0.18 : 0.1); }

QColor NeonButtonStyle::borderColor() const { return Palette::withOpacity(color, 0.5); }

Glow NeonButtonStyle::glow() const { return Glow{Palette::withOpacity(color, 0.25), 4}; }

QSizeF NeonButtonStyle::sizeFor(const QSizeF& labelSize) {
  const QMarginsF pad = padding();
  return QSizeF(labelSize.width() + pad.left() + pad.right(), labelSize.height() + pad.top() + pad.bottom());
}

void NeonButtonStyle::paintBody(QPainter& painter, const QRectF& rect, bool pressed) const {
  const QPainterPath path = shape(rect);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillPath(path, fillColor(pressed));
  painter.strokePath(path, QPen(borderColor(), 1));
  painter.restore();
}

void NeonButtonStyle::paint(QPainter& painter, const QRectF& rect, bool pressed, bool enabled,
                            const LabelPainter& label) const {
  const bool shownPressed = pressed && enabled;
  painter.save();
  if (!enabled) painter.setOpacity(painter.opacity() * disabledOpacity);
  glow().paint(painter, rect.adjusted(-1, -1, 1, 1), [&](QPainter& target) {
    paintBody(target, rect, shownPressed);
    label(target, rect.marginsRemoved(padding()), labelColor(shownPressed));
  });
  painter.restore();
}

void NeonButtonStyle::paint(QPainter& painter, const QRectF& rect, bool pressed, bool enabled,
                            const QString& text) const {
  paint(painter, rect, pressed, enabled, [&text](QPainter& target, const QRectF& labelRect, const QColor& foreground) {
    target.setFont(font());
    target.setPen(foreground);
    target.drawText(labelRect, Qt::AlignCenter, text);
  });
}

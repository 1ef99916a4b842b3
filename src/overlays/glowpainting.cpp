#include "overlays/glowpainting.h"

#include "theme/symbolimage.h"

#include <QPainter>
#include <QPen>

namespace GlowPainting {

void text(QPainter& painter, const QRectF& rect, const QString& text, const QFont& font, const QColor& color,
          const Glow& glow, int flags) {
  glow.paint(painter, rect, [&](QPainter& target) {
    target.save();
    target.setFont(font);
    target.setPen(color);
    target.drawText(rect, flags, text);
    target.restore();
  });
}

void symbol(QPainter& painter, const QRectF& rect, const QString& name, qreal pointSize, const QColor& color,
            const Glow& glow) {
  const qreal side = SymbolImage::boxSide(pointSize);
  const QRectF box(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
  glow.paint(painter, box, [&](QPainter& target) { SymbolImage::paint(target, box, name, color); });
}

void ring(QPainter& painter, const QRectF& rect, qreal diameter, qreal lineWidth, const QColor& color,
          const Glow& glow) {
  const qreal inset = lineWidth / 2;
  const QRectF circle(rect.center().x() - diameter / 2, rect.center().y() - diameter / 2, diameter, diameter);
  glow.paint(painter, circle, [&](QPainter& target) {
    target.save();
    target.setRenderHint(QPainter::Antialiasing);
    target.setPen(QPen(color, lineWidth));
    target.setBrush(Qt::NoBrush);
    target.drawEllipse(circle.adjusted(inset, inset, -inset, -inset));
    target.restore();
  });
}

}  // namespace GlowPainting

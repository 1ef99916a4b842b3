#include "theme/gloweffect.h"

#include <QPaintDevice>
#include <QPainter>

GlowEffect::GlowEffect(const Glow& glow, QObject* parent) : QGraphicsEffect(parent), glow_(glow) {}

void GlowEffect::setGlow(const Glow& glow) {
  if (glow.color == glow_.color && glow.radius == glow_.radius) return;
  glow_ = glow;
  updateBoundingRect();
  update();
}

QRectF GlowEffect::boundingRectFor(const QRectF& rect) const {
  const qreal margin = glow_.reach();
  return rect.adjusted(-margin, -margin, margin, margin);
}

void GlowEffect::draw(QPainter* painter) {
  // Always through the pixmap: drawing the source straight onto the painter
  // breaks when a child widget carries an effect of its own.
  QPoint offset;
  const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::PadToEffectiveBoundingRect);
  if (source.isNull()) return;
  const QTransform saved = painter->worldTransform();
  painter->setWorldTransform(QTransform());
  if (glow_.isVisible()) {
    const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawImage(offset, glow_.glowOf(source.toImage(), scale));
  }
  painter->drawPixmap(offset, source);
  painter->setWorldTransform(saved);
}

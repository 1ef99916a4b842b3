#include "theme/gloweffect.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

GlowEffect::GlowEffect(const Glow& glow, QObject* parent) : QGraphicsEffect(parent), glow_(glow) {}

void GlowEffect::setGlow(const Glow& glow) {
  if (glow.color == glow_.color && glow.radius == glow_.radius) return;
  glow_ = glow;
  shapeGlow_ = QImage();
  updateBoundingRect();
  update();
}

void GlowEffect::setShape(const QPainterPath& shape, qreal alpha) {
  if (shape_ && *shape_ == shape && shapeAlpha_ == alpha) return;
  shape_ = shape;
  shapeAlpha_ = alpha;
  shapeGlow_ = QImage();
  update();
}

QRectF GlowEffect::boundingRectFor(const QRectF& rect) const {
  const qreal margin = glow_.reach();
  return rect.adjusted(-margin, -margin, margin, margin);
}

void GlowEffect::draw(QPainter* painter) {
  if (!glow_.isVisible()) {
    drawSource(painter);
    return;
  }
  if (shape_) {
    drawShapeGlow(painter);
    drawSource(painter);
    return;
  }
  QPoint offset;
  const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::PadToEffectiveBoundingRect);
  if (source.isNull()) return;
  const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  const QImage glow = glow_.glowOf(source.toImage(), scale);
  const QTransform saved = painter->worldTransform();
  painter->setWorldTransform(QTransform());
  painter->drawImage(offset, glow);
  painter->drawPixmap(offset, source);
  painter->setWorldTransform(saved);
}

void GlowEffect::drawShapeGlow(QPainter* painter) {
  const qreal margin = glow_.reach();
  const QRectF area = shape_->boundingRect().adjusted(-margin, -margin, margin, margin);
  const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
  if (shapeGlow_.isNull() || shapeGlowScale_ != scale) {
    QImage coverage(QSize(int(std::ceil(area.width() * scale)), int(std::ceil(area.height() * scale))),
                    QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    QPainter offscreen(&coverage);
    offscreen.setRenderHint(QPainter::Antialiasing);
    offscreen.scale(scale, scale);
    offscreen.translate(-area.topLeft());
    offscreen.fillPath(*shape_, QColor::fromRgbF(0, 0, 0, float(shapeAlpha_)));
    offscreen.end();
    shapeGlow_ = glow_.glowOf(coverage, scale);
    shapeGlowScale_ = scale;
  }
  painter->drawImage(QRectF(area.topLeft(), QSizeF(shapeGlow_.width() / scale, shapeGlow_.height() / scale)),
                     shapeGlow_);
}

#include "theme/gloweffect.h"

#include "theme/glowsource.h"

#include <QCache>
#include <QPaintDevice>
#include <QPainter>
#include <QWidget>

#include <cmath>

namespace {

// Glow images by what they show, at most a few megabytes (cost in kilobytes).
QCache<QString, QImage>& glowImages() {
  static auto* images = new QCache<QString, QImage>(4 * 1024);
  return *images;
}

}  // namespace

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
  const auto* widget = qobject_cast<const QWidget*>(parent());
  const auto* painted = dynamic_cast<const GlowSource*>(widget);
  if (widget && painted) {
    // The painter works in the widget's coordinates here.
    if (glow_.isVisible()) {
      const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
      const int margin = int(std::ceil(glow_.reach()));
      const QSize size = widget->size();
      const QString key = QStringLiteral("%1x%2|%3|%4|%5|")
                              .arg(size.width())
                              .arg(size.height())
                              .arg(scale)
                              .arg(glow_.color.rgba64().toArgb32())
                              .arg(glow_.radius) +
                          painted->glowSourceKey();
      QImage* image = glowImages().object(key);
      if (!image) {
        const QSize area = size + QSize(2 * margin, 2 * margin);
        QImage coverage(area * scale, QImage::Format_ARGB32_Premultiplied);
        coverage.fill(Qt::transparent);
        QPainter offscreen(&coverage);
        offscreen.setRenderHints(painter->renderHints());
        offscreen.scale(scale, scale);
        offscreen.translate(margin, margin);
        painted->paintGlowSource(offscreen);
        offscreen.end();
        image = new QImage(glow_.glowOf(coverage, scale));
        image->setDevicePixelRatio(scale);
        glowImages().insert(key, image, int(image->sizeInBytes() / 1024) + 1);
      }
      painter->drawImage(QPointF(-margin, -margin), *image);
    }
    // The widget's whole painting, drawn here: asking Qt to draw the source
    // loses it when the widget is rendered into an image (grab, render).
    painted->paintGlowSource(*painter);
    return;
  }

  // Always through the pixmap: drawing the source straight onto the painter
  // breaks when a child widget carries an effect of its own. The pixmap holds
  // the device's pixels (twice as many each way at a ratio of 2) and says so
  // (its device pixel ratio), and so does its glow: both cover the same area.
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

#include "theme/devicepixels.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace {

// Whether the painter's coordinates map onto the device's pixel grid (moved
// and scaled only), and that mapping.
bool onGrid(const QPainter& painter, QTransform& toDevice) {
  toDevice = painter.deviceTransform();
  return toDevice.type() <= QTransform::TxScale && toDevice.isInvertible();
}

// A small allowance so that a coordinate computed as 2.9999999 counts as 3.
constexpr qreal kSlack = 1e-6;

}  // namespace

namespace DevicePixels {

qreal ratio(const QPainter& painter) { return painter.device() ? painter.device()->devicePixelRatioF() : 1.0; }

QSize covering(const QSizeF& pixels) {
  return QSize(int(std::ceil(pixels.width() - kSlack)), int(std::ceil(pixels.height() - kSlack)));
}

QPointF rounded(const QPainter& painter, const QPointF& point) {
  QTransform toDevice;
  if (!onGrid(painter, toDevice)) return point;
  const QPointF device = toDevice.map(point);
  return toDevice.inverted().map(QPointF(std::round(device.x()), std::round(device.y())));
}

QPointF floored(const QPainter& painter, const QPointF& point) {
  QTransform toDevice;
  if (!onGrid(painter, toDevice)) return point;
  const QPointF device = toDevice.map(point);
  return toDevice.inverted().map(QPointF(std::floor(device.x() + kSlack), std::floor(device.y() + kSlack)));
}

QRectF aligned(const QPainter& painter, const QRectF& rect) {
  QTransform toDevice;
  if (!onGrid(painter, toDevice)) return rect;
  const QRectF device = toDevice.mapRect(rect);
  const QRectF whole(QPointF(std::floor(device.left() + kSlack), std::floor(device.top() + kSlack)),
                     QPointF(std::ceil(device.right() - kSlack), std::ceil(device.bottom() - kSlack)));
  return toDevice.inverted().mapRect(whole);
}

}  // namespace DevicePixels

#include "theme/picturecache.h"

#include "theme/devicepixels.h"

#include <QPaintDevice>

#include <cmath>

QPixmap drawPicture(const QPainter& like, const QRectF& frame, const std::function<void(QPainter&)>& paint) {
  const qreal ratio = like.device() ? like.device()->devicePixelRatioF() : 1.0;
  QPixmap picture(int(std::ceil(frame.width() * ratio - 1e-6)), int(std::ceil(frame.height() * ratio - 1e-6)));
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter offscreen(&picture);
  offscreen.setRenderHints(like.renderHints());
  offscreen.setFont(like.font());
  offscreen.translate(-frame.topLeft());
  paint(offscreen);
  return picture;
}

PicturePlace placePicture(const QPainter& painter, const QRect& area) {
  const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
  const QPointF origin = DevicePixels::floored(painter, QPointF(area.topLeft()));
  const QPointF into = (QPointF(area.topLeft()) - origin) * ratio;
  return {origin, int(std::lround(into.x() * 8)) | int(std::lround(into.y() * 8)) << 8};
}

#include "theme/picturecache.h"

#include "theme/devicepixels.h"

#include <cmath>

QPixmap drawPicture(const QPainter& like, const QRectF& frame, const std::function<void(QPainter&)>& paint) {
  const qreal ratio = DevicePixels::ratio(like);
  QPixmap picture(DevicePixels::covering(frame.size() * ratio));
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
  const qreal ratio = DevicePixels::ratio(painter);
  const QPointF origin = DevicePixels::floored(painter, QPointF(area.topLeft()));
  const QPointF into = (QPointF(area.topLeft()) - origin) * ratio;
  return {origin, int(std::lround(into.x() * 8)) | int(std::lround(into.y() * 8)) << 8};
}

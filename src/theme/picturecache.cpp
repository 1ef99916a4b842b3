#include "theme/picturecache.h"

#include <QPaintDevice>

QPixmap drawPicture(const QPainter& like, const QRect& area, const std::function<void(QPainter&)>& paint) {
  const qreal ratio = like.device() ? like.device()->devicePixelRatioF() : 1.0;
  QPixmap picture(area.size() * ratio);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::transparent);
  QPainter offscreen(&picture);
  offscreen.setRenderHints(like.renderHints());
  offscreen.setFont(like.font());
  offscreen.translate(-area.topLeft());
  paint(offscreen);
  return picture;
}

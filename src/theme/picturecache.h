#pragma once

#include "theme/devicepixels.h"

#include <QCache>
#include <QPainter>
#include <QPixmap>
#include <QRect>

#include <functional>
#include <memory>
#include <utility>

// Draws `paint` (calls in the view's coordinates) into a transparent picture
// of `frame` of the view, with the pixel ratio and the render hints of `like`.
QPixmap drawPicture(const QPainter& like, const QRectF& frame, const std::function<void(QPainter&)>& paint);

// Where a picture of `area` of the view starts so that its pixels are the
// device's own: the area's corner moved back to the device pixel it lies in
// (at a ratio of 1.5 an odd logical coordinate lies halfway into one), and how
// far into that pixel the area starts, in eighths of a device pixel each way.
struct PicturePlace {
  QPointF origin;
  int phase = 0;
};
PicturePlace placePicture(const QPainter& painter, const QRect& area);

// Pictures of what a view draws, each kept under a key that names everything
// it depends on: drawn once, then copied onto the view at every frame, which
// costs a fraction of drawing it (glows above all). The least recently used
// pictures go when the cache holds more than its limit.
//
// A picture covers `area` of the view (whole pixels), and is drawn by the
// same calls in the view's own coordinates, so the copy matches, pixel for
// pixel, what the calls would have drawn onto the view, at any pixel ratio:
// a picture starts on a device pixel, and one drawn for another place within
// a device pixel is another picture.
template <typename Key>
class PictureCache {
 public:
  explicit PictureCache(qsizetype maxBytes) : pictures_(maxBytes) {}

  // Copies the picture of `key` over `area` onto `painter`, drawing it first
  // with `paint` when the cache does not hold it.
  void draw(QPainter& painter, const Key& key, const QRect& area, const std::function<void(QPainter&)>& paint) {
    // Pictures of another pixel ratio (another screen) no longer fit.
    const qreal ratio = DevicePixels::ratio(painter);
    if (ratio != ratio_) pictures_.clear();
    ratio_ = ratio;
    const PicturePlace place = placePicture(painter, area);
    const std::pair<Key, int> placed(key, place.phase);
    QPixmap* picture = pictures_.object(placed);
    if (!picture) {
      const QRectF frame(place.origin, QPointF(area.topLeft()) + QPointF(area.width(), area.height()));
      auto made = std::make_unique<QPixmap>(drawPicture(painter, frame, paint));
      const qsizetype bytes = qsizetype(made->width()) * made->height() * 4;
      picture = made.get();
      // Larger than the whole cache, a picture is not kept: it is drawn straight away.
      if (!pictures_.insert(placed, made.release(), bytes)) return paint(painter);
    }
    painter.drawPixmap(place.origin, *picture);
  }

  void clear() { pictures_.clear(); }
  qsizetype count() const { return pictures_.count(); }

 private:
  QCache<std::pair<Key, int>, QPixmap> pictures_;
  qreal ratio_ = 0;
};

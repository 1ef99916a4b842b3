#pragma once

#include <QCache>
#include <QPainter>
#include <QPixmap>
#include <QRect>

#include <functional>
#include <memory>

// Draws `paint` (calls in the view's coordinates) into a transparent picture
// of `area` of the view, with the pixel ratio and the render hints of `like`.
QPixmap drawPicture(const QPainter& like, const QRect& area, const std::function<void(QPainter&)>& paint);

// Pictures of what a view draws, each kept under a key that names everything
// it depends on: drawn once, then copied onto the view at every frame, which
// costs a fraction of drawing it (glows above all). The least recently used
// pictures go when the cache holds more than its limit.
//
// A picture covers `area` of the view (whole pixels), and is drawn by the
// same calls in the view's own coordinates, so the copy matches, pixel for
// pixel, what the calls would have drawn onto the view.
template <typename Key>
class PictureCache {
 public:
  explicit PictureCache(qsizetype maxBytes) : pictures_(maxBytes) {}

  // Copies the picture of `key` over `area` onto `painter`, drawing it first
  // with `paint` when the cache does not hold it.
  void draw(QPainter& painter, const Key& key, const QRect& area, const std::function<void(QPainter&)>& paint) {
    // Pictures of another pixel ratio (another screen) no longer fit.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (ratio != ratio_) pictures_.clear();
    ratio_ = ratio;
    QPixmap* picture = pictures_.object(key);
    if (!picture) {
      auto made = std::make_unique<QPixmap>(drawPicture(painter, area, paint));
      const qsizetype bytes = qsizetype(made->width()) * made->height() * 4;
      picture = made.get();
      // Larger than the whole cache, a picture is not kept: it is drawn straight away.
      if (!pictures_.insert(key, made.release(), bytes)) return paint(painter);
    }
    painter.drawPixmap(area.topLeft(), *picture);
  }

  void clear() { pictures_.clear(); }
  qsizetype count() const { return pictures_.count(); }

 private:
  QCache<Key, QPixmap> pictures_;
  qreal ratio_ = 0;
};

#pragma once

#include <QPainter>
#include <QWidget>

#include <functional>

// Paints into a transparent image at one pixel per logical pixel.
inline QImage paintOffscreen(const QSize& size, const std::function<void(QPainter&)>& draw) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  draw(painter);
  return image;
}

// The children of `parent` as it shows them, glows included, on a transparent
// background, one pixel per device pixel of its screen.
inline QImage shown(QWidget& parent) {
  parent.show();
  const qreal ratio = parent.devicePixelRatioF();
  QImage image(parent.size() * ratio, QImage::Format_ARGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  parent.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

inline int alphaAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

inline long long totalAlpha(const QImage& image) {
  long long sum = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) sum += alphaAt(image, x, y);
  }
  return sum;
}

inline bool colourNear(const QColor& a, const QColor& b, int tolerance = 3) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

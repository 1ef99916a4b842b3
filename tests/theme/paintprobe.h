#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSize>

#include <cstdlib>
#include <functional>

// Paints into a transparent offscreen image at one pixel per logical pixel,
// so numbers from the styles can be read back from pixels.
inline QImage paintOffscreen(const QSize& size, const std::function<void(QPainter&)>& draw) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  draw(painter);
  painter.end();
  return image;
}

inline int alphaAt(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

// Rows (or columns) that hold any paint.
inline int paintedRows(const QImage& image) {
  int rows = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) > 0) {
        ++rows;
        break;
      }
    }
  }
  return rows;
}

inline long long totalAlpha(const QImage& image) {
  long long sum = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) sum += qAlpha(image.pixel(x, y));
  }
  return sum;
}

// Whether two colours agree within `tolerance` in each 8-bit channel (paint on
// a translucent pixel loses a little to rounding).
inline bool colourNear(const QColor& a, const QColor& b, int tolerance = 3) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

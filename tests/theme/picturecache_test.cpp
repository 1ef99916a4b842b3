// Pictures of what a view draws, copied onto the view at every frame.
#include "theme/picturecache.h"

#include "paintprobe.h"

#include <gtest/gtest.h>

namespace {

// At 1.25 and 1.5 device pixels per logical pixel a view may start partway
// into a device pixel: the copy still shows, pixel for pixel, what drawing
// straight onto the view shows, never the picture half a pixel off or
// resampled into a blur.
TEST(PictureCache, ACopyShowsWhatDrawingStraightOntoTheViewShowsWhereverTheViewLies) {
  PictureCache<int> cache(1 << 20);
  const auto paint = [](QPainter& painter) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(3.3, 2.7, 17, 11));
  };
  for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
    for (int offset = 0; offset < 4; ++offset) {
      const auto drawn = [&](bool copied) {
        QImage image(QSize(40, 30) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.translate(offset, offset);
        if (copied) {
          cache.draw(painter, 0, QRect(0, 0, 26, 18), paint);
        } else {
          paint(painter);
        }
        return image.convertToFormat(QImage::Format_ARGB32);
      };
      const QImage copy = drawn(true), straight = drawn(false);
      int worst = 0;
      for (int y = 0; y < copy.height(); ++y) {
        for (int x = 0; x < copy.width(); ++x) {
          worst = std::max(worst, std::abs(alphaAt(copy, x, y) - alphaAt(straight, x, y)));
        }
      }
      EXPECT_LE(worst, 2) << "at ratio " << ratio << ", offset " << offset;
    }
  }
}

}  // namespace

#include "theme/scanlinetexture.h"

#include "theme/devicepixels.h"
#include "theme/palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

int ScanlineTexture::lineCount(qreal height) { return height > 0 ? int(std::floor(height / 3)) : 0; }

void ScanlineTexture::paint(QPainter& painter, const QRectF& rect) const {
  const int count = lineCount(rect.height());
  const QColor line = Palette::withOpacity(Palette::neonCyan, opacity);
  // Each line on whole rows of device pixels, as many as make one logical
  // pixel: at a ratio of 1.5 a line at a half row would be two faint rows,
  // and lines would alternate between sharp and blurred down the page.
  const qreal ratio = DevicePixels::ratio(painter);
  const qreal height = std::max(1.0, std::round(ratio)) / ratio;
  for (int row = 0; row < count; ++row) {
    const QPointF start = DevicePixels::rounded(painter, QPointF(rect.left(), rect.top() + row * 3));
    painter.fillRect(QRectF(rect.left(), start.y(), rect.width(), height), line);
  }
}

#include "theme/scanlinetexture.h"

#include "theme/palette.h"

#include <QPainter>

#include <cmath>

int ScanlineTexture::lineCount(qreal height) { return height > 0 ? int(std::floor(height / 3)) : 0; }

void ScanlineTexture::paint(QPainter& painter, const QRectF& rect) const {
  const int count = lineCount(rect.height());
  const QColor line = Palette::withOpacity(Palette::neonCyan, opacity);
  for (int row = 0; row < count; ++row) {
    painter.fillRect(QRectF(rect.left(), rect.top() + row * 3, rect.width(), 1), line);
  }
}

#include "theme/cyberbggradient.h"

#include "theme/palette.h"

#include <QLinearGradient>
#include <QPainter>

void CyberBgGradient::paint(QPainter& painter, const QRectF& rect) const {
  // Object mode spans the gradient over the rectangle's own unit square, so a
  // wide page still runs corner to corner along its diagonal.
  QLinearGradient diagonal(0, 0, 1, 1);
  diagonal.setCoordinateMode(QGradient::ObjectMode);
  diagonal.setColorAt(0, Palette::cyberBgTop);
  diagonal.setColorAt(1, Palette::cyberBgBottom);
  painter.fillRect(rect, diagonal);

  QLinearGradient wash(0, 0, 0, 1);
  wash.setCoordinateMode(QGradient::ObjectMode);
  wash.setColorAt(0, Palette::withOpacity(Palette::neonCyan, 0.03));
  wash.setColorAt(0.5, Palette::clear);
  wash.setColorAt(1, Palette::withOpacity(Palette::neonGreen, 0.02));
  painter.fillRect(rect, wash);
}

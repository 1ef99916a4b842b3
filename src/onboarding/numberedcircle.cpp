#include "onboarding/numberedcircle.h"

#include "theme/fonts.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

NumberedCircle::NumberedCircle(int number, qreal pointSize, const QColor& color, qreal frameSide, QWidget* parent)
    : QWidget(parent), number_(number), pointSize_(pointSize), color_(color), frameSide_(frameSide) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

QSize NumberedCircle::sizeHint() const {
  const int side = int(std::ceil(frameSide_));
  return QSize(side, side);
}

void NumberedCircle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn like the icon set's circle symbols: the disc fills about five
  // sixths of the symbol's square, the digit is a hole through it.
  const qreal diameter = SymbolImage::boxSide(pointSize_) * 5 / 6;
  const QPointF centre = QRectF(rect()).center();
  QPainterPath disc;
  disc.addEllipse(centre, diameter / 2, diameter / 2);

  const QFont font = rajdhaniBold(diameter * 0.72);
  const QString digit = QString::number(number_);
  const QRectF bounds = QPainterPath([&] {
                          QPainterPath path;
                          path.addText(0, 0, font, digit);
                          return path;
                        }())
                            .boundingRect();
  QPainterPath hole;
  hole.addText(centre.x() - bounds.center().x(), centre.y() - bounds.center().y(), font, digit);
  painter.fillPath(disc.subtracted(hole), color_);
}

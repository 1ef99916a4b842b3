#include "mainwindow/squaresymbolbutton.h"

#include "theme/gloweffect.h"
#include "theme/symbolimage.h"

#include <QPainter>
#include <QPainterPath>

SquareSymbolButton::SquareSymbolButton(bool mayShowBadge, QWidget* parent) : QAbstractButton(parent) {
  setCursor(Qt::PointingHandCursor);
  setFixedSize(int(side + (mayShowBadge ? badgeOverhang : 0)), int(side + badgeOverhang));
  glow_ = new GlowEffect(Glow{}, this);
  setGraphicsEffect(glow_);
}

void SquareSymbolButton::setLook(const Look& look) {
  look_ = look;
  glow_->setGlow(look.glow);
  update();
}

QRectF SquareSymbolButton::squareRect() const { return QRectF(0, badgeOverhang, side, side); }

void SquareSymbolButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF square = squareRect();
  QPainterPath shape;
  shape.addRoundedRect(square.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
  painter.fillPath(shape, look_.fill);
  painter.setPen(QPen(look_.outline, look_.outlineWidth));
  painter.drawPath(shape);
  const qreal symbol = SymbolImage::boxSide(look_.symbolSize);
  SymbolImage::paint(painter,
                     QRectF(square.center().x() - symbol / 2, square.center().y() - symbol / 2, symbol, symbol),
                     look_.symbol, look_.symbolColor);
  if (look_.badge) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(*look_.badge);
    painter.drawEllipse(
        QRectF(square.right() - badgeSide + badgeOverhang, square.top() - badgeOverhang, badgeSide, badgeSide));
  }
}

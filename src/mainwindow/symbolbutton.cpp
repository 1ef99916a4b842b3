#include "mainwindow/symbolbutton.h"

#include "theme/symbolimage.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

SymbolButton::SymbolButton(const QString& name, qreal pointSize, const QColor& color, QWidget* parent)
    : QAbstractButton(parent), name_(name), pointSize_(pointSize), color_(color) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

void SymbolButton::setSymbol(const QString& name, const QColor& color) {
  name_ = name;
  color_ = color;
  update();
}

void SymbolButton::setFrame(const QSizeF& frame) {
  frame_ = frame;
  updateGeometry();
  update();
}

void SymbolButton::setBacking(const Backing& backing) {
  backing_ = backing;
  update();
}

QSize SymbolButton::sizeHint() const {
  const qreal side = SymbolImage::boxSide(pointSize_);
  const QSizeF size = frame_.isEmpty() ? QSizeF(side, side) : frame_;
  return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void SymbolButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) painter.setOpacity(0.4);
  const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (backing_.fill.isValid() || (backing_.stroke.isValid() && backing_.strokeWidth > 0)) {
    QPainterPath shape;
    shape.addRoundedRect(bounds, backing_.radius, backing_.radius);
    if (backing_.fill.isValid()) painter.fillPath(shape, backing_.fill);
    if (backing_.stroke.isValid() && backing_.strokeWidth > 0) {
      painter.strokePath(shape, QPen(backing_.stroke, backing_.strokeWidth));
    }
  }
  const qreal side = SymbolImage::boxSide(pointSize_);
  const QRectF box(QRectF(rect()).center() - QPointF(side / 2, side / 2), QSizeF(side, side));
  if (isDown()) painter.setOpacity(painter.opacity() * 0.6);
  SymbolImage::paint(painter, box, name_, color_);
}

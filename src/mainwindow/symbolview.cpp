#include "mainwindow/symbolview.h"

#include "theme/gloweffect.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

SymbolView::SymbolView(const QString& name, qreal pointSize, const QColor& color, QWidget* parent)
    : QWidget(parent), name_(name), pointSize_(pointSize), color_(color) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  const int side = int(std::ceil(SymbolImage::boxSide(pointSize)));
  frame_ = QSize(side, side);
  setFixedSize(frame_);
}

void SymbolView::setSymbol(const QString& name) {
  if (name == name_) return;
  name_ = name;
  update();
}

void SymbolView::setColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void SymbolView::setFrame(const QSize& frame) {
  frame_ = frame;
  setFixedSize(frame);
}

void SymbolView::setGlow(const Glow& glow) {
  if (glow_) {
    glow_->setGlow(glow);
    return;
  }
  glow_ = new GlowEffect(glow, this);
  setGraphicsEffect(glow_);
}

QSize SymbolView::sizeHint() const { return frame_; }

void SymbolView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const qreal side = SymbolImage::boxSide(pointSize_);
  const QRectF box(QPointF(width() / 2.0 - side / 2, height() / 2.0 - side / 2), QSizeF(side, side));
  SymbolImage::paint(painter, box, name_, color_);
}

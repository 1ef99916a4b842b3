#include "mainwindow/symbollabel.h"

#include "theme/gloweffect.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

SymbolLabel::SymbolLabel(const QString& name, qreal pointSize, const QColor& color, QWidget* parent)
    : QWidget(parent), name_(name), pointSize_(pointSize), color_(color) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolLabel::setSymbol(const QString& name) {
  if (name == name_) return;
  name_ = name;
  update();
}

void SymbolLabel::setColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void SymbolLabel::setFrameWidth(qreal width) {
  frameWidth_ = width;
  updateGeometry();
}

void SymbolLabel::setGlow(const Glow& glow) {
  if (!glow.isVisible()) {
    if (glow_) setGraphicsEffect(nullptr);
    glow_ = nullptr;
  } else if (glow_) {
    glow_->setGlow(glow);
  } else {
    glow_ = new GlowEffect(glow, this);
    setGraphicsEffect(glow_);
  }
}

QSize SymbolLabel::sizeHint() const {
  const qreal side = SymbolImage::boxSide(pointSize_);
  return QSize(int(std::ceil(std::max(side, frameWidth_))), int(std::ceil(side)));
}

void SymbolLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const qreal side = SymbolImage::boxSide(pointSize_);
  const QRectF box(QRectF(rect()).center() - QPointF(side / 2, side / 2), QSizeF(side, side));
  SymbolImage::paint(painter, box, name_, color_);
}

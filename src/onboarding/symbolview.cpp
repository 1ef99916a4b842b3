#include "onboarding/symbolview.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QPainter>

#include <cmath>

SymbolView::SymbolView(const QString& name, qreal pointSize, const QColor& color, QWidget* parent)
    : QWidget(parent), name_(name), pointSize_(pointSize), color_(color) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::setSymbol(const QString& name) {
  if (name == name_) return;
  name_ = name;
  update();
}

void SymbolView::setColor(const QColor& color) {
  if (color == color_) return;
  color_ = color;
  updateGlow();
  update();
}

void SymbolView::setGlow(qreal opacity, qreal radius) {
  glowOpacity_ = opacity;
  glowRadius_ = radius;
  updateGlow();
}

void SymbolView::updateGlow() {
  if (glowRadius_ <= 0) {
    setGraphicsEffect(nullptr);  // deletes the effect
    glow_ = nullptr;
    return;
  }
  const Glow glow{Palette::withOpacity(color_, glowOpacity_), glowRadius_};
  if (glow_) {
    glow_->setGlow(glow);
  } else {
    glow_ = new GlowEffect(glow, this);
    setGraphicsEffect(glow_);
  }
}

QSize SymbolView::sizeHint() const {
  const int side = int(std::ceil(SymbolImage::boxSide(pointSize_)));
  return QSize(side, side);
}

void SymbolView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  SymbolImage::paint(painter, QRectF(rect()), name_, color_);
}

#include "theme/neoncard.h"

#include "theme/glowbackdrop.h"
#include "theme/palette.h"

#include <QPainter>

NeonCard::NeonCard(const QColor& neon, qreal glowRadius, QWidget* parent)
    : QWidget(parent), style_{neon, glowRadius} {
  glow_ = new GlowBackdrop(this);
  glow_->setGlow(style_.glow(), cardRect(), NeonCardStyle::cornerRadius, Palette::cyberCardBg.alphaF());
}

void NeonCard::setNeon(const QColor& neon, qreal glowRadius) {
  style_ = NeonCardStyle{neon, glowRadius};
  glow_->setGlow(style_.glow(), cardRect(), NeonCardStyle::cornerRadius, Palette::cyberCardBg.alphaF());
  update();
}

QRectF NeonCard::cardRect() const {
  // The 1.2-wide outline is centred on the shape's edge: keep it inside.
  const qreal inset = NeonCardStyle::borderWidth / 2;
  return QRectF(rect()).adjusted(inset, inset, -inset, -inset);
}

void NeonCard::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style_.paintBody(painter, cardRect());
}

void NeonCard::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  glow_->setGlow(style_.glow(), cardRect(), NeonCardStyle::cornerRadius, Palette::cyberCardBg.alphaF());
}

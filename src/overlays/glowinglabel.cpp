#include "overlays/glowinglabel.h"

#include "theme/gloweffect.h"

#include <QPainter>

GlowingLabel::GlowingLabel(const QFont& font, const QColor& color, const Glow& glow, QWidget* parent)
    : QLabel(parent), color_(color), glow_(new GlowEffect(glow, this)) {
  setFont(font);
  setGraphicsEffect(glow_);
}

void GlowingLabel::setColor(const QColor& color, const Glow& glow) {
  color_ = color;
  glow_->setGlow(glow);
  update();
}

void GlowingLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(color_);
  painter.drawText(contentsRect(), int(alignment()), text());
}

#include "theme/neoncard.h"

#include "theme/glowbackdrop.h"
#include "theme/palette.h"

#include <QPainter>

NeonCard::NeonCard(const QColor& neon, qreal glowRadius, QWidget* parent)
    : QWidget(parent),
      style_{neon, glowRadius},
      from_(style_),
      progress_(new EasedValue(1.0, 0, QEasingCurve::InOutQuad, this)) {
  glow_ = new GlowBackdrop(this);
  placeGlow();
  connect(progress_, &EasedValue::changed, this, &NeonCard::placeGlow);
}

void NeonCard::setNeonTransition(int durationMs, const QEasingCurve& curve) {
  progress_->setTiming(durationMs, curve);
}

void NeonCard::setNeon(const QColor& neon, qreal glowRadius) {
  const NeonCardStyle next{neon, glowRadius};
  if (next.neon == style_.neon && next.glowRadius == style_.glowRadius) return;
  from_ = shownStyle();
  style_ = next;
  progress_->jumpTo(0.0);
  if (progress_->animation().duration() > 0) {
    progress_->setTarget(1.0);
  } else {
    progress_->jumpTo(1.0);
  }
}

NeonCardStyle NeonCard::shownStyle() const {
  const qreal t = progress_->value().toReal();
  if (t >= 1) return style_;
  return NeonCardStyle{mixColors(from_.neon, style_.neon, t),
                       from_.glowRadius + (style_.glowRadius - from_.glowRadius) * t};
}

void NeonCard::placeGlow() {
  const NeonCardStyle& glowing = progress_->value().toReal() < 0.5 ? from_ : style_;
  glow_->setGlow(glowing.glow(), cardRect(), NeonCardStyle::cornerRadius, Palette::cyberCardBg.alphaF());
  update();
}

QRectF NeonCard::cardRect() const {
  // The 1.2-wide outline is centred on the shape's edge: keep it inside.
  const qreal inset = NeonCardStyle::borderWidth / 2;
  return QRectF(rect()).adjusted(inset, inset, -inset, -inset);
}

void NeonCard::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  shownStyle().paintBody(painter, cardRect());
}

void NeonCard::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeGlow();
}

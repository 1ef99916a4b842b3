#include "mainwindow/neontoggle.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QPainter>
#include <QPainterPath>

using namespace Palette;

NeonToggle::NeonToggle(const QColor& color, QWidget* parent)
    : QAbstractButton(parent), color_(color), glow_(new GlowEffect(Glow{clear, 0}, this)) {
  setCheckable(true);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setGraphicsEffect(glow_);
  // A short spring: quick, with a little overshoot.
  knob_.setDuration(250);
  knob_.setEasingCurve(QEasingCurve(QEasingCurve::OutBack));
  connect(&knob_, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    knobOffset_ = value.toReal();
    update();
  });
  connect(this, &QAbstractButton::toggled, this, [this] { follow(isVisible()); });
}

void NeonToggle::follow(bool animated) {
  const qreal target = isChecked() ? 10 : -10;
  glow_->setGlow(isChecked() ? Glow{withOpacity(color_, 0.4), 4} : Glow{clear, 0});
  knob_.stop();
  if (!animated || qFuzzyCompare(knobOffset_, target)) {
    knobOffset_ = target;
    update();
    return;
  }
  knob_.setStartValue(knobOffset_);
  knob_.setEndValue(target);
  knob_.start();
}

void NeonToggle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) painter.setOpacity(0.4);
  const bool on = isChecked();
  const QRectF track = QRectF(0, 0, 44, 24).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath trackShape;
  trackShape.addRoundedRect(track, 12, 12);
  painter.fillPath(trackShape, on ? withOpacity(color_, 0.25) : withOpacity(black, 0.4));
  painter.strokePath(trackShape, QPen(on ? withOpacity(color_, 0.7) : cyberBorder, 1));

  const QPointF centre = track.center() + QPointF(knobOffset_, 0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(on ? color_ : withOpacity(cyberTextTertiary, 0.4));
  painter.drawEllipse(centre, 9, 9);
}

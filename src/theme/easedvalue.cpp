#include "theme/easedvalue.h"

#include <QWidget>

#include <algorithm>

EasedValue::EasedValue(const QVariant& initial, int durationMs, const QEasingCurve& curve, QWidget* owner)
    : QObject(owner), owner_(owner), value_(initial), target_(initial) {
  animation_.setParent(this);  // found among the widget's children while it runs
  animation_.setDuration(durationMs);
  animation_.setEasingCurve(curve);
  // The animation runs a fraction from 0 to 1 along the curve; the value is
  // worked out from it here, the same way for every kind of value.
  animation_.setStartValue(0.0);
  animation_.setEndValue(1.0);
  // A step that changes nothing (the first one, often) repaints nothing.
  connect(&animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& fraction) {
    const QVariant next = interpolate(from_, target_, fraction.toReal());
    if (next != value_) step(next);
  });
  // The last step lands exactly on the target, whatever the curve computed.
  connect(&animation_, &QVariantAnimation::finished, this, [this] {
    if (value_ != target_) step(target_);
  });
}

void EasedValue::setTarget(const QVariant& target) {
  if (target == target_ && (isRunning() || value_ == target)) return;
  target_ = target;
  animation_.stop();
  if (!owner_ || !owner_->isVisible() || value_ == target) {
    step(target);
    return;
  }
  from_ = value_;
  animation_.start();
}

QVariant EasedValue::interpolate(const QVariant& from, const QVariant& to, qreal fraction) {
  if (from.typeId() == QMetaType::QColor && to.typeId() == QMetaType::QColor) {
    // A curve that overshoots (a spring) would leave the colour space.
    return mixColors(from.value<QColor>(), to.value<QColor>(), std::clamp(fraction, 0.0, 1.0));
  }
  bool fromIsNumber = false;
  bool toIsNumber = false;
  const qreal a = from.toReal(&fromIsNumber);
  const qreal b = to.toReal(&toIsNumber);
  if (fromIsNumber && toIsNumber) return a + (b - a) * fraction;
  return to;  // nothing to ease between: the new value at once
}

void EasedValue::easeFrom(const QVariant& start, const QVariant& target) {
  animation_.stop();
  value_ = start;
  target_ = start;
  setTarget(target);
}

void EasedValue::setTiming(int durationMs, const QEasingCurve& curve) {
  animation_.setDuration(durationMs);
  animation_.setEasingCurve(curve);
}

void EasedValue::jumpTo(const QVariant& target) {
  animation_.stop();
  target_ = target;
  step(target);
}

void EasedValue::step(const QVariant& value) {
  value_ = value;
  if (owner_ && repaintArea_.isNull()) owner_->update();
  if (owner_ && !repaintArea_.isNull()) owner_->update(repaintArea_);
  Q_EMIT changed(value_);
}

QColor mixColors(const QColor& from, const QColor& to, qreal t) {
  const auto mix = [t](float a, float b) { return a + (b - a) * float(t); };
  const QColor a = from.toRgb();
  const QColor b = to.toRgb();
  return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                          mix(a.alphaF(), b.alphaF()));
}

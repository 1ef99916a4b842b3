#include "onboarding/progressbutton.h"

#include "onboarding/activityindicator.h"

#include <QPainter>

namespace {
constexpr qreal kSpinnerSide = 16;
}

ProgressButton::ProgressButton(const QColor& color, QWidget* parent) : NeonButton(QString(), color, parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  frames_.setInterval(33);
  connect(&frames_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

void ProgressButton::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy_) {
    frames_.start();
  } else {
    frames_.stop();
  }
  update();
}

void ProgressButton::paintEvent(QPaintEvent* event) {
  if (!busy_) {
    NeonButton::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const NeonButtonStyle style{color()};
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (!isEnabled()) painter.setOpacity(NeonButtonStyle::disabledOpacity);
  style.paintBody(painter, shape, false);
  const QRectF spinner(shape.center().x() - kSpinnerSide / 2, shape.center().y() - kSpinnerSide / 2, kSpinnerSide,
                       kSpinnerSide);
  ActivityIndicator::paint(painter, spinner, color(), ActivityIndicator::currentAngle());
}

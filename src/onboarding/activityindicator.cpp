#include "onboarding/activityindicator.h"

#include "theme/palette.h"

#include <QDateTime>
#include <QPainter>

ActivityIndicator::ActivityIndicator(const QColor& tint, int side, QWidget* parent)
    : QWidget(parent), tint_(tint), side_(side) {
  setFixedSize(side, side);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // About 30 frames a second, only while on screen.
  frames_.setInterval(33);
  connect(&frames_, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

int ActivityIndicator::currentAngle() {
  return int((QDateTime::currentMSecsSinceEpoch() % 1000) * 360 / 1000);
}

void ActivityIndicator::paint(QPainter& painter, const QRectF& box, const QColor& tint, int degrees) {
  const qreal side = std::min(box.width(), box.height());
  const qreal width = std::max(1.5, side / 9);
  const QRectF ring = QRectF(box.center().x() - side / 2, box.center().y() - side / 2, side, side)
                          .adjusted(width / 2, width / 2, -width / 2, -width / 2);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(Palette::withOpacity(tint, 0.2), width));
  painter.drawEllipse(ring);
  painter.setPen(QPen(tint, width, Qt::SolidLine, Qt::RoundCap));
  // Qt counts angles anticlockwise in sixteenths: a negative start turns clockwise.
  painter.drawArc(ring, -degrees * 16, 100 * 16);
  painter.restore();
}

void ActivityIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paint(painter, rect(), tint_, currentAngle());
}

void ActivityIndicator::showEvent(QShowEvent* event) {
  frames_.start();
  QWidget::showEvent(event);
}

void ActivityIndicator::hideEvent(QHideEvent* event) {
  frames_.stop();
  QWidget::hideEvent(event);
}

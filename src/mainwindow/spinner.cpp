#include "mainwindow/spinner.h"

#include <QPainter>

#include <cmath>

Spinner::Spinner(const QColor& color, qreal diameter, QWidget* parent)
    : QWidget(parent), color_(color), diameter_(diameter) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  timer_.setInterval(16);
  connect(&timer_, &QTimer::timeout, this, [this] {
    angle_ = (angle_ + 8) % 360;
    update();
  });
}

QSize Spinner::sizeHint() const {
  const int side = int(std::ceil(diameter_));
  return QSize(side, side);
}

void Spinner::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal lineWidth = std::max<qreal>(1.5, diameter_ / 9);
  const qreal side = std::min<qreal>(diameter_, std::min(width(), height())) - lineWidth;
  const QRectF ring(QRectF(rect()).center() - QPointF(side / 2, side / 2), QSizeF(side, side));
  QColor track = color_;
  track.setAlphaF(color_.alphaF() * 0.2);
  painter.setPen(QPen(track, lineWidth));
  painter.drawEllipse(ring);
  painter.setPen(QPen(color_, lineWidth, Qt::SolidLine, Qt::RoundCap));
  painter.drawArc(ring, -angle_ * 16, 100 * 16);
}

void Spinner::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_.start();
}

void Spinner::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  timer_.stop();
}

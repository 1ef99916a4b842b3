#include "mainwindow/progressspinner.h"

#include "theme/palette.h"

#include <QPainter>

ProgressSpinner::ProgressSpinner(const QColor& color, int side, QWidget* parent) : QWidget(parent), color_(color) {
  setFixedSize(side, side);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // About one turn a second, smooth enough at 30 steps.
  timer_.setInterval(33);
  connect(&timer_, &QTimer::timeout, this, [this] {
    angle_ = (angle_ + 12) % 360;
    update();
  });
}

void ProgressSpinner::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal line = std::max(1.5, width() / 8.0);
  const QRectF ring = QRectF(rect()).adjusted(line, line, -line, -line);
  painter.setPen(QPen(Palette::withOpacity(color_, 0.2), line));
  painter.drawEllipse(ring);
  painter.setPen(QPen(color_, line, Qt::SolidLine, Qt::RoundCap));
  // Qt counts sixteenths of a degree, anticlockwise.
  painter.drawArc(ring, -angle_ * 16, 100 * 16);
}

void ProgressSpinner::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  timer_.start();
}

void ProgressSpinner::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  timer_.stop();
}

#include "mainwindow/gateseparator.h"

#include <QPainter>

GateSeparator::GateSeparator(const QColor& color, int inset, QWidget* parent)
    : QWidget(parent), color_(color), inset_(inset) {
  setFixedHeight(1);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GateSeparator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
  painter.fillRect(QRect(rightToLeft ? 0 : inset_, 0, width() - inset_, 1), color_);
}

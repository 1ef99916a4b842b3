#include "mainwindow/badgelabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

BadgeLabel::BadgeLabel(const Look& look, QWidget* parent) : QWidget(parent), look_(look) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void BadgeLabel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  updateGeometry();
  update();
}

void BadgeLabel::setLook(const Look& look) {
  look_ = look;
  updateGeometry();
  update();
}

QSize BadgeLabel::sizeHint() const {
  const QFontMetricsF metrics(look_.font);
  const QMarginsF& padding = look_.padding;
  return QSize(int(std::ceil(metrics.horizontalAdvance(text_) + padding.left() + padding.right())),
               int(std::ceil(metrics.height() + padding.top() + padding.bottom())));
}

void BadgeLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal inset = look_.stroke.isValid() ? look_.strokeWidth / 2 : 0;
  const QRectF bounds = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
  QPainterPath shape;
  shape.addRoundedRect(bounds, look_.radius, look_.radius);
  painter.fillPath(shape, look_.fill);
  if (look_.stroke.isValid() && look_.strokeWidth > 0) painter.strokePath(shape, QPen(look_.stroke, look_.strokeWidth));
  painter.setFont(look_.font);
  painter.setPen(look_.textColor);
  painter.drawText(QRectF(rect()).marginsRemoved(look_.padding), Qt::AlignCenter, text_);
}

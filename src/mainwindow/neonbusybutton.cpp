#include "mainwindow/neonbusybutton.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

NeonBusyButton::NeonBusyButton(const QColor& color, const QFont& labelFont, QWidget* parent)
    : QAbstractButton(parent), style_{color}, font_(labelFont) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setGraphicsEffect(new GlowEffect(style_.glow(), this));
  turn_.setInterval(33);
  connect(&turn_, &QTimer::timeout, this, [this] {
    angle_ = (angle_ + 12) % 360;
    update();
  });
}

void NeonBusyButton::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy_ && isVisible()) {
    turn_.start();
  } else {
    turn_.stop();
  }
  updateGeometry();
  update();
}

QSize NeonBusyButton::sizeHint() const {
  const QFontMetricsF metrics(font_);
  QSizeF label(metrics.horizontalAdvance(text()), metrics.height());
  if (busy_) label.setWidth(label.width() + spinnerSide + spacing);
  const QSizeF size = NeonButtonStyle::sizeFor(label);
  return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void NeonBusyButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const bool pressed = isDown() && isEnabled();
  if (!isEnabled()) painter.setOpacity(NeonButtonStyle::disabledOpacity);
  style_.paintBody(painter, shape, pressed);
  const QColor foreground = style_.labelColor(pressed);
  const QRectF label = shape.marginsRemoved(NeonButtonStyle::padding());
  const QFontMetricsF metrics(font_);
  const qreal textWidth = metrics.horizontalAdvance(text());
  qreal x = label.center().x() - (textWidth + (busy_ ? spinnerSide + spacing : 0)) / 2;
  if (busy_) {
    const QRectF ring(x + 1, label.center().y() - spinnerSide / 2 + 1, spinnerSide - 2, spinnerSide - 2);
    painter.setPen(QPen(Palette::withOpacity(foreground, 0.25), 1.5));
    painter.drawEllipse(ring);
    painter.setPen(QPen(foreground, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -angle_ * 16, 100 * 16);
    x += spinnerSide + spacing;
  }
  painter.setFont(font_);
  painter.setPen(foreground);
  painter.drawText(QRectF(x, label.top(), textWidth + 1, label.height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

void NeonBusyButton::showEvent(QShowEvent* event) {
  QAbstractButton::showEvent(event);
  if (busy_) turn_.start();
}

void NeonBusyButton::hideEvent(QHideEvent* event) {
  QAbstractButton::hideEvent(event);
  turn_.stop();
}

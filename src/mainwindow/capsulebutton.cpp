#include "mainwindow/capsulebutton.h"

#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {
constexpr qreal kHorizontalPadding = 10;
constexpr qreal kVerticalPadding = 5;
}  // namespace

CapsuleButton::CapsuleButton(const QFont& font, const QColor& textColor, const QColor& outline, QWidget* parent)
    : QAbstractButton(parent), font_(font), textColor_(textColor), outline_(outline) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
}

QSize CapsuleButton::sizeHint() const {
  const QFontMetricsF metrics(font_);
  return QSize(int(std::ceil(metrics.horizontalAdvance(text()) + 2 * kHorizontalPadding)),
               int(std::ceil(metrics.height() + 2 * kVerticalPadding)));
}

void CapsuleButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = shape.height() / 2;
  QPainterPath capsule;
  capsule.addRoundedRect(shape, radius, radius);
  painter.strokePath(capsule, QPen(outline_, 1));
  painter.setFont(font_);
  painter.setPen(isDown() ? Palette::withOpacity(textColor_, 0.5) : textColor_);
  painter.drawText(rect(), Qt::AlignCenter, text());
}

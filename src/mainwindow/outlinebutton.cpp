#include "mainwindow/outlinebutton.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

OutlineButton::OutlineButton(const QFont& font, const QColor& textColor, const QColor& outline, QWidget* parent)
    : QAbstractButton(parent), font_(font), textColor_(textColor), outline_(outline) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
}

void OutlineButton::setSymbol(const QString& name, qreal pointSize) {
  symbol_ = name;
  symbolSize_ = pointSize;
  updateGeometry();
  update();
}

void OutlineButton::setFill(const QColor& fill) {
  fill_ = fill;
  update();
}

void OutlineButton::setCornerRadius(qreal radius) {
  cornerRadius_ = radius;
  update();
}

void OutlineButton::setPadding(qreal horizontal, qreal vertical) {
  horizontalPadding_ = horizontal;
  verticalPadding_ = vertical;
  updateGeometry();
}

QSize OutlineButton::sizeHint() const {
  const QFontMetricsF metrics(font_);
  qreal width = metrics.horizontalAdvance(text());
  qreal height = metrics.height();
  if (!symbol_.isEmpty()) {
    const qreal side = SymbolImage::boxSide(symbolSize_);
    width += side + (text().isEmpty() ? 0 : spacing);
    height = std::max(height, side);
  }
  return QSize(int(std::ceil(width + 2 * horizontalPadding_)), int(std::ceil(height + 2 * verticalPadding_)));
}

void OutlineButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = cornerRadius_ < 0 ? shape.height() / 2 : cornerRadius_;
  QPainterPath outline;
  outline.addRoundedRect(shape, radius, radius);
  painter.fillPath(outline, fill_);
  painter.strokePath(outline, QPen(outline_, 1));

  const QColor colour = isDown() ? Palette::withOpacity(textColor_, 0.5) : textColor_;
  const QFontMetricsF metrics(font_);
  const qreal side = symbol_.isEmpty() ? 0 : SymbolImage::boxSide(symbolSize_);
  const qreal textWidth = metrics.horizontalAdvance(text());
  const qreal labelWidth = textWidth + side + (side > 0 && !text().isEmpty() ? spacing : 0);
  qreal x = width() / 2.0 - labelWidth / 2;
  const qreal middle = height() / 2.0;
  if (side > 0) {
    SymbolImage::paint(painter, QRectF(x, middle - side / 2, side, side), symbol_, colour);
    x += side + spacing;
  }
  painter.setFont(font_);
  painter.setPen(colour);
  painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

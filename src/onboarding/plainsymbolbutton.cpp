#include "onboarding/plainsymbolbutton.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

PlainSymbolButton::PlainSymbolButton(const QString& symbol, qreal symbolSize, const QFont& font, const QColor& color,
                                     qreal spacing, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), symbolSize_(symbolSize), color_(color), spacing_(spacing) {
  setFont(font);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize PlainSymbolButton::sizeHint() const {
  const QFontMetricsF metrics(font());
  const qreal side = SymbolImage::boxSide(symbolSize_);
  const qreal width = side + spacing_ + metrics.horizontalAdvance(text());
  const qreal height = std::max(side, metrics.height());
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void PlainSymbolButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = isDown() ? Palette::withOpacity(color_, 0.5) : color_;
  const qreal side = SymbolImage::boxSide(symbolSize_);
  const qreal middle = height() / 2.0;
  SymbolImage::paint(painter, QRectF(0, middle - side / 2, side, side), symbol_, colour);
  painter.setFont(font());
  painter.setPen(colour);
  painter.drawText(QRectF(side + spacing_, 0, width() - side - spacing_, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   text());
}

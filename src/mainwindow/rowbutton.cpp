#include "mainwindow/rowbutton.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

RowButton::RowButton(const QString& symbol, qreal symbolSize, const QFont& font, const QColor& color,
                     qreal verticalPadding, QWidget* parent)
    : QAbstractButton(parent),
      symbol_(symbol),
      symbolSize_(symbolSize),
      font_(font),
      color_(color),
      verticalPadding_(verticalPadding) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
}

QSize RowButton::sizeHint() const {
  const QFontMetricsF metrics(font_);
  const qreal side = SymbolImage::boxSide(symbolSize_);
  const qreal width = side + kSpacing + metrics.horizontalAdvance(text());
  const qreal height = std::max(side, metrics.height()) + 2 * verticalPadding_;
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

QSize RowButton::minimumSizeHint() const { return sizeHint(); }

void RowButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = isDown() ? Palette::withOpacity(color_, 0.5) : color_;
  const QFontMetricsF metrics(font_);
  const qreal side = SymbolImage::boxSide(symbolSize_);
  const qreal textWidth = metrics.horizontalAdvance(text());
  qreal x = (width() - (side + kSpacing + textWidth)) / 2;
  const qreal middle = height() / 2.0;
  SymbolImage::paint(painter, QRectF(x, middle - side / 2, side, side), symbol_, colour);
  x += side + kSpacing;
  painter.setFont(font_);
  painter.setPen(colour);
  painter.drawText(QRectF(x, 0, textWidth + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

#include "mainwindow/plainbutton.h"

#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

PlainButton::PlainButton(const QString& text, const QFont& font, const QColor& color, QWidget* parent)
    : QAbstractButton(parent), font_(font), color_(color) {
  setText(text);
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  // Like the other chrome-less buttons it never takes the focus: a clicked
  // button that then goes away (MORE on the last page, a card's audio
  // buttons) would hand it on, and the scroll area would jump to wherever it
  // landed.
  setFocusPolicy(Qt::NoFocus);
}

void PlainButton::setSymbol(const QString& name, qreal pointSize) {
  symbol_ = name;
  symbolSize_ = pointSize;
  updateGeometry();
  update();
}

void PlainButton::setColor(const QColor& color) {
  color_ = color;
  update();
}

void PlainButton::setSpacing(qreal spacing) {
  spacing_ = spacing;
  updateGeometry();
  update();
}

QSize PlainButton::sizeHint() const {
  const QFontMetricsF metrics(font_);
  qreal width = metrics.horizontalAdvance(text());
  qreal height = metrics.height();
  if (!symbol_.isEmpty()) {
    const qreal side = SymbolImage::boxSide(symbolSize_);
    // A symbol alone needs no gap after it.
    width += side + (text().isEmpty() ? 0 : spacing_);
    height = std::max(height, side);
  }
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void PlainButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colour = isDown() ? Palette::withOpacity(color_, 0.5) : color_;
  qreal x = 0;
  const qreal middle = height() / 2.0;
  if (!symbol_.isEmpty()) {
    const qreal side = SymbolImage::boxSide(symbolSize_);
    SymbolImage::paint(painter, QRectF(x, middle - side / 2, side, side), symbol_, colour);
    x += side + spacing_;
  }
  painter.setFont(font_);
  painter.setPen(colour);
  painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
}

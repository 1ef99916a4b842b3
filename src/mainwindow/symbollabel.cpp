#include "mainwindow/symbollabel.h"

#include "theme/gloweffect.h"
#include "theme/symbolimage.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

SymbolLabel::SymbolLabel(const QString& symbol, qreal symbolSize, const QFont& font, const QColor& color,
                         qreal spacing, QWidget* parent)
    : QLabel(parent), symbol_(symbol), symbolSize_(symbolSize), font_(font), color_(color), spacing_(spacing) {
  setTextFormat(Qt::PlainText);
  setFont(font);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SymbolLabel::setGlow(const Glow& glow) {
  if (glow_) {
    glow_->setGlow(glow);
    return;
  }
  glow_ = new GlowEffect(glow, this);
  setGraphicsEffect(glow_);
}

QSize SymbolLabel::sizeHint() const {
  const QFontMetricsF metrics(font_);
  const qreal side = SymbolImage::boxSide(symbolSize_);
  const qreal width = side + (text().isEmpty() ? 0 : spacing_ + metrics.horizontalAdvance(text()));
  return QSize(int(std::ceil(width)), int(std::ceil(std::max(metrics.height(), side))));
}

void SymbolLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintGlowSource(painter);
}

void SymbolLabel::paintGlowSource(QPainter& painter) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = SymbolImage::boxSide(symbolSize_);
  SymbolImage::paint(painter, QRectF(0, height() / 2.0 - side / 2, side, side), symbol_, color_);
  const qreal x = side + spacing_;
  painter.setFont(font_);
  painter.setPen(color_);
  painter.drawText(QRectF(x, 0, width() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
  painter.restore();
}

QString SymbolLabel::glowSourceKey() const {
  return QStringLiteral("symbol label %1 %2 %3 %4 %5 ")
             .arg(symbol_, color_.name(QColor::HexArgb), font_.key())
             .arg(symbolSize_)
             .arg(spacing_) +
         text();
}

#include "theme/neonbutton.h"

#include "theme/gloweffect.h"
#include "theme/symbolimage.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

NeonButton::NeonButton(const QString& text, const QColor& color, QWidget* parent)
    : QAbstractButton(parent), style_{color}, labelFont_(NeonButtonStyle::font()) {
  setText(text);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  glow_ = new GlowEffect(style_.glow(), this);
  setGraphicsEffect(glow_);
}

void NeonButton::setColor(const QColor& color) {
  if (color == style_.color) return;
  style_.color = color;
  glow_->setGlow(style_.glow());
  update();
  Q_EMIT colorChanged();
}

void NeonButton::setLeadingSymbol(const QString& name, qreal pointSize) {
  leading_ = {name, pointSize};
  labelChanged();
}

void NeonButton::setTrailingSymbol(const QString& name, qreal pointSize) {
  trailing_ = {name, pointSize};
  labelChanged();
}

void NeonButton::setLabelFont(const QFont& font) {
  labelFont_ = font;
  labelChanged();
}

void NeonButton::setSpacing(qreal spacing) {
  spacing_ = spacing;
  labelChanged();
}

void NeonButton::labelChanged() {
  updateGeometry();
  update();
}

QSizeF NeonButton::labelSize() const {
  const QFontMetricsF metrics(labelFont_);
  qreal width = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
  qreal height = metrics.height();
  int parts = text().isEmpty() ? 0 : 1;
  for (const Symbol& symbol : {leading_, trailing_}) {
    if (symbol.name.isEmpty()) continue;
    const qreal side = SymbolImage::boxSide(symbol.pointSize);
    width += side;
    height = std::max(height, side);
    ++parts;
  }
  if (parts > 1) width += spacing_ * (parts - 1);
  return QSizeF(width, height);
}

QSize NeonButton::sizeHint() const {
  const QSizeF size = NeonButtonStyle::sizeFor(labelSize());
  return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

void NeonButton::paintLabel(QPainter& painter, const QRectF& rect, const QColor& foreground) const {
  const QSizeF size = labelSize();
  qreal x = rect.center().x() - size.width() / 2;
  const qreal middle = rect.center().y();
  const auto drawSymbol = [&](const Symbol& symbol) {
    const qreal side = SymbolImage::boxSide(symbol.pointSize);
    SymbolImage::paint(painter, QRectF(x, middle - side / 2, side, side), symbol.name, foreground);
    x += side + spacing_;
  };
  if (!leading_.name.isEmpty()) drawSymbol(leading_);
  if (!text().isEmpty()) {
    const QFontMetricsF metrics(labelFont_);
    const qreal width = metrics.horizontalAdvance(text());
    painter.setFont(labelFont_);
    painter.setPen(foreground);
    painter.drawText(QRectF(x, middle - metrics.height() / 2, width, metrics.height()), Qt::AlignCenter, text());
    x += width + spacing_;
  }
  if (!trailing_.name.isEmpty()) drawSymbol(trailing_);
}

void NeonButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The outline is stroked on the shape's edge: keep it inside the widget.
  const QRectF shape = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  const bool pressed = isDown() && isEnabled();
  if (!isEnabled()) painter.setOpacity(NeonButtonStyle::disabledOpacity);
  style_.paintBody(painter, shape, pressed);
  paintLabel(painter, shape.marginsRemoved(NeonButtonStyle::padding()), style_.labelColor(pressed));
}

void NeonButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QAbstractButton::changeEvent(event);
}

#include "theme/glowlabel.h"

#include "theme/gloweffect.h"

#include <QPainter>

GlowLabel::GlowLabel(const QString& text, const QColor& color, qreal size, QFont::Weight weight, QWidget* parent)
    : QLabel(text, parent), color_(color), size_(size), weight_(weight) {
  setFont(style().font());
  glow_ = new GlowEffect(style().glow(), this);
  setGraphicsEffect(glow_);
}

GlowText GlowLabel::style() const { return GlowText{text(), color_, size_, weight_}; }

void GlowLabel::setColor(const QColor& color) {
  color_ = color;
  glow_->setGlow(style().glow());
  update();
}

void GlowLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int flags = int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
  style().paintBody(painter, contentsRect(), flags);
}

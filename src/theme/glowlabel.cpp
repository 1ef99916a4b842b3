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

int GlowLabel::textFlags() const { return int(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0); }

void GlowLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  paintGlowSource(painter);
}

void GlowLabel::paintGlowSource(QPainter& painter) const { style().paintBody(painter, contentsRect(), textFlags()); }

QString GlowLabel::glowSourceKey() const {
  const QRect room = contentsRect();
  return QStringLiteral("label %1 %2 %3 %4 %5 %6,%7,%8,%9")
      .arg(color_.name(QColor::HexArgb))
      .arg(size_)
      .arg(int(weight_))
      .arg(textFlags())
      .arg(room.x())
      .arg(room.y())
      .arg(room.width())
      .arg(room.height())
      .arg(text());
}

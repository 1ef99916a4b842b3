#include "onboarding/linkbutton.h"

#include "theme/gloweffect.h"
#include "theme/neonbuttonstyle.h"
#include "theme/palette.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

LinkButton::LinkButton(const QFont& font, const QColor& color, QWidget* parent)
    : QAbstractButton(parent), font_(font), color_(color) {
  setCursor(Qt::PointingHandCursor);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LinkButton::setColor(const QColor& color) {
  color_ = color;
  update();
}

void LinkButton::setUnderlined(bool underlined) {
  font_.setUnderline(underlined);
  updateGeometry();
  update();
}

void LinkButton::setGlow(const Glow& glow) {
  if (!glow_) {
    glow_ = new GlowEffect(glow, this);
    setGraphicsEffect(glow_);
  } else {
    glow_->setGlow(glow);
  }
}

void LinkButton::setTextAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

QSize LinkButton::sizeHint() const {
  const QFontMetricsF metrics(font_);
  return QSize(int(std::ceil(metrics.horizontalAdvance(text()))), int(std::ceil(metrics.height())));
}

void LinkButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!isEnabled()) painter.setOpacity(NeonButtonStyle::disabledOpacity);
  // A pressed link dims, as a plain button's label does.
  painter.setPen(isDown() ? Palette::withOpacity(color_, 0.5) : color_);
  painter.setFont(font_);
  painter.drawText(rect(), int(alignment_ | Qt::AlignVCenter), text());
}

void LinkButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) update();
  QAbstractButton::changeEvent(event);
}

#include "onboarding/keychip.h"

#include "onboarding/roundedplate.h"
#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

KeyChip::KeyChip(const QColor& color, Look look, QWidget* parent) : QWidget(parent), color_(color), look_(look) {
  setFont(rajdhaniSemiBold(look.fontSize));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  if (look.glowOpacity > 0) setGraphicsEffect(new GlowEffect(Glow{Palette::withOpacity(color, look.glowOpacity), 3}, this));
}

void KeyChip::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  updateGeometry();
  update();
}

QSize KeyChip::sizeHint() const {
  const QFontMetricsF metrics(font());
  const qreal width = metrics.horizontalAdvance(text_) + look_.padding.left() + look_.padding.right();
  const qreal height = metrics.height() + look_.padding.top() + look_.padding.bottom();
  return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void KeyChip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  paintRoundedPlate(painter, QRectF(rect()), look_.cornerRadius, Palette::withOpacity(color_, 0.1),
                    Palette::withOpacity(color_, 0.4), look_.lineWidth);
  painter.setFont(font());
  painter.setPen(color_);
  painter.drawText(QRectF(rect()).marginsRemoved(look_.padding), Qt::AlignCenter | Qt::TextSingleLine, text_);
}

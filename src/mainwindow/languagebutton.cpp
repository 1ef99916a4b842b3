#include "mainwindow/languagebutton.h"

#include "theme/fonts.h"
#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Palette;

LanguageButton::LanguageButton(AppLanguage language, QWidget* parent)
    : QAbstractButton(parent), language_(language), glow_(new GlowEffect(Glow{clear, 0}, this)) {
  setText(displayName(language));
  setFont(rajdhaniSemiBold(14));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::NoFocus);
  setGraphicsEffect(glow_);
}

void LanguageButton::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  glow_->setGlow(selected ? Glow{withOpacity(neonCyan, 0.3), 4} : Glow{clear, 0});
  update();
}

QSize LanguageButton::sizeHint() const {
  const QFontMetricsF metrics(font());
  return QSize(int(std::ceil(metrics.horizontalAdvance(text()) + 40)), int(std::ceil(metrics.height() + 20)));
}

void LanguageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor tone = selected_ ? neonCyan : cyberBorder;
  const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  shape.addRoundedRect(bounds, 8, 8);
  painter.fillPath(shape, withOpacity(tone, 0.12));
  painter.strokePath(shape, QPen(withOpacity(tone, 0.4), 1));
  painter.setPen(selected_ ? neonCyan : cyberTextSecondary);
  painter.setFont(font());
  painter.drawText(bounds, Qt::AlignCenter, text());
}

#include "mainwindow/creditsbar.h"

#include "theme/glow.h"
#include "theme/palette.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

CreditsBar::CreditsBar(QWidget* parent) : QWidget(parent), color_(Palette::neonRed) {
  setFixedHeight(5);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CreditsBar::setFraction(double fraction, const QColor& color) {
  fraction_ = std::clamp(fraction, 0.0, 1.0);
  color_ = color;
  update();
}

void CreditsBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath track;
  track.addRoundedRect(QRectF(rect()), 3, 3);
  painter.fillPath(track, Palette::cyberBorder);
  if (fraction_ <= 0) return;
  const QRectF filled(0, 0, width() * fraction_, height());
  QPainterPath bar;
  bar.addRoundedRect(filled, 3, 3);
  // The glow stays inside the bar's own height: the widget is only 5 high.
  Glow{Palette::withOpacity(color_, 0.5), 3}.paint(painter, filled, [&](QPainter& p) { p.fillPath(bar, color_); });
}

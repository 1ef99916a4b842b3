#include "mainwindow/openclawiconbox.h"

#include "theme/fonts.h"
#include "theme/palette.h"

#include <QPainter>
#include <QPainterPath>

OpenClawIconBox::OpenClawIconBox(const QColor& color, QWidget* parent) : QWidget(parent), color_(color) {
  setFixedSize(side, side);
}

void OpenClawIconBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
  painter.fillPath(box, Palette::withOpacity(color_, 0.08));
  painter.strokePath(box, QPen(Palette::withOpacity(color_, 0.5), 1));
  // The emoji comes from the fallback fonts the theme's faces carry.
  painter.setFont(rajdhaniMedium(28));
  painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("🦞"));
}

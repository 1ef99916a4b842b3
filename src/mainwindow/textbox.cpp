#include "mainwindow/textbox.h"

#include "theme/palette.h"

#include <QPainter>
#include <QPainterPath>

TextBox::TextBox(QWidget* parent, qreal darkness) : QWidget(parent), darkness_(darkness) {}

void TextBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), 8, 8);
  painter.fillPath(box, Palette::withOpacity(Palette::black, darkness_));
  painter.strokePath(box, QPen(Palette::cyberBorder, 0.5));
}

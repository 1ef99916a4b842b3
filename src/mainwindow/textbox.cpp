#include "mainwindow/textbox.h"

#include "theme/palette.h"

#include <QPainter>
#include <QPainterPath>

TextBox::TextBox(QWidget* parent) : QWidget(parent) {}

void TextBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath box;
  box.addRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), 8, 8);
  painter.fillPath(box, Palette::withOpacity(Palette::black, 0.3));
  painter.strokePath(box, QPen(Palette::cyberBorder, 0.5));
}

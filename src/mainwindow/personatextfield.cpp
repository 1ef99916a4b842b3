#include "mainwindow/personatextfield.h"

#include "theme/cybertextfieldstyle.h"
#include "theme/palette.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Palette;

PersonaTextField::PersonaTextField(const QFont& font, const QColor& fill, QWidget* parent)
    : QLineEdit(parent), fill_(fill), outline_(cyberBorder) {
  setFont(font);
  setFrame(false);
  setTextMargins(10, 10, 10, 10);
  QPalette colours = palette();
  colours.setColor(QPalette::Base, Palette::clear);
  colours.setColor(QPalette::Text, cyberTextPrimary);
  colours.setColor(QPalette::PlaceholderText, CyberTextFieldStyle::placeholderColor());
  colours.setColor(QPalette::Highlight, withOpacity(neonCyan, 0.35));
  colours.setColor(QPalette::HighlightedText, cyberTextPrimary);
  setPalette(colours);
}

void PersonaTextField::setOutline(const QColor& outline) {
  if (outline == outline_) return;
  outline_ = outline;
  update();
}

QSize PersonaTextField::sizeHint() const {
  const QSize base = QLineEdit::sizeHint();
  return QSize(base.width(), int(std::ceil(fontMetrics().height() + 20)));
}

void PersonaTextField::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.fillPath(shape, fill_);
    painter.strokePath(shape, QPen(outline_, 1));
  }
  QLineEdit::paintEvent(event);
}

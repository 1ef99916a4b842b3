#include "mainwindow/textlabel.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"

#include <QPainter>
#include <QShowEvent>

TextLabel::TextLabel(const QFont& font, const QColor& color, QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setFont(font);
  setColor(color);
}

void TextLabel::setColor(const QColor& color) {
  color_ = color;
  QPalette colours = palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colours.setColor(group, QPalette::WindowText, color);
    colours.setColor(group, QPalette::Text, color);
  }
  setPalette(colours);
}

void TextLabel::setGlow(const Glow& glow) {
  if (!glow.isVisible()) {
    if (glow_) setGraphicsEffect(nullptr);  // deletes the effect
    glow_ = nullptr;
    return;
  }
  if (glow_) {
    glow_->setGlow(glow);
  } else {
    glow_ = new GlowEffect(glow, this);
    setGraphicsEffect(glow_);
  }
}

void TextLabel::setSelectable(bool selectable) {
  selectable_ = selectable;
  QPalette colours = palette();
  colours.setColor(QPalette::Highlight, Palette::withOpacity(Palette::neonCyan, 0.35));
  colours.setColor(QPalette::HighlightedText, Palette::cyberTextPrimary);
  setPalette(colours);
  // No focus either until then: Qt makes the text document of any label that
  // can take the focus.
  setTextInteractionFlags(Qt::NoTextInteraction);
  setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void TextLabel::armSelection() {
  if (selectable_ && textInteractionFlags() == Qt::NoTextInteraction) {
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
}

void TextLabel::showEvent(QShowEvent* event) {
  // A highlight left from an earlier showing would turn the user's next press
  // inside it into a drag of the old words instead of a new selection. A
  // window restored from a minimised state (a spontaneous showing) keeps it.
  if (!event->spontaneous() && hasSelectedText()) setSelection(0, 0);
  QLabel::showEvent(event);
}

void TextLabel::enterEvent(QEnterEvent* event) {
  armSelection();
  QLabel::enterEvent(event);
}

void TextLabel::mousePressEvent(QMouseEvent* event) {
  armSelection();
  QLabel::mousePressEvent(event);
}


void TextLabel::setElideMode(Qt::TextElideMode mode) {
  elideMode_ = mode;
  updateGeometry();
  update();
}

QSize TextLabel::minimumSizeHint() const {
  QSize size = QLabel::minimumSizeHint();
  if (elideMode_ != Qt::ElideNone && !wordWrap()) {
    const QMargins margins = contentsMargins();
    size.setWidth(fontMetrics().horizontalAdvance(QStringLiteral("\u2026")) + margins.left() + margins.right());
  }
  return size;
}

void TextLabel::paintEvent(QPaintEvent* event) {
  const QRect room = contentsRect();
  if (elideMode_ == Qt::ElideNone || wordWrap() || fontMetrics().horizontalAdvance(text()) <= room.width()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(room, int(alignment()), fontMetrics().elidedText(text(), elideMode_, room.width()));
}

#include "mainwindow/textlabel.h"

#include "theme/gloweffect.h"
#include "theme/palette.h"

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
  QPalette colours = palette();
  colours.setColor(QPalette::Highlight, Palette::withOpacity(Palette::neonCyan, 0.35));
  colours.setColor(QPalette::HighlightedText, Palette::cyberTextPrimary);
  setPalette(colours);
  setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                     : Qt::NoTextInteraction);
  setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

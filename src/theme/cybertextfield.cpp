#include "theme/cybertextfield.h"

#include "theme/gloweffect.h"

#include <QPainter>
#include <QPalette>

CyberTextField::CyberTextField(const QColor& accent, QWidget* parent) : QLineEdit(parent), style_{accent} {
  setFrame(false);
  setFont(CyberTextFieldStyle::font());
  const QMarginsF pad = CyberTextFieldStyle::padding();
  // QLineEdit keeps a pixel of its own around the text; the rest is ours.
  setTextMargins(int(pad.left()) - 1, int(pad.top()) - 1, int(pad.right()) - 1, int(pad.bottom()) - 1);
  setAttribute(Qt::WA_MacShowFocusRect, false);
  applyColours();
  glow_ = new GlowEffect(style_.glow(), this);
  setGraphicsEffect(glow_);
}

void CyberTextField::setAccent(const QColor& accent) {
  if (accent == style_.accent) return;
  style_.accent = accent;
  applyColours();
  glow_->setGlow(style_.glow());
  update();
  Q_EMIT accentChanged();
}

void CyberTextField::applyColours() {
  QPalette colours = palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colours.setColor(group, QPalette::Text, CyberTextFieldStyle::textColor());
    colours.setColor(group, QPalette::Base, Qt::transparent);
    colours.setColor(group, QPalette::PlaceholderText, CyberTextFieldStyle::placeholderColor());
    colours.setColor(group, QPalette::Highlight, Palette::withOpacity(style_.accent, 0.35));
    colours.setColor(group, QPalette::HighlightedText, CyberTextFieldStyle::textColor());
  }
  colours.setColor(QPalette::Disabled, QPalette::Text, Palette::withOpacity(CyberTextFieldStyle::textColor(), 0.5));
  setPalette(colours);
}

QRectF CyberTextField::fieldRect() const { return QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5); }

void CyberTextField::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    style_.paintBody(painter, fieldRect());
  }
  QLineEdit::paintEvent(event);
}

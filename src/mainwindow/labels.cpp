#include "mainwindow/labels.h"

#include "theme/gloweffect.h"

#include <QLabel>

QLabel* makeLabel(const QFont& font, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  setLabelColor(label, color);
  return label;
}

void setLabelColor(QLabel* label, const QColor& color) {
  QPalette colours = label->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colours.setColor(group, QPalette::WindowText, color);
    colours.setColor(group, QPalette::Text, color);
  }
  label->setPalette(colours);
}

void setLabelGlow(QLabel* label, const Glow& glow) {
  auto* effect = qobject_cast<GlowEffect*>(label->graphicsEffect());
  if (!glow.isVisible()) {
    if (effect) label->setGraphicsEffect(nullptr);
    return;
  }
  if (effect) {
    effect->setGlow(glow);
  } else {
    label->setGraphicsEffect(new GlowEffect(glow, label));
  }
}

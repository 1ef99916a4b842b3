#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

// Plain-text labels in one theme font and colour, as the settings, persona
// and account views use them. Texts from the service or the user are shown as
// they are, never as rich text.
QLabel* makeLabel(const QFont& font, const QColor& color, QWidget* parent = nullptr);
void setLabelColor(QLabel* label, const QColor& color);
// A glow around the label's text; an invisible glow removes it.
void setLabelGlow(QLabel* label, const Glow& glow);

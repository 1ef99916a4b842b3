#pragma once

#include "theme/glow.h"

#include <QColor>
#include <QFont>
#include <QLabel>

class GlowEffect;

// A one-line label in any font and colour with a glow of its own, spilling
// past the label's edges (the theme's GlowLabel is fixed to running text).
class GlowingLabel : public QLabel {
  Q_OBJECT

 public:
  GlowingLabel(const QFont& font, const QColor& color, const Glow& glow, QWidget* parent = nullptr);

  QColor color() const { return color_; }
  void setColor(const QColor& color, const Glow& glow);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_;
  GlowEffect* glow_;
};

#pragma once

#include "theme/glowtext.h"

#include <QLabel>

class GlowEffect;

// A label drawn as GlowText: Rajdhani at a size and weight, in one colour,
// glowing in it. Alignment and word wrap are the QLabel's; the glow spills
// past the widget's edges.
class GlowLabel : public QLabel {
  Q_OBJECT

 public:
  GlowLabel(const QString& text, const QColor& color, qreal size, QFont::Weight weight, QWidget* parent = nullptr);

  void setColor(const QColor& color);
  QColor color() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  GlowText style() const;

  QColor color_;
  qreal size_;
  QFont::Weight weight_;
  GlowEffect* glow_;
};

#pragma once

#include "theme/glowsource.h"
#include "theme/glowtext.h"

#include <QLabel>

class GlowEffect;

// A label drawn as GlowText: Rajdhani at a size and weight, in one colour,
// glowing in it. Alignment and word wrap are the QLabel's; the glow spills
// past the widget's edges.
class GlowLabel : public QLabel, public GlowSource {
  Q_OBJECT

 public:
  GlowLabel(const QString& text, const QColor& color, qreal size, QFont::Weight weight, QWidget* parent = nullptr);

  void setColor(const QColor& color);
  QColor color() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void paintGlowSource(QPainter& painter) const override;
  QString glowSourceKey() const override;

 private:
  GlowText style() const;
  int textFlags() const;

  QColor color_;
  qreal size_;
  QFont::Weight weight_;
  GlowEffect* glow_;
};

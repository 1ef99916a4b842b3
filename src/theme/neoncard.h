#pragma once

#include "theme/neoncardstyle.h"

#include <QWidget>

class GlowEffect;

// A container drawn in NeonCardStyle. Like the style it adds no padding: give
// the card a layout with the margins its view asks for. The glow follows the
// card's shape, so children that repaint often (a text field's cursor) cost no
// new glow.
class NeonCard : public QWidget {
  Q_OBJECT

 public:
  NeonCard(const QColor& neon, qreal glowRadius, QWidget* parent = nullptr);

  void setNeon(const QColor& neon, qreal glowRadius);
  NeonCardStyle cardStyle() const { return style_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRectF cardRect() const;

  NeonCardStyle style_;
  GlowEffect* glow_;
};

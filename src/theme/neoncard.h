#pragma once

#include "theme/neoncardstyle.h"

#include <QWidget>

class GlowBackdrop;

// A container drawn in NeonCardStyle. Like the style it adds no padding: give
// the card a layout with the margins its view asks for. The glow is drawn
// behind the card by a GlowBackdrop in the card's parent (a card without a
// parent does not glow); children that repaint often cost no new glow.
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
  GlowBackdrop* glow_;
};

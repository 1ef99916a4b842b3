#pragma once

#include "theme/easedvalue.h"
#include "theme/neoncardstyle.h"

#include <QWidget>

class GlowBackdrop;

// A container drawn in NeonCardStyle. Like the style it adds no padding: give
// the card a layout with the margins its view asks for. The glow is drawn
// behind the card by a GlowBackdrop in the card's parent (a card without a
// parent does not glow); children that repaint often cost no new glow.
//
// With a transition set, a new neon eases in while the card is on screen: the
// outline's colour moves over the transition's time, and the glow takes its
// new look half-way (glow images are shared per look, so the glow does not
// pass through every shade in between).
class NeonCard : public QWidget {
  Q_OBJECT

 public:
  NeonCard(const QColor& neon, qreal glowRadius, QWidget* parent = nullptr);

  void setNeon(const QColor& neon, qreal glowRadius);
  // The style set last; shownStyle() is what is drawn now.
  NeonCardStyle cardStyle() const { return style_; }
  NeonCardStyle shownStyle() const;
  // Later neon changes ease in over `durationMs` (0: at once, the default).
  void setNeonTransition(int durationMs, const QEasingCurve& curve = QEasingCurve::InOutQuad);
  const QVariantAnimation& neonAnimation() const { return progress_->animation(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRectF cardRect() const;
  void placeGlow();

  NeonCardStyle style_;
  NeonCardStyle from_;  // the style drawn when the last change came
  EasedValue* progress_;
  GlowBackdrop* glow_;
};

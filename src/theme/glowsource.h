#pragma once

#include <QString>

class QPainter;

// A widget without children whose whole painting is paintGlowSource(). Its
// GlowEffect then draws the glow and the widget from that painting instead of
// rendering the widget: rendering a widget makes Qt first walk every widget of
// its window, so a glowing line or label in a list of hundreds of cards would
// cost hundreds of cards at each paint.
class GlowSource {
 public:
  virtual ~GlowSource() = default;

  // Paints what glows, in the widget's own coordinates.
  virtual void paintGlowSource(QPainter& painter) const = 0;
  // Says what paintGlowSource() draws: two widgets of one size with equal
  // keys draw the same, so they share one glow image.
  virtual QString glowSourceKey() const = 0;
};

#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The processing indicator: a row of dots, 5 apart and 12 high, where one
// large bright dot walks along with `phase` and leaves a half-bright one
// behind it.
//
// Each step eases in: `progress` (0 to 1) is how far the dots have come from
// their look at `fromPhase` to their look at `phase`.
struct DotsLoadingView {
  int phase = 0;
  int dotCount = 6;
  int fromPhase = 0;
  qreal progress = 1;

  static constexpr qreal spacing = 5;
  static constexpr qreal height = 12;

  int activeIndex() const;
  int trailingIndex() const;
  qreal diameter(int index) const;
  QColor color(int index) const;
  // As drawn at `progress`.
  qreal shownDiameter(int index) const;
  QColor shownColor(int index) const;

  void paint(QPainter& painter, const QRectF& rect) const;
};

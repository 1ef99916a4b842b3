#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The processing indicator: a row of dots, 5 apart and 12 high, where one
// large bright dot walks along with `phase` and leaves a half-bright one
// behind it.
struct DotsLoadingView {
  int phase = 0;
  int dotCount = 6;

  static constexpr qreal spacing = 5;
  static constexpr qreal height = 12;

  int activeIndex() const;
  int trailingIndex() const;
  qreal diameter(int index) const;
  QColor color(int index) const;

  void paint(QPainter& painter, const QRectF& rect) const;
};

#pragma once

#include <QColor>
#include <QList>
#include <QRectF>

#include "theme/picturecache.h"

class QPainter;

// The colour of a waveform bar at `level` (0 to 1): cyan growing more opaque
// with the level, turning green-cyan above 0.45 and pale green above 0.75.
QColor waveformBarColor(float level);

// The recording indicator's waveform: `barCount` bars standing on the bottom
// edge, each as high as its level (at least 2), 2.5 apart, glowing in their
// colour; a bar above 0.15 wears a thin white cap.
struct CyberWaveformView {
  QList<float> levels;
  int barCount = 18;

  static constexpr qreal spacing = 2.5;

  qreal barWidth(qreal width) const;
  // Bar `index` in `rect` (a missing level counts as 0).
  QRectF barRect(const QRectF& rect, int index) const { return barRect(rect, index, level(index)); }
  QRectF barRect(const QRectF& rect, int index, float level) const;
  float level(int index) const;
  static bool hasCap(float level) { return level > 0.15f; }

  void paint(QPainter& painter, const QRectF& rect) const;
  // The same, each bar copied from a picture in `bars`: for that the bars'
  // heights and places are taken to a quarter of a point, less than the eye
  // can tell.
  void paint(QPainter& painter, const QRectF& rect, PictureCache<quint64>& bars) const;

 private:
  static void paintBar(QPainter& painter, const QRectF& bar, float level);
};

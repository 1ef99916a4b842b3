#include "overlays/cyberwaveformview.h"

#include "theme/glow.h"
#include "theme/palette.h"

#include <QPainter>

#include <algorithm>

QColor waveformBarColor(float level) {
  // The bands compare in single precision, like the levels the recorder gives.
  if (level > 0.75f) return QColor::fromRgbF(0.8f, 1.0f, 0.6f, 0.95f);
  if (level > 0.45f) {
    const float t = (level - 0.45f) / 0.3f;
    return QColor::fromRgbF(0.3f * t, 1.0f, 0.7f - 0.4f * t, 0.9f);
  }
  return Palette::withOpacity(Palette::neonCyan, qreal(level) * 0.8 + 0.5);
}

qreal CyberWaveformView::barWidth(qreal width) const {
  if (barCount <= 0) return 0;
  return (width - (barCount - 1) * spacing) / barCount;
}

float CyberWaveformView::level(int index) const { return index < levels.size() ? levels[index] : 0.0f; }

QRectF CyberWaveformView::barRect(const QRectF& rect, int index) const {
  const qreal width = barWidth(rect.width());
  const qreal height = std::max(qreal(level(index)) * rect.height(), 2.0);
  return QRectF(rect.left() + index * (width + spacing), rect.bottom() - height, width, height);
}

void CyberWaveformView::paint(QPainter& painter, const QRectF& rect) const {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < barCount; ++i) {
    const QRectF bar = barRect(rect, i);
    const QColor color = waveformBarColor(level(i));
    Glow{Palette::withOpacity(color, 0.5), 2}.paint(painter, bar, [&](QPainter& target) {
      target.setPen(Qt::NoPen);
      target.setBrush(color);
      target.drawRoundedRect(bar, 1, 1);
    });
    if (hasCap(level(i))) painter.fillRect(QRectF(bar.left(), bar.top(), bar.width(), 1), Palette::withOpacity(QColor(Qt::white), 0.9));
  }
  painter.restore();
}

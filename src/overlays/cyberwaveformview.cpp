#include "overlays/cyberwaveformview.h"

#include "theme/glow.h"
#include "theme/picturecache.h"
#include "theme/palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

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

QRectF CyberWaveformView::barRect(const QRectF& rect, int index, float level) const {
  const qreal width = barWidth(rect.width());
  const qreal height = std::max(qreal(level) * rect.height(), 2.0);
  return QRectF(rect.left() + index * (width + spacing), rect.bottom() - height, width, height);
}

namespace {
Glow barGlow(const QColor& color) { return Glow{Palette::withOpacity(color, 0.5), 2}; }
}  // namespace

void CyberWaveformView::paintBar(QPainter& painter, const QRectF& bar, float level) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor color = waveformBarColor(level);
  barGlow(color).paint(painter, bar, [&](QPainter& target) {
    target.setPen(Qt::NoPen);
    target.setBrush(color);
    target.drawRoundedRect(bar, 1, 1);
  });
  if (hasCap(level)) painter.fillRect(QRectF(bar.left(), bar.top(), bar.width(), 1), Palette::withOpacity(QColor(Qt::white), 0.9));
  painter.restore();
}

void CyberWaveformView::paint(QPainter& painter, const QRectF& rect) const {
  for (int i = 0; i < barCount; ++i) paintBar(painter, barRect(rect, i), level(i));
}

void CyberWaveformView::paint(QPainter& painter, const QRectF& rect, PictureCache<quint64>& bars) const {
  // In quarter points: where the bars stand, the height of a full level and
  // the lowest bar; the width in 64ths of a point.
  const qint64 bottom = std::llround(rect.bottom() * 4);
  const qint64 full = std::max<qint64>(1, std::llround(rect.height() * 4));
  constexpr qint64 lowest = 2 * 4;
  const qint64 width = std::llround(barWidth(rect.width()) * 64);
  const qreal reach = barGlow(Palette::neonCyan).reach();
  for (int i = 0; i < barCount; ++i) {
    const qint64 levelStep = std::clamp<qint64>(std::llround(qreal(level(i)) * qreal(full)), 0, full);
    const qint64 height = std::max(levelStep, lowest);
    const qint64 left = std::llround((rect.left() + i * (qreal(width) / 64 + spacing)) * 4);
    const QRectF bar(qreal(left) / 4, qreal(bottom - height) / 4, qreal(width) / 64, qreal(height) / 4);
    const float shown = float(levelStep) / float(full);
    // Everything the picture depends on, where the bar lies in its pixels included.
    const quint64 key = quint64(levelStep) | quint64(full) << 16 | quint64(width) << 32 |
                        quint64(left & 3) << 48 | quint64(bottom & 3) << 50;
    const QRect area = bar.adjusted(-reach, -reach, reach, reach).toAlignedRect();
    bars.draw(painter, key, area, [&](QPainter& target) { paintBar(target, bar, shown); });
  }
}

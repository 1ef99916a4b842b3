#include "theme/glow.h"

#include "theme/devicepixels.h"

#include <QPainter>

#include <array>
#include <cmath>
#include <vector>

namespace {

// Three box blurs in a row approximate a Gaussian closely enough for a glow and
// cost the same whatever the radius (running sums).
std::array<int, 3> boxRadiiFor(qreal sigma) {
  constexpr int passes = 3;
  const qreal ideal = std::sqrt(12 * sigma * sigma / passes + 1);
  int lower = int(std::floor(ideal));
  if (lower % 2 == 0) --lower;
  const int upper = lower + 2;
  const qreal m = (12 * sigma * sigma - passes * lower * lower - 4 * passes * lower - 3 * passes) / (-4.0 * lower - 4);
  const int smaller = int(std::lround(m));
  std::array<int, 3> radii{};
  for (int i = 0; i < passes; ++i) radii[i] = ((i < smaller ? lower : upper) - 1) / 2;
  return radii;
}

// One box pass over `count` samples `stride` apart; outside the image is clear.
void boxPass(const float* in, float* out, int count, int stride, int radius) {
  const float scale = 1.0f / float(2 * radius + 1);
  float sum = 0;
  for (int i = 0; i <= radius && i < count; ++i) sum += in[i * stride];
  for (int i = 0; i < count; ++i) {
    out[i * stride] = sum * scale;
    const int enter = i + radius + 1;
    const int leave = i - radius;
    if (enter < count) sum += in[enter * stride];
    if (leave >= 0) sum -= in[leave * stride];
  }
}

void blur(std::vector<float>& alpha, int width, int height, qreal sigma) {
  if (sigma <= 0) return;
  std::vector<float> scratch(alpha.size());
  for (int radius : boxRadiiFor(sigma)) {
    if (radius <= 0) continue;
    for (int y = 0; y < height; ++y) boxPass(&alpha[size_t(y) * width], &scratch[size_t(y) * width], width, 1, radius);
    for (int x = 0; x < width; ++x) boxPass(&scratch[x], &alpha[x], height, width, radius);
  }
}

}  // namespace

qreal Glow::reach() const { return radius > 0 ? std::ceil(radius * 1.5) + 1 : 0; }

QImage Glow::glowOf(const QImage& coverage, qreal pixelsPerPoint) const {
  const QImage source = coverage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int width = source.width();
  const int height = source.height();
  std::vector<float> alpha(size_t(width) * height);
  for (int y = 0; y < height; ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
    for (int x = 0; x < width; ++x) alpha[size_t(y) * width + x] = float(qAlpha(line[x])) / 255.0f;
  }
  blur(alpha, width, height, radius / 2 * pixelsPerPoint);

  QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
  result.setDevicePixelRatio(coverage.devicePixelRatio());
  const QColor rgb = color.toRgb();
  for (int y = 0; y < height; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(result.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const float a = alpha[size_t(y) * width + x] * float(rgb.alphaF());
      line[x] = qRgba(qRound(float(rgb.redF()) * a * 255), qRound(float(rgb.greenF()) * a * 255),
                      qRound(float(rgb.blueF()) * a * 255), qRound(a * 255));
    }
  }
  return result;
}

void Glow::paint(QPainter& painter, const QRectF& bounds, const std::function<void(QPainter&)>& content) const {
  if (isVisible() && !bounds.isEmpty()) {
    // Rendered at the device's resolution so the glow is as sharp as the drawing.
    const QTransform& world = painter.worldTransform();
    const qreal scale = DevicePixels::ratio(painter) * std::hypot(world.m11(), world.m12());
    const qreal margin = reach();
    // On whole device pixels, so that the glow is copied without resampling.
    const QRectF area = DevicePixels::aligned(painter, bounds.adjusted(-margin, -margin, margin, margin));
    QImage coverage(DevicePixels::covering(area.size() * scale), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    {
      QPainter offscreen(&coverage);
      offscreen.setRenderHints(painter.renderHints());
      offscreen.setFont(painter.font());
      offscreen.scale(scale, scale);
      offscreen.translate(-area.topLeft());
      content(offscreen);
    }
    const QImage glow = glowOf(coverage, scale);
    painter.drawImage(QRectF(area.topLeft(), QSizeF(glow.width() / scale, glow.height() / scale)), glow);
  }
  content(painter);
}

// What drawing the theme costs a view: a card's glow, a whole neon button,
// a symbol rendered afresh, a font request.
#include "benchmain.h"
#include "theme/fonts.h"
#include "theme/glow.h"
#include "theme/neonbuttonstyle.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmapCache>

#include <benchmark/benchmark.h>

namespace {

// The glow of a history card (700 x 160) with radius 8, computed from scratch.
void BM_CardGlow(benchmark::State& state) {
  const Glow glow{Palette::withOpacity(Palette::neonCyan, 0.2), 8};
  const int margin = int(glow.reach());
  QImage coverage(700 + 2 * margin, 160 + 2 * margin, QImage::Format_ARGB32_Premultiplied);
  coverage.fill(Qt::transparent);
  {
    QPainter painter(&coverage);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Palette::cyberCardBg);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(margin, margin, 700, 160), 12, 12);
  }
  for (auto _ : state) benchmark::DoNotOptimize(glow.glowOf(coverage, 1));
}
BENCHMARK(BM_CardGlow)->Unit(benchmark::kMicrosecond);

// One neon button with label and glow, as a custom-painted view draws it.
void BM_NeonButton(benchmark::State& state) {
  QImage target(200, 60, QImage::Format_ARGB32_Premultiplied);
  const NeonButtonStyle style{Palette::neonCyan};
  for (auto _ : state) {
    QPainter painter(&target);
    style.paint(painter, QRectF(20, 10, 160, 40), false, true, QStringLiteral("SAVE"));
  }
}
BENCHMARK(BM_NeonButton)->Unit(benchmark::kMicrosecond);

// A symbol rendered from its SVG and tinted (the pixmap cache emptied first).
void BM_SymbolUncached(benchmark::State& state) {
  for (auto _ : state) {
    QPixmapCache::clear();
    benchmark::DoNotOptimize(SymbolImage::pixmap(QStringLiteral("mic.fill"), 18, Palette::neonRed, 2));
  }
}
BENCHMARK(BM_SymbolUncached)->Unit(benchmark::kMicrosecond);

void BM_FontRequest(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rajdhaniSemiBold(13));
}
BENCHMARK(BM_FontRequest);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return runBenchmarks<QGuiApplication>(argc, argv);
}

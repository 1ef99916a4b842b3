#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "overlays/cyberwaveformview.h"
#include "overlays/recordingindicator.h"
#include "theme/palette.h"

#include <gtest/gtest.h>

namespace {

using State = RecordingState;

TEST(RecordingIndicator, FollowsTheRecorder) {
  const AppStrings& strings = currentStrings();
  const struct {
    RecordingIndicator indicator;
    QColor accent;
    qreal border;
    qreal ringScale;
    QString symbol;
    QString status;
    QString seconds;
  } cases[] = {
      {{State::recording, 0.0f, std::nullopt}, Palette::neonCyan, 1.2, 1.0, "mic.fill", strings.overlayRecording, ""},
      {{State::recording, 1.0f, std::nullopt}, Palette::neonCyan, 1.2, 1.3, "mic.fill", strings.overlayRecording, ""},
      {{State::recording, 0.5f, 3}, Palette::neonRed, 1.6, 1.15, "mic.fill", strings.overlayRecording, "3s"},
      {{State::idle, 0.0f, 10}, Palette::neonRed, 1.6, 1.0, "mic.fill", strings.overlayRecording, "10s"},
      // Processing hides the seconds even while the recorder still holds them.
      {{State::processing, 1.0f, 3}, Palette::neonYellow, 1.2, 1.0, "waveform", strings.overlayRecognizing, ""},
      {{State::processing, 0.4f, std::nullopt}, Palette::neonYellow, 1.2, 1.0, "waveform", strings.overlayRecognizing,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toString(c.indicator.state).toStdString() + " " + c.seconds.toStdString());
    EXPECT_EQ(c.indicator.accentColor(), c.accent);
    EXPECT_DOUBLE_EQ(c.indicator.borderWidth(), c.border);
    EXPECT_NEAR(c.indicator.ringScale(), c.ringScale, 1e-6);
    EXPECT_EQ(c.indicator.symbolName(), c.symbol);
    EXPECT_EQ(c.indicator.statusText(strings), c.status);
    EXPECT_EQ(c.indicator.countdownText(), c.seconds);
  }
}

TEST(CyberWaveform, BarColoursByLevelBand) {
  const auto rgba = [](QColor c) { return std::array<float, 4>{c.redF(), c.greenF(), c.blueF(), c.alphaF()}; };
  const struct {
    float level;
    std::array<float, 4> colour;
  } cases[] = {
      {0.0f, rgba(Palette::withOpacity(Palette::neonCyan, 0.5))},
      {0.45f, rgba(Palette::withOpacity(Palette::neonCyan, 0.86))},
      {0.6f, {0.15f, 1.0f, 0.5f, 0.9f}},
      {0.75f, {0.3f, 1.0f, 0.3f, 0.9f}},
      {0.76f, {0.8f, 1.0f, 0.6f, 0.95f}},
      {1.0f, {0.8f, 1.0f, 0.6f, 0.95f}},
  };
  for (const auto& c : cases) {
    const auto actual = rgba(waveformBarColor(c.level));
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], c.colour[i], 0.002) << "level " << c.level << " channel " << i;
  }
}

TEST(CyberWaveform, BarsStandOnTheBottomEdgeAndWearACapAboveFifteenPercent) {
  const CyberWaveformView waveform{{0.0f, 0.15f, 0.16f, 1.0f}, 18};
  const QRectF area(10, 20, 242, 28);
  const qreal width = (242 - 17 * 2.5) / 18;
  EXPECT_DOUBLE_EQ(waveform.barWidth(242), width);
  EXPECT_EQ(waveform.barRect(area, 0), QRectF(10, 46, width, 2));  // never below 2 high
  EXPECT_EQ(waveform.barRect(area, 3), QRectF(10 + 3 * (width + 2.5), 20, width, 28));
  EXPECT_EQ(waveform.barRect(area, 17).height(), 2);  // no level: 0
  EXPECT_FALSE(CyberWaveformView::hasCap(0.0f));
  EXPECT_FALSE(CyberWaveformView::hasCap(0.15f));
  EXPECT_TRUE(CyberWaveformView::hasCap(0.16f));
}

}  // namespace

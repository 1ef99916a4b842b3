#include "overlays/chipbutton.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlayviewmodel.h"
#include "pipeline/audiorecorder.h"
#include "theme/palette.h"
#include "awaittask.h"
#include "fakeaudioengine.h"

#include <gtest/gtest.h>
#include <functional>

namespace {
struct IndicatorEasing : ::testing::TestWithParam<bool> {
  FakeAudioEngines engines;
  AudioRecorder recorder{engines.factory(), [] { return true; }};
};

// On screen (true) the bars, the look and the dots ease in; hidden they end at once.
TEST_P(IndicatorEasing, BarsLookAndDotsEaseOnScreenAndEndWhereTheyWouldHaveJumped) {
  const bool shown = GetParam();
  RecordingOverlayView view(recorder);
  if (shown) view.show();
  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  ASSERT_TRUE(engines.latest()->deliver(std::vector<float>(4096 * 2, 1.0f)));
  ASSERT_TRUE(waitUntil([&] { return recorder.audioLevel() > 0.99f; }));

  view.sampleLevel();
  EXPECT_EQ(view.shownLevels() != view.waveformLevels(), shown);
  EXPECT_EQ(view.barAnimation().duration(), 70);
  EXPECT_EQ(view.barAnimation().easingCurve(), QEasingCurve::OutQuad);

  ASSERT_TRUE(awaitTask(recorder.stopRecording()).has_value());  // processing: the look changes
  EXPECT_EQ(view.lookProgress() < 1, shown);
  EXPECT_EQ(view.lookAnimation().duration(), 300);
  view.advanceDots();
  EXPECT_EQ(view.dotAnimation().state() == QAbstractAnimation::Running, shown);
  EXPECT_EQ(view.dotAnimation().duration(), 200);

  view.hide();  // hidden, every change is at its end at once
  EXPECT_EQ(view.lookProgress(), 1);
  EXPECT_EQ(view.dotAnimation().state(), QAbstractAnimation::Stopped);
  EXPECT_EQ(view.shownLevels(), view.waveformLevels());
}

INSTANTIATE_TEST_SUITE_P(OnScreenAndHidden, IndicatorEasing, ::testing::Bool());

TEST(ResultChips, CopiedAndPinnedEaseTheChipsToTheirNewColour) {
  ResultOverlayViewModel model;
  ResultOverlayView view(model);
  view.show();
  const auto eases = [](ChipButton* chip, const std::function<void()>& change, const QColor& accent) {
    const QColor before = chip->shownAccent();
    change();
    EXPECT_EQ(chip->accent(), accent);
    EXPECT_EQ(chip->shownAccent(), before);
    EXPECT_EQ(chip->accentAnimation().duration(), 200);
    EXPECT_TRUE(waitUntil([&] { return chip->shownAccent() == accent; }));
  };
  eases(view.copyButton(), [&] { model.setCopied(true); }, Palette::neonGreen);
  eases(view.pinButton(), [&] { model.setPinned(true); }, Palette::neonYellow);
}

}  // namespace

#include "core/clock.h"
#include "overlays/chipbutton.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/resultoverlayview.h"
#include "overlays/resultoverlayviewmodel.h"
#include "pipeline/audiorecorder.h"
#include "theme/palette.h"
#include "theme/rollinglabel.h"
#include "awaittask.h"
#include "fakeaudioengine.h"

#include <QPaintEvent>
#include <QTest>
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

// Near the longest recording each second left rolls in over the one before, on screen.
TEST_P(IndicatorEasing, EachSecondLeftRollsInOverTheOneBefore) {
  const bool shown = GetParam();
  Clock::setTimeScaleForTesting(0.05);  // a second lasts 50 ms
  recorder.setMaxDuration(10);          // the seconds left show from the start
  RecordingOverlayView view(recorder);
  if (shown) view.show();
  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  ASSERT_TRUE(waitUntil([&] { return recorder.countdown().has_value(); }));
  const int first = *recorder.countdown();
  ASSERT_TRUE(waitUntil([&] { return recorder.countdown() != first; }));
  const RollingText seconds = view.shownCountdown();
  EXPECT_EQ(seconds.to, QStringLiteral("%1s").arg(*recorder.countdown()));
  EXPECT_EQ(seconds.isRolling(), shown);
  if (shown) { EXPECT_EQ(seconds.from, QStringLiteral("%1s").arg(*recorder.countdown() + 1)); }
  EXPECT_EQ(view.countdownAnimation().duration(), 300);
  recorder.cancelRecording();
}

INSTANTIATE_TEST_SUITE_P(OnScreenAndHidden, IndicatorEasing, ::testing::Bool());

// What a view repaints, all events together.
struct Repaints : QObject {
  QRegion region;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
    return false;
  }
};

// The indicator animates for as long as the user speaks: only what moves is
// repainted, and nothing at all while nothing moves.
TEST(IndicatorRepaints, OnlyTheRingAndTheWaveformAndNothingWhileTheyStandStill) {
  FakeAudioEngines engines;
  AudioRecorder recorder{engines.factory(), [] { return true; }};
  RecordingOverlayView view(recorder);
  for (int i = 0; i < RecordingOverlayView::kBarCount; ++i) view.sampleLevel();  // silence in every bar
  view.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
  QTest::qWait(50);
  Repaints repaints;
  view.installEventFilter(&repaints);
  QTest::qWait(400);  // silence goes on scrolling in, the dots' clock ticks
  EXPECT_TRUE(repaints.region.isEmpty());

  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  for (const float sample : {0.05f, 0.5f, 0.01f}) {
    ASSERT_TRUE(engines.latest()->deliver(std::vector<float>(4096 * 2, sample)));
    QTest::qWait(150);
  }
  ASSERT_TRUE(waitUntil([&] { return view.barAnimation().state() == QAbstractAnimation::Stopped; }));
  EXPECT_TRUE(repaints.region.intersects(view.ringArea()));
  EXPECT_TRUE(repaints.region.intersects(view.waveformArea()));
  EXPECT_TRUE((repaints.region - view.ringArea() - view.waveformArea()).isEmpty());
  recorder.cancelRecording();
}

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

// The result's seconds left roll too, but a pinned status shows at once.
TEST(ResultChips, TheSecondsLeftRollInButPinningChangesTheStatusAtOnce) {
  ResultOverlayViewModel model;
  ResultOverlayView view(model);
  view.show();
  model.setCountdown(29);
  EXPECT_EQ(view.statusLabel()->rollingFrom(), QStringLiteral("30s"));
  EXPECT_TRUE(view.statusLabel()->isRolling());
  model.setPinned(true);
  EXPECT_FALSE(view.statusLabel()->isRolling());
  model.setPinned(false);  // back to the seconds it stopped at: no roll either
  EXPECT_FALSE(view.statusLabel()->isRolling());
}

}  // namespace

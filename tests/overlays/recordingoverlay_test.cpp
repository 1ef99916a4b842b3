#include "core/appevents.h"
#include "core/clock.h"
#include "overlays/overlayclosebutton.h"
#include "overlays/overlaypanel.h"
#include "overlays/recordingoverlayview.h"
#include "overlays/recordingoverlaywindowcontroller.h"
#include "pipeline/audiorecorder.h"

#include "fakeaudioengine.h"
#include "awaittask.h"
#include "logcapture.h"
#include "tracelines.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecordingOverlay : public ::testing::Test {
 protected:
  void SetUp() override {
    Clock::setTimeScaleForTesting(0.01);
    recorder = std::make_unique<AudioRecorder>(engines.factory(), [] { return true; });
    awaitTask(recorder->prepareEngine());
  }
  void TearDown() override { Clock::setTimeScaleForTesting(1.0); }

  void record() { ASSERT_TRUE(awaitTask(recorder->startRecording())); }
  void process() {
    record();
    ASSERT_TRUE(awaitTask(recorder->stopRecording()).has_value());
    ASSERT_EQ(recorder->state(), RecordingState::processing);
  }
  // Full-scale input: the recorder's level becomes 1.
  void speakLoudly() {
    ASSERT_TRUE(engines.latest()->deliver(std::vector<float>(4096 * 2, 1.0f)));
    ASSERT_TRUE(waitUntil([&] { return recorder->audioLevel() > 0.99f; }));
  }

  FakeAudioEngines engines;
  std::unique_ptr<AudioRecorder> recorder;
};

TEST_F(RecordingOverlay, TheCloseButtonAsksTheRequestFlowToCancelByState) {
  RecordingOverlayWindowController controller(*recorder);
  controller.show();
  QSignalSpy duringRecording(&AppEvents::shared(), &AppEvents::overlayDismissedDuringRecording);
  QSignalSpy duringProcessing(&AppEvents::shared(), &AppEvents::overlayDismissedDuringProcessing);
  const auto close = [&] { QTest::mouseClick(controller.view()->closeButton(), Qt::LeftButton); };

  close();  // idle, as during a start
  EXPECT_EQ(duringRecording.size(), 1);
  record();
  close();
  EXPECT_EQ(duringRecording.size(), 2);
  ASSERT_TRUE(awaitTask(recorder->stopRecording()).has_value());
  close();
  EXPECT_EQ(duringProcessing.size(), 1);
  EXPECT_EQ(duringRecording.size(), 2);
  // The indicator never hides itself: the request flow does.
  EXPECT_TRUE(controller.panel()->isVisible());
}

TEST_F(RecordingOverlay, ShowingAgainReusesThePanelAndHidingKeepsIt) {
  LogCapture log;
  RecordingOverlayWindowController controller(*recorder);
  controller.hide();  // before any showing: only the log and trace lines
  EXPECT_EQ(controller.panel(), nullptr);

  controller.show();
  OverlayPanel* panel = controller.panel();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->size(), QSize(360, 88));
  controller.show();
  EXPECT_EQ(controller.panel(), panel);
  controller.hide();
  EXPECT_FALSE(panel->isVisible());
  EXPECT_EQ(controller.panel(), panel);

  // Showing a panel never activates the program.
  const QString shown = QStringLiteral("show overlay: appActive=false, panelExists=true");
  EXPECT_EQ(log.texts(QStringLiteral("RecordingOverlay")),
            QStringList({"hide overlay", "create overlay panel: level=3, canBecomeKey=false, ignoresMouse=false", shown,
                         "overlay ordered front regardless", shown, "overlay ordered front regardless",
                         "hide overlay"}));
  const QStringList trace = traceLines();
  EXPECT_TRUE(trace.contains(QStringLiteral("Overlay create panel: level=3, canBecomeKey=false, ignoresMouse=false")));
  EXPECT_TRUE(trace.contains(QStringLiteral("Overlay show: appActive=false, panelExists=true")));
  EXPECT_TRUE(trace.contains(QStringLiteral("Overlay ordered front regardless")));
  EXPECT_EQ(trace.count(QStringLiteral("Overlay hide")), 2);
}

TEST_F(RecordingOverlay, TheWaveformScrollsInTheLevelWhileNotProcessing) {
  RecordingOverlayView view(*recorder);
  EXPECT_EQ(view.waveformLevels(), QList<float>(18, 0.05f));

  record();
  speakLoudly();
  view.sampleLevel();
  EXPECT_EQ(view.waveformLevels().last(), 1.0f);
  EXPECT_EQ(view.waveformLevels().first(), 0.05f);
  EXPECT_EQ(view.waveformLevels().size(), 18);
  EXPECT_NEAR(view.indicator().ringScale(), 1.3, 1e-6);

  ASSERT_TRUE(awaitTask(recorder->stopRecording()).has_value());
  const QList<float> frozen = view.waveformLevels();
  view.sampleLevel();
  EXPECT_EQ(view.waveformLevels(), frozen);

  for (int i = 0; i < 5; ++i) view.advanceDots();
  EXPECT_EQ(view.dotPhase(), 5);
  view.advanceDots();
  EXPECT_EQ(view.dotPhase(), 0);
}

TEST_F(RecordingOverlay, TimersRunOnlyWhileTheIndicatorIsOnScreen) {
  RecordingOverlayWindowController controller(*recorder);
  record();
  speakLoudly();
  controller.show();
  // The sampling timer fills the waveform with the live level in about a second.
  EXPECT_TRUE(waitUntil([&] { return controller.view()->waveformLevels() == QList<float>(18, 1.0f); },
                        std::chrono::seconds(5)));
  controller.hide();
  const int phase = controller.view()->dotPhase();
  waitUntil([] { return false; }, std::chrono::milliseconds(400));
  EXPECT_EQ(controller.view()->dotPhase(), phase);
}

}  // namespace

// The recorder on the test desktop's real sound server: a tone played into
// the pipe microphone comes out as a 16 kHz mono WAV file.
#include "pipeline/audiorecorder.h"
#include "platform/linux/qtaudioengine.h"
#include "awaittask.h"
#include "testenvironment.h"
#include "testmicrophone.h"
#include "wavfile.h"

#include "core/appevents.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

AudioEngine::Factory qtEngines() {
  return [] { return std::make_unique<QtAudioEngine>(); };
}

TEST(AudioRecorderOnTheDesktop, RecordsAToneFromTheMicrophoneAsA16kMonoWavFile) {
  REQUIRE_TEST_DESKTOP();
  AudioRecorder recorder(qtEngines(), [] { return true; });
  awaitTask(recorder.prepareEngine());
  ASSERT_TRUE(recorder.isEngineReady());

  TestMicrophone microphone;
  ASSERT_TRUE(microphone.play(TestMicrophone::tone(1000, std::chrono::milliseconds(1000), 0.5), true));
  QTest::qWait(100);  // the pipe is flowing before the start
  QSignalSpy levels(&recorder, &AudioRecorder::audioLevelChanged);
  QElapsedTimer recorded;
  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  recorded.start();
  QTest::qWait(2000);
  const std::optional<QUrl> url = awaitTask(recorder.stopRecording());
  const double seconds = recorded.elapsed() / 1000.0;
  microphone.stop();
  ASSERT_TRUE(url);

  const auto wav = WavFile::read(url->toLocalFile());
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  // As long as the recording ran: never shorter, and longer only by what the
  // sound server held in its buffers (more of it on a busy machine).
  EXPECT_GE(wav->durationSeconds(), seconds - 0.15);
  EXPECT_LE(wav->durationSeconds(), seconds + 0.5);
  const size_t margin = 1600;
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, margin, wav->samples.size() - margin), 1000.0, 3.0);
  EXPECT_NEAR(SignalAnalysis::rms(wav->samples, margin, wav->samples.size() - margin), 0.5 / std::sqrt(2.0), 0.02);
  // About one level per 4096 frames at 48 kHz; a sine at half scale is -9 dBFS.
  EXPECT_GE(levels.count(), 15);
  ASSERT_FALSE(levels.isEmpty());
  EXPECT_NEAR(levels.at(levels.count() / 2).at(0).toFloat(), 1.0f - 9.03f / 60.0f, 0.02f);
}

TEST(AudioRecorderOnTheDesktop, WithoutASoundServerAStartFailsCleanly) {
  REQUIRE_TEST_DESKTOP();
  qputenv("PULSE_SERVER", QFile::encodeName(QStringLiteral("unix:") + TestEnvironment::root() + QStringLiteral("/none")));
  QSignalSpy stateEvents(&AppEvents::shared(), &AppEvents::audioRecorderStateChanged);
  AudioRecorder recorder(qtEngines(), [] { return true; });
  awaitTask(recorder.prepareEngine());
  EXPECT_FALSE(awaitTask(recorder.startRecording()));
  EXPECT_EQ(recorder.state(), RecordingState::idle);
  EXPECT_EQ(stateEvents.count(), 0);
  EXPECT_FALSE(awaitTask(recorder.stopRecording()));
  recorder.cancelRecording();  // the flow's clean-up after a failed start
  EXPECT_EQ(recorder.state(), RecordingState::idle);
}

}  // namespace

// The recorder on the test desktop's sound server with two microphones that
// play different tones, while the user picks the other one as the default.
#include "pipeline/audiorecorder.h"

#include "awaittask.h"
#include "soundserver.h"
#include "testenvironment.h"
#include "testmicrophone.h"
#include "wavfile.h"

#include "platform/linux/pulsesoundserverwatcher.h"
#include "platform/linux/qtaudioengine.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>

using namespace std::chrono_literals;

namespace {

// The recording cut into tenths of a second, each named by its tone: 1 the
// first microphone's (440 Hz), 2 the second's (1 kHz), 0 neither.
std::vector<int> tonesOf(const WavFile& wav) {
  std::vector<int> tones;
  for (size_t from = 0; from + 1600 <= wav.samples.size(); from += 1600) {
    const double pitch = SignalAnalysis::frequency(wav.samples, 16000, from, from + 1600);
    tones.push_back(std::abs(pitch - 440) < 10 ? 1 : std::abs(pitch - 1000) < 20 ? 2 : 0);
  }
  return tones;
}

// A new default chosen during a recording takes over in the same file, all
// taken in before the switch kept; one chosen while idle records the next.
TEST(AudioRecorderOnTheDesktop, ANewDefaultTakesOverARunningRecordingAndRecordsTheNext) {
  REQUIRE_TEST_DESKTOP();
  PulseSoundServerWatcher soundServer;
  PipeSource second(QStringLiteral("veltrine_second_microphone"));
  ASSERT_TRUE(second.isLoaded());
  ASSERT_TRUE(waitUntil([&] { return soundServer.isConnected(); }));
  const auto chooseDefault = [&](const QString& name) {
    return pactl({QStringLiteral("set-default-source"), name}) &&
           waitUntil([&] { return soundServer.defaultSource() == name; });
  };
  ASSERT_TRUE(chooseDefault(QStringLiteral("veltrine_microphone")));
  TestMicrophone firstMicrophone;
  TestMicrophone secondMicrophone(second.pipe());
  ASSERT_TRUE(firstMicrophone.play(TestMicrophone::tone(440, 500ms), true));
  ASSERT_TRUE(secondMicrophone.play(TestMicrophone::tone(1000, 500ms), true));
  AudioRecorder recorder([&] { return std::make_unique<QtAudioEngine>(soundServer); }, [] { return true; });
  ASSERT_TRUE(waitUntil([&] { return recorder.isEngineReady(); }));
  QSignalSpy levels(&recorder, &AudioRecorder::audioLevelChanged);  // one per buffer taken in
  const auto heard = [&](qsizetype buffers) { return waitUntil([&] { return levels.count() >= buffers; }, 10s); };
  const auto stop = [&] {
    const std::optional<QUrl> url = awaitTask(recorder.stopRecording());
    recorder.resetToIdle();
    return url ? WavFile::read(url->toLocalFile()) : std::nullopt;
  };
  constexpr double kSecondsPerBuffer = double(AudioRecorder::kFramesPerBuffer) / TestMicrophone::kSampleRate;

  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  ASSERT_TRUE(heard(10));
  const qsizetype takenBeforeSwitch = levels.count();
  ASSERT_TRUE(chooseDefault(second.name()));
  ASSERT_TRUE(heard(takenBeforeSwitch + 10));
  EXPECT_EQ(recorder.state(), RecordingState::recording);
  std::optional<WavFile> wav = stop();
  ASSERT_TRUE(wav && wav->isValid16kMono());
  std::vector<int> tones = tonesOf(*wav);
  SCOPED_TRACE(testing::PrintToString(tones));
  // The pipe's first moments may still be silent.
  const auto firstBegin = std::find(tones.begin(), tones.end(), 1);
  ASSERT_LE(firstBegin - tones.begin(), 2);
  const auto firstEnd = std::find_if(firstBegin, tones.end(), [](int tone) { return tone != 1; });
  const auto secondBegin = std::find(firstEnd, tones.end(), 2);
  EXPECT_LE(secondBegin - firstEnd, 2) << "more than a tenth of a second across the switch";
  EXPECT_TRUE(std::all_of(secondBegin, tones.end(), [](int tone) { return tone == 2; }));
  EXPECT_GE(tones.end() - secondBegin, 5);
  EXPECT_GE(double(firstEnd - tones.begin()) / 10, takenBeforeSwitch * kSecondsPerBuffer - 0.1);
  // Each buffer once: the two inputs' last buffers may be short.
  EXPECT_GE(wav->durationSeconds(), (levels.count() - 2) * kSecondsPerBuffer);

  ASSERT_TRUE(chooseDefault(QStringLiteral("veltrine_microphone")));
  ASSERT_TRUE(awaitTask(recorder.startRecording()));
  ASSERT_TRUE(heard(levels.count() + 8));
  wav = stop();
  ASSERT_TRUE(wav && wav->isValid16kMono());
  tones = tonesOf(*wav);
  EXPECT_GE(tones.size(), 6u);
  EXPECT_TRUE(std::all_of(tones.begin(), tones.end(), [](int tone) { return tone == 1; }));
}

}  // namespace

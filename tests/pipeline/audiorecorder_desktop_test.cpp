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

constexpr double kFirstTone = 440.0;
constexpr double kSecondTone = 1000.0;
constexpr double kSecondsPerBuffer = double(AudioRecorder::kFramesPerBuffer) / TestMicrophone::kSampleRate;

// The recording cut into tenths of a second, each named by its tone: 1 the
// first microphone's, 2 the second's, 0 neither (a tenth across the switch).
std::vector<int> tonesOf(const WavFile& wav) {
  std::vector<int> tones;
  for (size_t from = 0; from + 1600 <= wav.samples.size(); from += 1600) {
    const double pitch = SignalAnalysis::frequency(wav.samples, 16000, from, from + 1600);
    tones.push_back(std::abs(pitch - kFirstTone) < 10 ? 1 : std::abs(pitch - kSecondTone) < 20 ? 2 : 0);
  }
  return tones;
}

class AudioRecorderOnTheDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    ASSERT_TRUE(second.isLoaded());
    ASSERT_TRUE(waitUntil([&] { return soundServer.isConnected(); }));
    ASSERT_TRUE(chooseDefault(QStringLiteral("veltrine_microphone")));
    ASSERT_TRUE(firstMicrophone.play(TestMicrophone::tone(kFirstTone, 500ms), true));
    ASSERT_TRUE(secondMicrophone.play(TestMicrophone::tone(kSecondTone, 500ms), true));
    recorder = std::make_unique<AudioRecorder>([this] { return std::make_unique<QtAudioEngine>(soundServer); },
                                               [] { return true; });
    ASSERT_TRUE(waitUntil([&] { return recorder->isEngineReady(); }));
  }

  // Waits until the recorder has taken in `buffers` more buffers (85 ms each).
  bool heard(int buffers) {
    QSignalSpy levels(recorder.get(), &AudioRecorder::audioLevelChanged);
    return waitUntil([&] { return levels.count() >= buffers; }, 10s);
  }
  bool chooseDefault(const QString& name) {
    return pactl({QStringLiteral("set-default-source"), name}) &&
           waitUntil([&] { return soundServer.defaultSource() == name; });
  }
  std::optional<WavFile> stop() {
    const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
    return url ? WavFile::read(url->toLocalFile()) : std::nullopt;
  }

  PulseSoundServerWatcher soundServer;
  PipeSource second{QStringLiteral("veltrine_second_microphone")};
  TestMicrophone firstMicrophone;
  TestMicrophone secondMicrophone{second.pipe()};
  std::unique_ptr<AudioRecorder> recorder;
};

TEST_F(AudioRecorderOnTheDesktop, ANewDefaultTakesOverARunningRecordingInTheSameFileKeepingAllBefore) {
  QSignalSpy levels(recorder.get(), &AudioRecorder::audioLevelChanged);
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(heard(10));
  const auto takenBeforeSwitch = levels.count();
  ASSERT_TRUE(chooseDefault(second.name()));
  ASSERT_TRUE(heard(10));
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  const std::optional<WavFile> wav = stop();
  ASSERT_TRUE(wav && wav->isValid16kMono());

  // The first tone, then the second, each moment once.
  const std::vector<int> tones = tonesOf(*wav);
  SCOPED_TRACE(testing::PrintToString(tones));
  // The pipe's first moments may still be silent.
  const auto firstBegin = std::find(tones.begin(), tones.end(), 1);
  ASSERT_LE(firstBegin - tones.begin(), 2);
  const auto firstEnd = std::find_if(firstBegin, tones.end(), [](int tone) { return tone != 1; });
  const auto secondBegin = std::find(firstEnd, tones.end(), 2);
  EXPECT_LE(secondBegin - firstEnd, 2) << "more than a tenth of a second across the switch";
  EXPECT_TRUE(std::all_of(secondBegin, tones.end(), [](int tone) { return tone == 2; }));
  EXPECT_GE(tones.end() - secondBegin, 5);
  // All that was taken in before the switch is in the file.
  const double firstSeconds = double(firstEnd - tones.begin()) / 10;
  EXPECT_GE(firstSeconds, takenBeforeSwitch * kSecondsPerBuffer - 0.1);
  // Each buffer once: the two inputs' last buffers may be short.
  EXPECT_GE(wav->durationSeconds(), (levels.count() - 2) * kSecondsPerBuffer);
}

TEST_F(AudioRecorderOnTheDesktop, ANewDefaultChosenWhileIdleRecordsTheNextRecording) {
  ASSERT_TRUE(chooseDefault(second.name()));
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(heard(8));
  const std::optional<WavFile> wav = stop();
  ASSERT_TRUE(wav && wav->isValid16kMono());
  const std::vector<int> tones = tonesOf(*wav);
  EXPECT_GE(tones.size(), 6u);
  EXPECT_TRUE(std::all_of(tones.begin(), tones.end(), [](int tone) { return tone == 2; }));
}

}  // namespace

// The recorder over a fake engine, with shrunk timers and a movable clock:
// its states, files, countdown, level and input changes.
#include "pipeline/audiorecorder.h"
#include "pipeline/audiolevel.h"

#include "awaittask.h"
#include "fakeaudioengine.h"
#include "logcapture.h"
#include "pipelinestate.h"
#include "wavfile.h"

#include "core/appevents.h"

#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>

#include <cmath>

namespace {

using SignalAnalysis::tone;
using namespace std::chrono_literals;

class AudioRecorderTest : public PipelineTest {
 protected:
  void SetUp() override {
    PipelineTest::SetUp();
    Clock::setTimeScaleForTesting(0.01);  // 1 s of the recorder's time is 10 ms here
    Clock::setNowForTesting([this] { return now; });
  }
  std::unique_ptr<AudioRecorder> makeRecorder(bool prepare = true) {
    auto recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
    if (prepare) awaitTask(recorder->prepareEngine());
    return recorder;
  }
  static QStringList recordingsOnDisk() {
    return QDir(Paths::temporaryDirectory()).entryList({QStringLiteral("*.wav")}, QDir::Files);
  }
  std::vector<bool> events() const {
    std::vector<bool> values;
    for (const QList<QVariant>& arguments : stateEvents) values.push_back(arguments.at(0).toBool());
    return values;
  }
  // Runs what the recorder has queued (notices, rebuilds), without waiting for time.
  static void settle() {
    for (int turn = 0; turn < 5; ++turn) QCoreApplication::processEvents();
  }
  static std::optional<WavFile> wavOf(const std::optional<QUrl>& url) {
    return url ? WavFile::read(url->toLocalFile()) : std::nullopt;
  }

  FakeAudioEngines engines;
  bool granted = true;
  QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
  QSignalSpy stateEvents{&AppEvents::shared(), &AppEvents::audioRecorderStateChanged};
  QSignalSpy maxDurationEvents{&AppEvents::shared(), &AppEvents::recordingMaxDurationReached};
};

TEST_F(AudioRecorderTest, ARecordingGoesThroughProcessingBackToIdleAndHandsOverItsFile) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_EQ(engines.latest()->framesPerBuffer(), 4096);
  ASSERT_TRUE(engines.latest()->deliver(tone(1000, 48000, 2, 3 * 4096, 0.5)));
  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  EXPECT_EQ(engines.latest()->stops, 1);

  const QFileInfo file(url->toLocalFile());
  EXPECT_EQ(file.absolutePath(), Paths::temporaryDirectory());
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\.wav$"))
                  .match(file.fileName()).hasMatch());
  const auto wav = wavOf(url);
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), 3 * 4096 / 3.0, 2.0);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 400, wav->samples.size() - 400), 1000.0, 2.0);

  recorder->resetToIdle();
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_TRUE(QFileInfo::exists(file.filePath())) << "the caller's now";
  // A stop without a recording returns nothing; every recording has its own
  // file; one engine serves them all.
  EXPECT_FALSE(awaitTask(recorder->stopRecording()));
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  const std::optional<QUrl> second = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(second);
  EXPECT_NE(second->fileName(), url->fileName());
  EXPECT_FALSE(awaitTask(recorder->stopRecording())) << "still processing";
  EXPECT_EQ(engines.count(), 1);
  EXPECT_EQ(events(), (std::vector<bool>{true, false, false, true, false}));
}

TEST_F(AudioRecorderTest, RefusedOrFailedStartsChangeNothingAndPostNothing) {
  struct Case {
    const char* name;
    RecordingState before;
    bool microphoneGranted;
    AudioInputFormat format;
    bool failsToStart;
    const char* logged;  // the error that says why
  };
  for (const Case& c : {Case{"microphone not granted", RecordingState::idle, false, {48000, 2}, false, "microphone NOT granted"},
                        Case{"already recording", RecordingState::recording, true, {48000, 2}, false, "not idle, aborting"},
                        Case{"still processing", RecordingState::processing, true, {48000, 2}, false, "not idle, aborting"},
                        Case{"no usable input format", RecordingState::idle, true, {0, 0}, false, "invalid hwFormat"},
                        Case{"input does not start", RecordingState::idle, true, {48000, 2}, true, "attachTapAndStart failed"}}) {
    SCOPED_TRACE(c.name);
    engines.nextFormat = c.format;
    engines.nextFailsToStart = c.failsToStart;
    auto recorder = makeRecorder();
    if (c.before != RecordingState::idle) {
      ASSERT_TRUE(awaitTask(recorder->startRecording()));
    }
    if (c.before == RecordingState::processing) {
      ASSERT_TRUE(awaitTask(recorder->stopRecording()));
    }
    const QStringList filesBefore = recordingsOnDisk();
    const int enginesBefore = engines.count();
    stateEvents.clear();
    granted = c.microphoneGranted;
    LogCapture log;

    EXPECT_FALSE(awaitTask(recorder->startRecording()));
    EXPECT_EQ(recorder->state(), c.before);
    EXPECT_EQ(stateEvents.count(), 0);
    EXPECT_EQ(recordingsOnDisk(), filesBefore);
    EXPECT_TRUE(log.contains(QStringLiteral("AudioRecorder"), QtCriticalMsg, QString::fromLatin1(c.logged)));
    // A failed engine is replaced by a fresh one, ready for the next start.
    EXPECT_EQ(engines.count(), enginesBefore + (c.format.sampleRate == 0 || c.failsToStart));
    EXPECT_TRUE(recorder->isEngineReady());
    recorder->cancelRecording();
    granted = true;
  }
}

TEST_F(AudioRecorderTest, CancelDeletesARunningRecordingButNotOneAlreadyHandedOver) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  engines.latest()->deliver(tone(440, 48000, 2, 4096, 0.5));
  ASSERT_EQ(recordingsOnDisk().size(), 1);
  recorder->cancelRecording();
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_TRUE(recordingsOnDisk().isEmpty());

  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  recorder->cancelRecording();
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_TRUE(QFileInfo::exists(url.value_or(QUrl()).toLocalFile()));
  EXPECT_EQ(events(), (std::vector<bool>{true, false, true, false, false}));

  // A cancel while a start waits for the preparation wins.
  granted = false;
  auto unprepared = makeRecorder(false);
  granted = true;
  auto start = unprepared->startRecording();
  unprepared->cancelRecording();
  EXPECT_FALSE(awaitTask(std::move(start)));
  EXPECT_EQ(unprepared->state(), RecordingState::idle);
}

TEST_F(AudioRecorderTest, TheCountdownRunsTenToOneBeforeASingleMaxDurationNotice) {
  auto recorder = makeRecorder();
  recorder->setMaxDuration(12);  // the countdown starts after 2 s
  std::vector<int> ticks;
  int ticksAtNotice = -1;
  QObject receiver;
  QObject::connect(recorder.get(), &AudioRecorder::countdownChanged, &receiver, [&](std::optional<int> value) {
    if (value) ticks.push_back(*value);
  });
  QObject::connect(&AppEvents::shared(), &AppEvents::recordingMaxDurationReached, &receiver,
                   [&] { ticksAtNotice = static_cast<int>(ticks.size()); });
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_FALSE(recorder->countdown());
  recorder->setMaxDuration(1000);  // applies from the next recording only
  ASSERT_TRUE(waitUntil([&] { return maxDurationEvents.count() > 0; }, 2s));
  EXPECT_EQ(ticks, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(ticksAtNotice, 10);
  EXPECT_EQ(recorder->countdown(), 1) << "held until the stop";
  QTimer twiceTheLimit;  // the flow may take its time to stop: no second notice meanwhile
  twiceTheLimit.setSingleShot(true);
  twiceTheLimit.start(Clock::scaledMs(24'000));
  ASSERT_TRUE(waitUntil([&] { return !twiceTheLimit.isActive(); }));
  EXPECT_EQ(maxDurationEvents.count(), 1);
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  EXPECT_FALSE(recorder->countdown());
  EXPECT_EQ(maxDurationEvents.count(), 1);
}

TEST_F(AudioRecorderTest, AnInputChangeRebuildsTheEngineOnlyWhenIdleAndNotRightAfterPreparation) {
  auto recorder = makeRecorder();
  now = now.addMSecs(1999);
  engines.latest()->announceConfigurationChange();  // the preparation's own echo
  settle();
  EXPECT_EQ(engines.count(), 1);
  now = now.addMSecs(2);
  engines.latest()->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 2 && recorder->isEngineReady(); }));
  EXPECT_TRUE(engines.made.front().isNull()) << "the first engine is released";

  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  now = now.addSecs(10);
  engines.latest()->announceConfigurationChange();  // while processing: nothing
  settle();
  EXPECT_EQ(engines.count(), 2);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
}

TEST_F(AudioRecorderTest, AnInputChangeDuringARecordingKeepsTheFileAndAllThatWasWritten) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  const QPointer<FakeAudioEngine> first = engines.latest();
  ASSERT_TRUE(first->deliver(tone(1000, 48000, 2, 12 * 4096, 0.5)));
  first->heldUntilStop = tone(1000, 48000, 2, 1500, 0.5);  // handed over only while it stops

  // The user plugs in a headset: 44.1 kHz mono from now on.
  engines.nextFormat = {44100, 1};
  first->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 2 && engines.latest()->isRunning(); }));
  EXPECT_TRUE(first.isNull());
  FakeAudioEngine* second = engines.latest();
  ASSERT_TRUE(second->deliver(tone(500, 44100, 1, 11 * 4096, 0.25)));
  second->heldUntilStop = tone(500, 44100, 1, 900, 0.25);  // the user's last words
  EXPECT_EQ(events(), std::vector<bool>{true});

  const auto wav = wavOf(awaitTask(recorder->stopRecording()));
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_EQ(recordingsOnDisk().size(), 1);
  const double firstPart = (12 * 4096 + 1500) / 3.0;
  const double secondPart = (11 * 4096 + 900) * 16000.0 / 44100.0;
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), firstPart + secondPart, 3.0);
  const auto split = static_cast<size_t>(firstPart);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 400, split - 400), 1000.0, 2.0);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, split + 400, wav->samples.size() - 400), 500.0, 2.0);
  EXPECT_NEAR(SignalAnalysis::rms(wav->samples, split + 400, wav->samples.size() - 400), 0.25 / std::sqrt(2.0), 0.01);
}

TEST_F(AudioRecorderTest, AnInputThatCannotBeReplacedIsAnnouncedAsLostAndKeepsWhatWasRecorded) {
  QSignalSpy lost(&AppEvents::shared(), &AppEvents::recordingInputLost);
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(engines.latest()->deliver(tone(1000, 48000, 2, 3 * 4096, 0.5)));
  engines.nextFailsToStart = true;
  engines.latest()->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return lost.count() == 1; }));
  EXPECT_EQ(recorder->state(), RecordingState::recording) << "the flow ends it";
  EXPECT_FALSE(recorder->isEngineReady());
  const auto wav = wavOf(awaitTask(recorder->stopRecording()));
  ASSERT_TRUE(wav);
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), 4096.0, 2.0);
  EXPECT_EQ(lost.count(), 1);

  recorder->resetToIdle();
  engines.nextFailsToStart = false;
  EXPECT_TRUE(awaitTask(recorder->startRecording())) << "the next start prepares a working engine";
}

TEST_F(AudioRecorderTest, TheLevelFollowsEachBufferAndDropsToZeroAtTheStop) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  std::vector<float> quietThenLoud(4096 * 2, 0.0f);
  quietThenLoud.resize(4096 * 4, 1.0f);
  QSignalSpy levels(recorder.get(), &AudioRecorder::audioLevelChanged);
  engines.latest()->deliver(quietThenLoud);
  ASSERT_TRUE(waitUntil([&] { return levels.count() == 2; }));
  EXPECT_FLOAT_EQ(levels.at(0).at(0).toFloat(), 0.0f);
  EXPECT_FLOAT_EQ(levels.at(1).at(0).toFloat(), 1.0f);
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  EXPECT_TRUE(waitUntil([&] { return recorder->audioLevel() == 0.0f; }));
}

TEST(AudioLevel, FollowsTheDecibelScaleOfTheFirstChannelFromMinus60To0) {
  const auto level = [](float value, int channels = 1) {
    std::vector<float> samples(4096 * channels, 0.0f);
    for (size_t i = 0; i < samples.size(); i += channels) samples[i] = value;
    return computeAudioLevel({48000, channels, samples});
  };
  const auto dbfs = [](double db) { return static_cast<float>(std::pow(10.0, db / 20.0)); };
  EXPECT_FLOAT_EQ(level(0.0f), 0.0f);
  EXPECT_FLOAT_EQ(level(4.0f), 1.0f) << "held at full scale";
  EXPECT_NEAR(level(dbfs(-30)), 0.5f, 0.002f);
  EXPECT_NEAR(level(-dbfs(-45), 2), 0.25f, 0.002f) << "the first channel alone";
  EXPECT_FLOAT_EQ(level(dbfs(-80)), 0.0f);
  EXPECT_NEAR(computeAudioLevel({48000, 1, tone(1000, 48000, 1, 4800, 1.0)}), 1.0f - 3.0103f / 60.0f, 0.002f);
  EXPECT_FLOAT_EQ(computeAudioLevel({48000, 2, {}}), 0.0f);
}

}  // namespace

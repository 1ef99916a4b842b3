// The recorder's state machine over a fake engine, with shrunk timers and a
// movable clock: notifications, files, timers, input changes.
#include "pipeline/audiorecorder.h"
#include "awaittask.h"
#include "fakeaudioengine.h"
#include "logcapture.h"
#include "tracelines.h"
#include "wavfile.h"

#include "core/appevents.h"
#include "core/clock.h"
#include "core/paths.h"
#include "core/tracelog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

// Failure messages show log and trace lines as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using SignalAnalysis::tone;
using namespace std::chrono_literals;

class AudioRecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // 1 s of the recorder's time is 10 ms here.
    Clock::setTimeScaleForTesting(0.01);
    Clock::setNowForTesting([this] { return now; });
  }
  void TearDown() override {
    Clock::setTimeScaleForTesting(1.0);
    Clock::setNowForTesting({});
  }

  // A recorder whose engine is prepared.
  std::unique_ptr<AudioRecorder> makeRecorder() {
    auto recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
    awaitTask(recorder->prepareEngine());
    return recorder;
  }

  QStringList recordingsOnDisk() const {
    return QDir(Paths::temporaryDirectory()).entryList({QStringLiteral("*.wav")}, QDir::Files);
  }

  static std::vector<bool> events(const QSignalSpy& spy) {
    std::vector<bool> values;
    for (const QList<QVariant>& arguments : spy) values.push_back(arguments.at(0).toBool());
    return values;
  }

  // Lets queued work (levels, configuration notices, rebuilds) run.
  static void settle() { QTest::qWait(30); }

  FakeAudioEngines engines;
  bool granted = true;
  QDateTime now = QDateTime::fromSecsSinceEpoch(1'800'000'000, Qt::UTC);
  QSignalSpy stateEvents{&AppEvents::shared(), &AppEvents::audioRecorderStateChanged};
  QSignalSpy maxDurationEvents{&AppEvents::shared(), &AppEvents::recordingMaxDurationReached};
};

TEST_F(AudioRecorderTest, ARecordingGoesFromIdleThroughProcessingBackToIdleAndHandsOverItsFile) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(recorder->isEngineReady());
  EXPECT_EQ(engines.count(), 1);

  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_EQ(events(stateEvents), std::vector<bool>{true});
  EXPECT_EQ(engines.latest()->framesPerBuffer(), 4096);

  // Three hardware buffers of one second at 48 kHz stereo reach the file once each.
  ASSERT_TRUE(engines.latest()->deliver(tone(1000, 48000, 2, 3 * 4096, 0.5)));
  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  EXPECT_EQ(events(stateEvents), (std::vector<bool>{true, false}));
  EXPECT_EQ(engines.latest()->stops, 1);
  EXPECT_EQ(engines.count(), 1);  // kept for the next recording

  const QFileInfo file(url->toLocalFile());
  EXPECT_EQ(file.absolutePath(), Paths::temporaryDirectory());
  EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.wav$"))
                  .match(file.fileName())
                  .hasMatch())
      << file.fileName().toStdString();
  const auto wav = WavFile::read(file.filePath());
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), 3 * 4096 / 3.0, 2.0);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 400, wav->samples.size() - 400), 1000.0, 2.0);

  recorder->resetToIdle();
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_EQ(events(stateEvents), (std::vector<bool>{true, false, false}));
  EXPECT_TRUE(QFileInfo::exists(file.filePath()));  // the caller's now
}

TEST_F(AudioRecorderTest, RefusedStartsChangeNothingAndPostNothing) {
  struct Case {
    const char* name;
    RecordingState before;
    bool microphoneGranted;
  };
  for (const Case& c : {Case{"microphone not granted", RecordingState::idle, false},
                        Case{"already recording", RecordingState::recording, true},
                        Case{"still processing", RecordingState::processing, true}}) {
    auto recorder = makeRecorder();
    if (c.before != RecordingState::idle) {
      ASSERT_TRUE(awaitTask(recorder->startRecording()));
    }
    if (c.before == RecordingState::processing) {
      ASSERT_TRUE(awaitTask(recorder->stopRecording()));
    }
    const QStringList filesBefore = recordingsOnDisk();
    stateEvents.clear();
    granted = c.microphoneGranted;

    EXPECT_FALSE(awaitTask(recorder->startRecording())) << c.name;
    EXPECT_EQ(recorder->state(), c.before) << c.name;
    EXPECT_EQ(stateEvents.count(), 0) << c.name;
    EXPECT_EQ(recordingsOnDisk(), filesBefore) << c.name;
    recorder->cancelRecording();
    granted = true;
  }
}

TEST_F(AudioRecorderTest, AFailedStartPostsNothingLeavesNoFileAndPreparesAFreshEngine) {
  struct Case {
    const char* name;
    AudioInputFormat format;
    bool failsToStart;
  };
  for (const Case& c : {Case{"no usable input format", {0, 0}, false}, Case{"input does not start", {48000, 2}, true}}) {
    engines.nextFormat = c.format;
    engines.nextFailsToStart = c.failsToStart;
    auto recorder = makeRecorder();
    const int enginesBefore = engines.count();
    stateEvents.clear();

    EXPECT_FALSE(awaitTask(recorder->startRecording())) << c.name;
    EXPECT_EQ(recorder->state(), RecordingState::idle) << c.name;
    EXPECT_EQ(stateEvents.count(), 0) << c.name;
    EXPECT_TRUE(recordingsOnDisk().isEmpty()) << c.name;
    EXPECT_EQ(engines.count(), enginesBefore + 1) << c.name;
    EXPECT_TRUE(recorder->isEngineReady()) << c.name;
  }
}

TEST_F(AudioRecorderTest, StopWithoutARecordingReturnsNothingAndPostsNothing) {
  auto recorder = makeRecorder();
  EXPECT_FALSE(awaitTask(recorder->stopRecording()));
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  stateEvents.clear();
  EXPECT_FALSE(awaitTask(recorder->stopRecording()));  // processing
  EXPECT_EQ(recorder->state(), RecordingState::processing);
  EXPECT_EQ(stateEvents.count(), 0);
}

TEST_F(AudioRecorderTest, CancelDeletesARunningRecordingButNotOneAlreadyHandedOver) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  engines.latest()->deliver(tone(440, 48000, 2, 4096, 0.5));
  ASSERT_EQ(recordingsOnDisk().size(), 1);
  recorder->cancelRecording();
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_TRUE(recordingsOnDisk().isEmpty());
  EXPECT_EQ(events(stateEvents), (std::vector<bool>{true, false}));

  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  recorder->cancelRecording();
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_TRUE(QFileInfo::exists(url->toLocalFile()));
  EXPECT_EQ(events(stateEvents), (std::vector<bool>{true, false, true, false, false}));
}

TEST_F(AudioRecorderTest, EveryRecordingGetsAFileOfItsOwn) {
  auto recorder = makeRecorder();
  QStringList names;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(awaitTask(recorder->startRecording()));
    const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
    ASSERT_TRUE(url);
    names << url->fileName();
    recorder->resetToIdle();
  }
  names.removeDuplicates();
  EXPECT_EQ(names.size(), 3);
  EXPECT_EQ(engines.count(), 1);  // one engine served them all
}

TEST_F(AudioRecorderTest, TheCountdownRunsTenToOneBeforeASingleMaxDurationNotice) {
  auto recorder = makeRecorder();
  recorder->setMaxDuration(12);  // the countdown starts after 2 s
  std::vector<int> ticks;
  int ticksAtNotice = -1;
  QObject::connect(recorder.get(), &AudioRecorder::countdownChanged, [&](std::optional<int> value) {
    if (value) ticks.push_back(*value);
  });
  QObject::connect(&AppEvents::shared(), &AppEvents::recordingMaxDurationReached,
                   [&] { ticksAtNotice = static_cast<int>(ticks.size()); });

  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_FALSE(recorder->countdown());
  recorder->setMaxDuration(1000);  // applies from the next recording only
  ASSERT_TRUE(waitUntil([&] { return maxDurationEvents.count() > 0; }, 2s));
  QTest::qWait(60);  // 6 s of recorder time: no second notice
  EXPECT_EQ(maxDurationEvents.count(), 1);
  EXPECT_EQ(ticks, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
  EXPECT_EQ(ticksAtNotice, 10);
  EXPECT_EQ(recorder->countdown(), 1);  // held until the stop

  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  EXPECT_FALSE(recorder->countdown());
}

TEST_F(AudioRecorderTest, ShortRecordingsCountDownFromTenAtOnceAndZeroEndsAtOnce) {
  Clock::setTimeScaleForTesting(0.05);  // room between the first tick and the notice on a busy machine
  auto recorder = makeRecorder();
  recorder->setMaxDuration(3);
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(waitUntil([&] { return recorder->countdown().has_value(); }, 1s));
  EXPECT_EQ(recorder->countdown(), 10);  // although only 3 s remain
  EXPECT_EQ(maxDurationEvents.count(), 0);
  ASSERT_TRUE(waitUntil([&] { return maxDurationEvents.count() == 1; }, 1s));
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  recorder->resetToIdle();

  recorder->setMaxDuration(0);
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_TRUE(waitUntil([&] { return maxDurationEvents.count() == 2; }, 1s));

  // A stop cancels what is still pending.
  recorder->setMaxDuration(5);
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  recorder->resetToIdle();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  QTest::qWait(100);
  EXPECT_EQ(maxDurationEvents.count(), 2);
  EXPECT_FALSE(recorder->countdown());
}

TEST_F(AudioRecorderTest, AnInputChangeRightAfterPreparationIsIgnoredLaterItRebuildsTheEngine) {
  auto recorder = makeRecorder();
  FakeAudioEngine* prepared = engines.latest();

  now = now.addMSecs(1999);
  prepared->announceConfigurationChange();
  settle();
  EXPECT_EQ(engines.count(), 1);

  now = now.addMSecs(2);
  prepared->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 2 && recorder->isEngineReady(); }));
  settle();
  EXPECT_EQ(engines.count(), 2);
  EXPECT_TRUE(awaitTask(recorder->startRecording()));
}

TEST_F(AudioRecorderTest, AnInputChangeWhileProcessingChangesNothing) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  now = now.addSecs(10);
  engines.latest()->announceConfigurationChange();
  settle();
  EXPECT_EQ(engines.count(), 1);
  EXPECT_EQ(recorder->state(), RecordingState::processing);
}

TEST_F(AudioRecorderTest, AnInputChangeDuringARecordingKeepsTheFileAndAllThatWasWritten) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  const QPointer<FakeAudioEngine> first = engines.latest();
  ASSERT_TRUE(first->deliver(tone(1000, 48000, 2, 12 * 4096, 0.5)));

  // The user plugs in a headset: 44.1 kHz mono from now on.
  engines.nextFormat = {44100, 1};
  first->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 2 && engines.latest()->isRunning(); }));
  EXPECT_TRUE(first.isNull());  // stopped and released
  FakeAudioEngine* second = engines.latest();
  ASSERT_TRUE(second->deliver(tone(500, 44100, 1, 11 * 4096, 0.25)));
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_EQ(events(stateEvents), std::vector<bool>{true});

  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  EXPECT_EQ(recordingsOnDisk().size(), 1);
  const auto wav = WavFile::read(url->toLocalFile());
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  // Both parts, each frame once: 1.024 s at 48 kHz plus 1.022 s at 44.1 kHz.
  const double firstPart = 12 * 4096 / 3.0;
  const double secondPart = 11 * 4096 * 16000.0 / 44100.0;
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), firstPart + secondPart, 3.0);
  const auto split = static_cast<size_t>(firstPart);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, 400, split - 400), 1000.0, 2.0);
  EXPECT_NEAR(SignalAnalysis::frequency(wav->samples, 16000, split + 400, wav->samples.size() - 400), 500.0, 2.0);
  EXPECT_NEAR(SignalAnalysis::rms(wav->samples, 400, split - 400), 0.5 / std::sqrt(2.0), 0.01);
  EXPECT_NEAR(SignalAnalysis::rms(wav->samples, split + 400, wav->samples.size() - 400), 0.25 / std::sqrt(2.0), 0.01);
}

TEST_F(AudioRecorderTest, WhatAnInputHandsOverWhileStoppingReachesTheFileBeforeItCloses) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  FakeAudioEngine* first = engines.latest();
  ASSERT_TRUE(first->deliver(tone(1000, 48000, 2, 2 * 4096, 0.5)));
  first->heldUntilStop = tone(1000, 48000, 2, 1500, 0.5);

  // Replaced in the middle of the recording: its last frames still count.
  first->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 2 && engines.latest()->isRunning(); }));
  FakeAudioEngine* second = engines.latest();
  ASSERT_TRUE(second->deliver(tone(1000, 48000, 2, 4096, 0.5)));
  second->heldUntilStop = tone(1000, 48000, 2, 900, 0.5);

  // Stopped by the user: the user's final words are in the last, short buffer.
  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  const auto wav = WavFile::read(url->toLocalFile());
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), (3 * 4096 + 1500 + 900) / 3.0, 3.0);
}

TEST_F(AudioRecorderTest, AnInputChangeWhilePreparingIsAnsweredWithAFreshEngine) {
  Clock::setTimeScaleForTesting(1.0);  // the whole half-second wait, so the change surely falls inside it
  LogCapture logs;
  auto recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
  // Queued after the preparation at creation: arrives while it waits.
  QMetaObject::invokeMethod(
      qApp, [&] { engines.latest()->announceConfigurationChange(); }, Qt::QueuedConnection);
  ASSERT_TRUE(waitUntil([&] { return recorder->isEngineReady(); }, 5s));
  EXPECT_EQ(engines.count(), 2);
  EXPECT_TRUE(engines.made.front().isNull());  // the first engine is released
  EXPECT_TRUE(traceLines().contains(QStringLiteral("prepareEngine: configChanged=true")));
  EXPECT_TRUE(logs.contains(QStringLiteral("AudioRecorder"), QtInfoMsg,
                            QStringLiteral("prepareEngine: HAL config changed, rebuilding engine...")));
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_TRUE(engines.latest()->isRunning());
}

TEST_F(AudioRecorderTest, LogAndTraceNameEveryStepInTheirOwnWords) {
  using Line = std::pair<QtMsgType, QString>;
  const auto info = [](const QString& text) { return Line{QtInfoMsg, text}; };
  const auto error = [](const QString& text) { return Line{QtCriticalMsg, text}; };
  LogCapture logs;
  qsizetype seen = 0;
  // The recorder's log lines since the previous call.
  const auto newLines = [&] {
    std::vector<Line> lines;
    for (qsizetype i = seen; i < logs.messages().size(); ++i) {
      const LogCapture::Message& message = logs.messages().at(i);
      if (message.category == QLatin1String("vorlix.voice-input.AudioRecorder")) lines.emplace_back(message.type, message.text);
    }
    seen = logs.messages().size();
    return lines;
  };
  const auto newTraces = [] {
    const QStringList lines = traceLines();
    clearTrace();
    return lines;
  };
  const std::vector<Line> prepared = {info(QStringLiteral("prepareEngine: starting HAL initialization...")),
                                      info(QStringLiteral("prepareEngine: done, hwSR=48000.000000"))};
  const QStringList preparedTraces = {QStringLiteral("prepareEngine: starting HAL init..."),
                                      QStringLiteral("prepareEngine: inputNode accessed, waiting for configChange..."),
                                      QStringLiteral("prepareEngine: configChanged=false"),
                                      QStringLiteral("prepareEngine: done, hwSR=48000.0")};

  auto recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
  ASSERT_TRUE(waitUntil([&] { return recorder->isEngineReady(); }));
  EXPECT_EQ(newLines(), prepared);
  EXPECT_EQ(newTraces(), preparedTraces);

  // Input changes while idle: the preparation's own echo, then a real one.
  now = now.addSecs(1);
  engines.latest()->announceConfigurationChange();
  settle();
  now = now.addSecs(2);
  engines.latest()->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 2 && recorder->isEngineReady(); }));
  std::vector<Line> changes = {info(QStringLiteral("Config change ignored (within 2s of engine ready)")),
                               info(QStringLiteral("Config change while idle, rebuilding engine...")),
                               error(QStringLiteral("rebuildEngine: tearing down and recreating..."))};
  changes.insert(changes.end(), prepared.begin(), prepared.end());
  EXPECT_EQ(newLines(), changes);
  EXPECT_EQ(newTraces(), QStringList({QStringLiteral("Config change ignored (within 2s of engine ready)"),
                                      QStringLiteral("Config change while idle, rebuilding engine...")}) +
                             preparedTraces);

  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  EXPECT_FALSE(awaitTask(recorder->startRecording()));
  engines.latest()->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return engines.count() == 3 && engines.latest()->isRunning(); }));
  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  recorder->resetToIdle();
  recorder->cancelRecording();
  granted = false;
  EXPECT_FALSE(awaitTask(recorder->startRecording()));
  const QString tapStarted = QStringLiteral("attachTap: hwSR=48000.000000, ch=2");
  const QString engineStarted = QStringLiteral("Engine started, isRunning=true");
  const QString engineStopped = QStringLiteral("Engine stopped (tap removed, engine kept alive)");
  EXPECT_EQ(newLines(),
            (std::vector<Line>{info(QStringLiteral("startRecording called, state=idle")), info(tapStarted),
                               info(engineStarted),
                               info(QStringLiteral("Recording started instantly (engine reused), maxDuration=60.000000")),
                               info(QStringLiteral("startRecording called, state=recording")),
                               error(QStringLiteral("not idle, aborting")),
                               info(QStringLiteral("Config change during recording, rebuilding tap...")),
                               info(QStringLiteral("rebuildTapDuringRecording...")), info(tapStarted),
                               info(engineStarted), info(QStringLiteral("rebuildTap: success")),
                               info(QStringLiteral("stopRecording called")), info(engineStopped),
                               info(QStringLiteral("stopRecording done, audioURL=") + url->fileName()),
                               info(QStringLiteral("resetToIdle")), info(QStringLiteral("cancelRecording")),
                               info(engineStopped), info(QStringLiteral("startRecording called, state=idle")),
                               error(QStringLiteral("microphone NOT granted"))}));
  EXPECT_EQ(newTraces(),
            (QStringList{QStringLiteral("AudioRecorder.startRecording: state=idle, engineReady=true"),
                         QStringLiteral("AudioRecorder: prepareEngineIfNeeded begin"),
                         QStringLiteral("prepareEngine: already ready, skipping"),
                         QStringLiteral("AudioRecorder: prepareEngineIfNeeded done, engineReady=true"),
                         QStringLiteral("AudioRecorder.startRecording: SUCCESS, state=recording"),
                         QStringLiteral("AudioRecorder.startRecording: state=recording, engineReady=true"),
                         QStringLiteral("AudioRecorder.startRecording: not idle (recording), aborting"),
                         QStringLiteral("Config change during recording, rebuilding tap..."),
                         QStringLiteral("AudioRecorder.startRecording: state=idle, engineReady=true"),
                         QStringLiteral("AudioRecorder.startRecording: mic NOT granted")}));

  // A start whose input will not run.
  granted = true;
  engines.nextFailsToStart = true;
  engines.latest()->announceConfigurationChange();  // no observer after a stop: nothing happens
  settle();
  ASSERT_EQ(engines.count(), 3);
  recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
  ASSERT_TRUE(waitUntil([&] { return recorder->isEngineReady(); }));
  newLines();
  newTraces();
  EXPECT_FALSE(awaitTask(recorder->startRecording()));
  std::vector<Line> failed = {info(QStringLiteral("startRecording called, state=idle")), info(tapStarted),
                              error(QStringLiteral("attachTapAndStart failed: the fake refuses to start")),
                              error(QStringLiteral("attachTapAndStart failed")),
                              error(QStringLiteral("rebuildEngine: tearing down and recreating..."))};
  failed.insert(failed.end(), prepared.begin(), prepared.end());
  EXPECT_EQ(newLines(), failed);
  EXPECT_TRUE(newTraces().contains(QStringLiteral("AudioRecorder.startRecording: attachTapAndStart FAILED")));

  // The input format is unusable.
  engines.nextFormat = {0, 0};
  recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
  ASSERT_TRUE(waitUntil([&] { return recorder->isEngineReady(); }));
  newLines();
  EXPECT_FALSE(awaitTask(recorder->startRecording()));
  const std::vector<Line> invalid = newLines();
  ASSERT_GE(invalid.size(), 3u);
  EXPECT_EQ(invalid[1], info(QStringLiteral("attachTap: hwSR=0.000000, ch=0")));
  EXPECT_EQ(invalid[2], error(QStringLiteral("invalid hwFormat")));
}

TEST_F(AudioRecorderTest, AnInputThatCannotBeReplacedIsAnnouncedAsLostAndKeepsWhatWasRecorded) {
  QSignalSpy lost(&AppEvents::shared(), &AppEvents::recordingInputLost);
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  ASSERT_TRUE(engines.latest()->deliver(tone(1000, 48000, 2, 3 * 4096, 0.5)));
  engines.nextFailsToStart = true;
  engines.latest()->announceConfigurationChange();
  ASSERT_TRUE(waitUntil([&] { return lost.count() == 1; }));
  settle();
  EXPECT_EQ(lost.count(), 1);
  EXPECT_EQ(engines.count(), 2);
  // The flow ends it: until then it is still a recording.
  EXPECT_EQ(recorder->state(), RecordingState::recording);
  EXPECT_FALSE(recorder->isEngineReady());

  const std::optional<QUrl> url = awaitTask(recorder->stopRecording());
  ASSERT_TRUE(url);
  const auto wav = WavFile::read(url->toLocalFile());
  ASSERT_TRUE(wav);
  EXPECT_TRUE(wav->isValid16kMono());
  EXPECT_NEAR(static_cast<double>(wav->samples.size()), 4096.0, 2.0);

  // The next start prepares a working engine again.
  recorder->resetToIdle();
  engines.nextFailsToStart = false;
  EXPECT_TRUE(awaitTask(recorder->startRecording()));
}

TEST_F(AudioRecorderTest, TheLevelFollowsEachBufferWhileRecordingAndDropsToZeroAtTheStop) {
  auto recorder = makeRecorder();
  ASSERT_TRUE(awaitTask(recorder->startRecording()));
  std::vector<float> quietThenLoud(4096 * 2, 0.0f);
  std::vector<float> loud(4096 * 2, 1.0f);
  quietThenLoud.insert(quietThenLoud.end(), loud.begin(), loud.end());
  QSignalSpy levels(recorder.get(), &AudioRecorder::audioLevelChanged);
  engines.latest()->deliver(quietThenLoud);
  ASSERT_TRUE(waitUntil([&] { return levels.count() == 2; }));
  EXPECT_FLOAT_EQ(levels.at(0).at(0).toFloat(), 0.0f);
  EXPECT_FLOAT_EQ(levels.at(1).at(0).toFloat(), 1.0f);
  EXPECT_FLOAT_EQ(recorder->audioLevel(), 1.0f);
  ASSERT_TRUE(awaitTask(recorder->stopRecording()));
  settle();
  EXPECT_FLOAT_EQ(recorder->audioLevel(), 0.0f);
}

TEST_F(AudioRecorderTest, TheMicrophoneGrantedLaterIsPreparedOnceByTheFirstStart) {
  granted = false;
  auto recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
  settle();  // the preparation at creation skipped
  EXPECT_EQ(engines.count(), 0);
  EXPECT_FALSE(recorder->isEngineReady());

  granted = true;
  auto first = recorder->prepareEngine();
  auto second = recorder->startRecording();  // waits for the preparation already running
  awaitTask(std::move(first));
  EXPECT_TRUE(awaitTask(std::move(second)));
  EXPECT_EQ(engines.count(), 1);
}

TEST_F(AudioRecorderTest, ACancelWhileAStartWaitsForThePreparationWins) {
  granted = false;
  auto recorder = std::make_unique<AudioRecorder>(engines.factory(), [this] { return granted; });
  settle();
  granted = true;
  auto start = recorder->startRecording();
  recorder->cancelRecording();
  EXPECT_FALSE(awaitTask(std::move(start)));
  EXPECT_EQ(recorder->state(), RecordingState::idle);
  EXPECT_TRUE(recordingsOnDisk().isEmpty());
}

}  // namespace

#include "pipeline/audiorecorder.h"

#include "core/appevents.h"
#include "core/clock.h"
#include "core/logging.h"
#include "core/paths.h"
#include "core/tracelog.h"
#include "pipeline/permissionmanager.h"
#include "pipeline/recordingtap.h"
#include "platform/audioconverter.h"
#include "platform/wavwriter.h"

#include <QCoroSignal>
#include <QCoroTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUuid>

using namespace std::chrono_literals;

namespace {

// Opening an input may make the sound system announce a change of it; a
// change that soon after the preparation is the preparation's own echo.
constexpr auto kFirstChangeWait = 500ms;
constexpr qint64 kIdleChangeGraceMs = 2000;

QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

// A rate as traces write doubles: shortest form, whole numbers with ".0".
QString decimalText(double value) {
  QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
  if (!text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')) && !text.contains(QLatin1Char('n'))) {
    text += QStringLiteral(".0");
  }
  return text;
}

}  // namespace

AudioRecorder& AudioRecorder::shared() {
  static AudioRecorder* instance = [] {
    PermissionManager& permissions = PermissionManager::shared();
    auto* recorder = new AudioRecorder(AudioEngine::factory(), [&permissions] {
      return permissions.microphoneStatus() == PermissionStatus::granted;
    });
    // The microphone's status is only known after the permission model's
    // first refresh, which may come after the recorder was made: prepare as
    // soon as it is granted, so the first recording starts as fast as later ones.
    QObject::connect(&permissions, &PermissionManager::microphoneStatusChanged, recorder, [recorder, &permissions] {
      if (permissions.microphoneStatus() == PermissionStatus::granted && !recorder->isEngineReady()) {
        recorder->prepareEngine();
      }
    });
    return recorder;
  }();
  return *instance;
}

AudioRecorder::AudioRecorder(AudioEngine::Factory makeEngine, MicrophoneGranted microphoneGranted, QObject* parent)
    : QObject(parent), makeEngine_(std::move(makeEngine)), microphoneGranted_(std::move(microphoneGranted)) {
  connect(&timers_, &RecordingTimers::countdownTick, this, [this](int secondsLeft) {
    if (state_ == RecordingState::recording) setCountdown(secondsLeft);
  });
  connect(&timers_, &RecordingTimers::maxDurationReached, this, [this] {
    if (state_ == RecordingState::recording) Q_EMIT AppEvents::shared().recordingMaxDurationReached();
  });
  QMetaObject::invokeMethod(this, [this] { prepareAtLaunch(); }, Qt::QueuedConnection);
}

AudioRecorder::~AudioRecorder() {
  timers_.cancel();
  stopInput();
}

QCoro::Task<> AudioRecorder::prepareAtLaunch() {
  try {
    co_await prepareEngine();
  } catch (const std::exception& error) {
    qCCritical(lcAudioRecorder, "prepareEngine failed: %s", error.what());
  }
}

QCoro::Task<> AudioRecorder::prepareEngine() {
  if (engineReady_) {
    trace(QStringLiteral("prepareEngine: already ready, skipping"));
    co_return;
  }
  if (preparing_) {
    trace(QStringLiteral("prepareEngine: already preparing, waiting"));
    co_await qCoro(this, &AudioRecorder::preparationFinished);
    co_return;
  }
  if (!microphoneGranted_()) {
    qCInfo(lcAudioRecorder, "prepareEngine: mic not granted yet, skip");
    trace(QStringLiteral("prepareEngine: mic not granted, skip"));
    co_return;
  }
  preparing_ = true;
  qCInfo(lcAudioRecorder, "prepareEngine: starting HAL initialization...");
  trace(QStringLiteral("prepareEngine: starting HAL init..."));

  engine_ = makeEngine_();
  engine_->inputFormat();  // opens the input: the slow part, done now rather than at the start
  trace(QStringLiteral("prepareEngine: inputNode accessed, waiting for configChange..."));
  const bool changed = co_await waitForConfigChange(*engine_, Clock::scaled(kFirstChangeWait));
  trace(QStringLiteral("prepareEngine: configChanged=") + boolText(changed));
  if (changed) {
    qCInfo(lcAudioRecorder, "prepareEngine: HAL config changed, rebuilding engine...");
    engine_->stop();
    engine_ = makeEngine_();
    engine_->inputFormat();
  }

  const double rate = engine_->inputFormat().sampleRate;
  qCInfo(lcAudioRecorder, "prepareEngine: done, hwSR=%f", rate);
  trace(QStringLiteral("prepareEngine: done, hwSR=") + decimalText(rate));
  engineReady_ = true;
  observeIdleConfigChanges(*engine_);
  preparing_ = false;
  Q_EMIT preparationFinished();
}

QCoro::Task<bool> AudioRecorder::waitForConfigChange(AudioEngine& engine, std::chrono::milliseconds timeout) {
  // The deadline is ours, not the engine's, so the wait ends even if the
  // engine goes away meanwhile.
  QTimer deadline;
  deadline.setSingleShot(true);
  bool changed = false;
  const auto observer = connect(
      &engine, &AudioEngine::configurationChanged, &deadline,
      [&] {
        changed = true;
        deadline.start(0);
      },
      Qt::QueuedConnection);
  deadline.start(timeout);
  co_await deadline;
  disconnect(observer);
  co_return changed;
}

QCoro::Task<bool> AudioRecorder::startRecording() {
  qCInfo(lcAudioRecorder, "startRecording called, state=%s", qUtf8Printable(toString(state_)));
  trace(QStringLiteral("AudioRecorder.startRecording: state=") + toString(state_) +
        QStringLiteral(", engineReady=") + boolText(engineReady_));
  if (!microphoneGranted_()) {
    qCCritical(lcAudioRecorder, "microphone NOT granted");
    trace(QStringLiteral("AudioRecorder.startRecording: mic NOT granted"));
    co_return false;
  }
  if (state_ != RecordingState::idle) {
    qCCritical(lcAudioRecorder, "not idle, aborting");
    trace(QStringLiteral("AudioRecorder.startRecording: not idle (") + toString(state_) + QStringLiteral("), aborting"));
    co_return false;
  }

  const quint64 generation = startGeneration_;
  trace(QStringLiteral("AudioRecorder: prepareEngineIfNeeded begin"));
  co_await prepareEngine();
  trace(QStringLiteral("AudioRecorder: prepareEngineIfNeeded done, engineReady=") + boolText(engineReady_));
  if (generation != startGeneration_ || state_ != RecordingState::idle) {
    // Cancelled, or another start won, while the preparation ran.
    qCInfo(lcAudioRecorder, "startRecording superseded while preparing");
    trace(QStringLiteral("AudioRecorder.startRecording: superseded while preparing"));
    co_return false;
  }
  if (!engineReady_ || !engine_) {
    qCCritical(lcAudioRecorder, "engine not ready after prepare");
    trace(QStringLiteral("AudioRecorder.startRecording: engine not ready after prepare"));
    co_return false;
  }

  const QUrl url = makeTempRecordingURL();
  recordingURL_ = url;
  if (!attachTapAndStart(*engine_, url)) {
    qCCritical(lcAudioRecorder, "attachTapAndStart failed");
    trace(QStringLiteral("AudioRecorder.startRecording: attachTapAndStart FAILED"));
    recordingURL_.reset();
    co_await rebuildEngine();
    co_return false;
  }

  setState(RecordingState::recording);
  postStateChanged();
  startTimers();
  qCInfo(lcAudioRecorder, "Recording started instantly (engine reused), maxDuration=%f", maxDuration_);
  trace(QStringLiteral("AudioRecorder.startRecording: SUCCESS, state=recording"));
  co_return true;
}

bool AudioRecorder::attachTapAndStart(AudioEngine& engine, const QUrl& url) {
  const AudioInputFormat hw = engine.inputFormat();
  qCInfo(lcAudioRecorder, "attachTap: hwSR=%f, ch=%u", double(hw.sampleRate), unsigned(std::max(hw.channelCount, 0)));
  if (!hw.isValid()) {
    qCCritical(lcAudioRecorder, "invalid hwFormat");
    return false;
  }

  // During a recording the file is already open and stays so: only the input
  // and the converter are new.
  const bool openedHere = !audioFile_;
  const auto discardFileOpenedHere = [&] {
    if (!openedHere || !audioFile_) return;
    audioFile_->close();
    QFile::remove(url.toLocalFile());  // it holds no audio yet
    audioFile_.reset();
  };
  QString error;
  if (openedHere) {
    auto file = std::make_shared<WavWriter>();
    if (!file->open(url.toLocalFile(), AudioConverter::kOutputSampleRate, 1, &error)) {
      qCCritical(lcAudioRecorder, "attachTapAndStart failed: %s", qUtf8Printable(error));
      return false;
    }
    audioFile_ = std::move(file);
  }

  auto converter = AudioConverter::create(hw.sampleRate, hw.channelCount, &error);
  if (!converter) {
    qCCritical(lcAudioRecorder, "AVAudioConverter init failed");
    discardFileOpenedHere();
    return false;
  }

  tap_ = std::make_shared<RecordingTap>(audioFile_, std::move(converter), [this](float level) {
    // From the audio thread; the recorder outlives every running input.
    QMetaObject::invokeMethod(
        this,
        [this, level] {
          if (state_ == RecordingState::recording) setAudioLevel(level);
        },
        Qt::QueuedConnection);
  });
  observeRecordingConfigChanges(engine, url);
  const bool started = engine.start(
      kFramesPerBuffer, [tap = tap_](const AudioBuffer& buffer) { tap->processTapBuffer(buffer); }, &error);
  if (!started) {
    qCCritical(lcAudioRecorder, "attachTapAndStart failed: %s", qUtf8Printable(error));
    tap_.reset();
    discardFileOpenedHere();
    return false;
  }
  qCInfo(lcAudioRecorder, "Engine started, isRunning=%s", qUtf8Printable(boolText(engine.isRunning())));
  return true;
}

void AudioRecorder::startTimers() { timers_.start(maxDuration_); }

void AudioRecorder::cancelTimers() {
  timers_.cancel();
  setCountdown(std::nullopt);
}

QCoro::Task<std::optional<QUrl>> AudioRecorder::stopRecording() {
  if (state_ != RecordingState::recording) co_return std::nullopt;
  qCInfo(lcAudioRecorder, "stopRecording called");
  cancelTimers();
  setState(RecordingState::processing);
  postStateChanged();
  setAudioLevel(0.0f);
  stopEngineKeepAlive();
  const std::optional<QUrl> url = recordingURL_;
  recordingURL_.reset();
  qCInfo(lcAudioRecorder, "stopRecording done, audioURL=%s",
         url ? qUtf8Printable(url->fileName()) : "nil");
  co_return url;
}

void AudioRecorder::stopInput() {
  // The input first: once it has stopped the audio thread no longer touches
  // the tap or the file, and the converter's tail can go in before closing.
  if (engine_) engine_->stop();
  if (tap_) {
    tap_->finish();
    tap_.reset();
  }
  if (audioFile_) {
    audioFile_->close();
    audioFile_.reset();
  }
}

void AudioRecorder::stopEngineKeepAlive() {
  removeConfigObserver();
  stopInput();
  qCInfo(lcAudioRecorder, "Engine stopped (tap removed, engine kept alive)");
}

void AudioRecorder::resetToIdle() {
  qCInfo(lcAudioRecorder, "resetToIdle");
  setState(RecordingState::idle);
  postStateChanged();
}

void AudioRecorder::cancelRecording() {
  qCInfo(lcAudioRecorder, "cancelRecording");
  ++startGeneration_;
  cancelTimers();
  stopEngineKeepAlive();
  if (recordingURL_) {
    QFile::remove(recordingURL_->toLocalFile());
    recordingURL_.reset();
  }
  setAudioLevel(0.0f);
  setState(RecordingState::idle);
  postStateChanged();
}

void AudioRecorder::postStateChanged() {
  Q_EMIT AppEvents::shared().audioRecorderStateChanged(state_ == RecordingState::recording);
}

QCoro::Task<> AudioRecorder::rebuildEngine() {
  // Never tear down an engine that a preparation is still working on.
  if (preparing_) co_await qCoro(this, &AudioRecorder::preparationFinished);
  // A start that waited for that preparation may be recording on it by now.
  if (state_ != RecordingState::idle) co_return;
  qCCritical(lcAudioRecorder, "rebuildEngine: tearing down and recreating...");
  removeConfigObserver();
  stopInput();
  engine_.reset();
  engineReady_ = false;
  co_await prepareEngine();
}

void AudioRecorder::rebuildTapDuringRecording(const QUrl& url) {
  qCInfo(lcAudioRecorder, "rebuildTapDuringRecording...");
  removeConfigObserver();
  // Stop the old input and write out what its converter holds; the file stays
  // open for the new input.
  if (engine_) engine_->stop();
  if (tap_) {
    tap_->finish();
    tap_.reset();
  }
  engine_ = makeEngine_();
  engineReady_ = true;
  if (!attachTapAndStart(*engine_, url)) {
    qCCritical(lcAudioRecorder, "rebuildTap: failed");
    engineReady_ = false;
    // No input to go on with: a recording that runs on without sound would
    // only cut off what the user says next. The file keeps what was recorded
    // and the flow ends the recording as if the user had stopped it.
    qCWarning(lcAudioRecorder, "Input lost during recording, no input to go on with");
    trace(QStringLiteral("AudioRecorder: input lost during recording, no input to go on with"));
    Q_EMIT AppEvents::shared().recordingInputLost();
    return;
  }
  qCInfo(lcAudioRecorder, "rebuildTap: success");
}

QCoro::Task<> AudioRecorder::handleConfigurationChange() {
  if (state_ != RecordingState::idle) co_return;
  if (engineReadyTime_ && engineReadyTime_->msecsTo(Clock::now()) < kIdleChangeGraceMs) {
    qCInfo(lcAudioRecorder, "Config change ignored (within 2s of engine ready)");
    trace(QStringLiteral("Config change ignored (within 2s of engine ready)"));
    co_return;
  }
  qCInfo(lcAudioRecorder, "Config change while idle, rebuilding engine...");
  trace(QStringLiteral("Config change while idle, rebuilding engine..."));
  co_await rebuildEngine();
}

void AudioRecorder::observeIdleConfigChanges(AudioEngine& engine) {
  removeConfigObserver();
  engineReadyTime_ = Clock::now();
  const quint64 generation = observerGeneration_;
  configChangeObserver_ = connect(
      &engine, &AudioEngine::configurationChanged, this,
      [this, generation] {
        if (generation == observerGeneration_) handleConfigurationChange();
      },
      Qt::QueuedConnection);
}

void AudioRecorder::observeRecordingConfigChanges(AudioEngine& engine, const QUrl& url) {
  removeConfigObserver();
  const quint64 generation = observerGeneration_;
  configChangeObserver_ = connect(
      &engine, &AudioEngine::configurationChanged, this,
      [this, generation, url] {
        if (generation != observerGeneration_) return;
        qCInfo(lcAudioRecorder, "Config change during recording, rebuilding tap...");
        trace(QStringLiteral("Config change during recording, rebuilding tap..."));
        if (state_ == RecordingState::recording) rebuildTapDuringRecording(url);
      },
      Qt::QueuedConnection);
}

void AudioRecorder::removeConfigObserver() {
  ++observerGeneration_;
  if (configChangeObserver_) {
    disconnect(configChangeObserver_);
    configChangeObserver_ = {};
  }
}

QUrl AudioRecorder::makeTempRecordingURL() {
  const QString folder = Paths::temporaryDirectory();
  if (folder.isEmpty()) return {};
  return QUrl::fromLocalFile(folder + QLatin1Char('/') +
                             QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".wav"));
}

void AudioRecorder::setState(RecordingState state) {
  state_ = state;
  Q_EMIT stateChanged(state_);
}

void AudioRecorder::setAudioLevel(float level) {
  audioLevel_ = level;
  Q_EMIT audioLevelChanged(audioLevel_);
}

void AudioRecorder::setCountdown(std::optional<int> countdown) {
  if (countdown_ == countdown) return;
  countdown_ = countdown;
  Q_EMIT countdownChanged(countdown_);
}

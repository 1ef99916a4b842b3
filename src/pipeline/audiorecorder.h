#pragma once

#include "pipeline/recordingstate.h"
#include "pipeline/recordingtimers.h"
#include "platform/audioengine.h"

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class RecordingTap;
class WavWriter;

// The microphone recorder: one recording at a time, written as a 16 kHz mono
// 16-bit WAV file in the private temporary folder.
//
// A start must cost nothing the user can notice, so the input is prepared
// ahead of time (at creation) and kept between recordings: a start only opens
// the file and starts the already opened input. While idle, a change of the
// input (another default device, a failed source) rebuilds the engine, except
// within two seconds of its preparation; during a recording only the input
// and converter are replaced, and the file keeps everything written so far.
// When no input can take over, the recording is announced as lost
// (AppEvents::recordingInputLost) and the flow stops it with what it has.
//
// Main thread only. The views read state, audioLevel and countdown; the
// request flow drives start, stop, cancel and reset; the launch sequence sets
// maxDuration. State changes are also announced through
// AppEvents::audioRecorderStateChanged, and the end of the longest recording
// through AppEvents::recordingMaxDurationReached (the flow then stops).
class AudioRecorder : public QObject {
  Q_OBJECT
  Q_PROPERTY(RecordingState state READ state NOTIFY stateChanged)
  Q_PROPERTY(float audioLevel READ audioLevel NOTIFY audioLevelChanged)
  Q_PROPERTY(std::optional<int> countdown READ countdown NOTIFY countdownChanged)
  Q_PROPERTY(double maxDuration READ maxDuration WRITE setMaxDuration)

 public:
  // Whether the microphone may be used; asked at every preparation and start.
  using MicrophoneGranted = std::function<bool()>;

  static constexpr int kFramesPerBuffer = 4096;
  static constexpr double kDefaultMaxDuration = 60.0;

  // The program's recorder, created on first use; its creation starts
  // preparing the engine.
  static AudioRecorder& shared();

  // A recorder over engines from `makeEngine` (tests pass fakes). Preparation
  // starts from the event loop, right after construction.
  AudioRecorder(AudioEngine::Factory makeEngine, MicrophoneGranted microphoneGranted, QObject* parent = nullptr);
  ~AudioRecorder() override;

  // True when the recording has begun.
  QCoro::Task<bool> startRecording();
  // The finished recording, which the caller owns from now on; nothing when
  // no recording was running.
  QCoro::Task<std::optional<QUrl>> stopRecording();
  // Discards a running recording and its file; back to idle from any state.
  void cancelRecording();
  // Ends the processing phase.
  void resetToIdle();

  // The longest recording in seconds; read when a recording starts.
  double maxDuration() const { return maxDuration_; }
  void setMaxDuration(double seconds) { maxDuration_ = seconds; }

  RecordingState state() const { return state_; }
  // Level of the latest microphone buffer, 0.0 to 1.0 (see computeAudioLevel).
  float audioLevel() const { return audioLevel_; }
  // Seconds left, only during the last ten seconds of a recording.
  std::optional<int> countdown() const { return countdown_; }

  // Prepares the engine unless it is ready. A second caller while a
  // preparation runs waits for that one instead of starting another.
  QCoro::Task<> prepareEngine();
  bool isEngineReady() const { return engineReady_; }

 Q_SIGNALS:
  // Emitted on every assignment, like the state they publish.
  void stateChanged(RecordingState state);
  void audioLevelChanged(float level);
  void countdownChanged(std::optional<int> countdown);
  // Internal: a preparation ended (callers waiting for it go on).
  void preparationFinished();

 private:
  QCoro::Task<> prepareAtLaunch();
  QCoro::Task<bool> waitForConfigChange(AudioEngine& engine, std::chrono::milliseconds timeout);
  bool attachTapAndStart(AudioEngine& engine, const QUrl& url);
  void startTimers();
  void cancelTimers();
  void stopEngineKeepAlive();
  void stopInput();
  void postStateChanged();
  QCoro::Task<> rebuildEngine();
  void rebuildTapDuringRecording(const QUrl& url);
  QCoro::Task<> handleConfigurationChange();
  void observeIdleConfigChanges(AudioEngine& engine);
  void observeRecordingConfigChanges(AudioEngine& engine, const QUrl& url);
  void removeConfigObserver();
  static QUrl makeTempRecordingURL();

  void setState(RecordingState state);
  void setAudioLevel(float level);
  void setCountdown(std::optional<int> countdown);

  AudioEngine::Factory makeEngine_;
  MicrophoneGranted microphoneGranted_;

  double maxDuration_ = kDefaultMaxDuration;
  RecordingState state_ = RecordingState::idle;
  float audioLevel_ = 0.0f;
  std::optional<int> countdown_;
  std::unique_ptr<AudioEngine> engine_;
  bool engineReady_ = false;
  bool preparing_ = false;
  std::shared_ptr<WavWriter> audioFile_;
  // The running input's tap; it owns the converter of the current input.
  std::shared_ptr<RecordingTap> tap_;
  std::optional<QUrl> recordingURL_;
  RecordingTimers timers_;
  QMetaObject::Connection configChangeObserver_;
  // Notices already queued for an observer that has since been replaced are
  // dropped by their generation.
  quint64 observerGeneration_ = 0;
  std::optional<QDateTime> engineReadyTime_;
  // Bumped by cancelRecording(), so that a start still waiting for the
  // preparation does not begin a recording the user already cancelled.
  quint64 startGeneration_ = 0;
};

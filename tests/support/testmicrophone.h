#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

// Plays sound into the test desktop's microphone: a pipe that the sound server
// reads as a 48 kHz stereo signed 16-bit source. The pipe delivers only what is
// written, so the player writes in real time, 10 ms at a time, on its own
// thread; without a player the microphone delivers nothing at all.
class TestMicrophone {
 public:
  static constexpr int kSampleRate = 48000;
  static constexpr int kChannels = 2;

  // The pipe's path (VELTRINE_TEST_MIC_PIPE), empty outside the test desktop.
  static QString pipePath();

  // Interleaved 48 kHz stereo s16le samples of a sine tone.
  static QByteArray tone(double frequencyHz, std::chrono::milliseconds duration, double amplitude = 0.5);
  static QByteArray silence(std::chrono::milliseconds duration);

  // Plays into the test desktop's microphone, or into another pipe source
  // of the same format (a second microphone a test loads).
  explicit TestMicrophone(QString pipe = pipePath()) : pipe_(std::move(pipe)) {}
  ~TestMicrophone();  // stops playing

  // Starts playing `pcm` (48 kHz stereo s16le) paced in real time; returns at
  // once. With `loop` the sound repeats until stop(), or until the pipe's
  // source goes away. False without a pipe.
  bool play(QByteArray pcm, bool loop = false);
  // Plays `pcm` once as sound in the room: what nobody records meanwhile is
  // gone (but for the last 10 ms), where play() keeps it in the pipe until
  // the server reads again.
  bool playLive(QByteArray pcm);
  void stop();

 private:
  bool start(QByteArray pcm, bool loop, bool live);

  QString pipe_;
  std::thread player_;
  std::shared_ptr<std::atomic<bool>> stopRequested_ = std::make_shared<std::atomic<bool>>(false);
};

#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

// Plays sound into the test desktop's microphone: a pipe the sound server
// reads as a 48 kHz stereo s16le source and that delivers only what is
// written, so the player writes in real time, 10 ms at a time, on its own
// thread; without a player the microphone delivers nothing at all.
class TestMicrophone {
 public:
  static constexpr int kSampleRate = 48000;
  static constexpr int kChannels = 2;

  // Interleaved 48 kHz stereo s16le samples of a sine tone, or of silence.
  static QByteArray tone(double frequencyHz, std::chrono::milliseconds duration, double amplitude = 0.5);
  static QByteArray silence(std::chrono::milliseconds duration) { return tone(0, duration, 0); }

  // Plays into the test desktop's microphone (VELTRINE_TEST_MIC_PIPE), or
  // into another pipe source of the same format.
  explicit TestMicrophone(QString pipe = qEnvironmentVariable("VELTRINE_TEST_MIC_PIPE")) : pipe_(std::move(pipe)) {}
  ~TestMicrophone() { stop(); }

  // Starts playing `pcm` paced in real time and returns at once; with `loop`
  // until stop() or until the pipe's source goes away. False without a pipe.
  bool play(QByteArray pcm, bool loop = false) { return start(std::move(pcm), loop, false); }
  // Plays `pcm` once as sound in the room: what nobody records meanwhile is gone
  // (but for the last 10 ms), where play() keeps it until the server reads.
  bool playLive(QByteArray pcm) { return start(std::move(pcm), false, true); }
  void stop();

 private:
  bool start(QByteArray pcm, bool loop, bool live);

  QString pipe_;
  std::thread player_;
  std::shared_ptr<std::atomic<bool>> stopRequested_ = std::make_shared<std::atomic<bool>>(false);
};

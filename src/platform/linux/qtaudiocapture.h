#pragma once

#include "platform/audioengine.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>
#include <vector>

class QIODevice;

// The audio-thread half of QtAudioEngine: owns the QAudioSource, reads what it
// captured, turns the samples into floats and cuts them into buffers of the
// requested size for the tap. Every member runs on the audio thread except
// capturedFrames().
class QtAudioCapture : public QObject {
  Q_OBJECT

 public:
  QtAudioCapture() = default;
  ~QtAudioCapture() override;

  // Makes the source for `device` in `format` (not started yet).
  void open(const QAudioDevice& device, const QAudioFormat& format);
  bool start(int framesPerBuffer, AudioEngine::Tap tap, QString* error);
  void stop();
  void close();
  bool isRunning() const { return running_.load(); }

  // Frames read from the device since the engine was made (any thread).
  quint64 capturedFrames() const { return capturedFrames_.load(); }

 Q_SIGNALS:
  // The running source stopped with an error (device gone, server gone).
  void failed();

 private:
  void readAvailable();
  void appendSamples(const char* data, qsizetype frames);
  void deliver(qsizetype frames);

  QAudioDevice device_;
  QAudioFormat format_;
  std::unique_ptr<QAudioSource> source_;
  // The source deletes its device when it fails; the pointer must notice.
  QPointer<QIODevice> io_;
  AudioEngine::Tap tap_;
  int framesPerBuffer_ = 0;
  QByteArray partialFrame_;
  std::vector<float> pending_;
  std::atomic<bool> running_{false};
  std::atomic<quint64> capturedFrames_{0};
};

#pragma once

#include "platform/audioengine.h"

#include <QAudioDevice>
#include <QThread>

class QMediaDevices;
class QtAudioCapture;

// The microphone through Qt Multimedia: the default input device in its
// preferred format, captured by a QAudioSource that lives on the engine's own
// audio thread, so that buffers keep flowing while the main thread is busy.
//
// inputFormat() resolves the device and makes the source ahead of time; a
// start then only starts the source (about a millisecond). A change of the
// default input device, and a source that fails while running, are reported
// as configurationChanged().
class QtAudioEngine final : public AudioEngine {
  Q_OBJECT

 public:
  QtAudioEngine();
  ~QtAudioEngine() override;

  AudioInputFormat inputFormat() override;
  bool start(int framesPerBuffer, Tap tap, QString* error) override;
  void stop() override;
  bool isRunning() const override;

  // Frames read from the device since the engine was made (any thread): the
  // moment the first one arrives is when capturing really began.
  quint64 capturedFrames() const;

 private:
  void checkDefaultInput();

  QThread thread_;
  QtAudioCapture* capture_;
  QMediaDevices* devices_;
  QAudioDevice device_;
  AudioInputFormat format_;
  bool running_ = false;
};

#pragma once

#include "platform/audioengine.h"

#include <QAudioDevice>
#include <QThread>
#include <QTimer>

class QMediaDevices;
class QtAudioCapture;

// The microphone through Qt Multimedia: the default input device in its
// preferred format, captured by a QAudioSource that lives on the engine's own
// audio thread, so that buffers keep flowing while the main thread is busy.
//
// inputFormat() resolves the device and makes the source ahead of time; a
// start then only starts the source (about a millisecond). A change of the
// default input device, a source that fails while running, and a device that
// goes away while running are reported as configurationChanged().
//
// Qt 6.4 announces none of the sound server's device changes, and PulseAudio
// does not fail a stream whose device goes away: it moves the stream to the
// next source (another microphone, or a speaker's monitor) and the source
// stays active without an error. So while capturing the engine looks at the
// device list itself, a few times a second; a device that is no longer
// listed is gone. A stall in the data would not tell it: a moved stream goes
// on delivering, and a quiet device may deliver nothing for a while.
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
  void checkInputPresent();

  QThread thread_;
  QtAudioCapture* capture_;
  QMediaDevices* devices_;
  QAudioDevice device_;
  AudioInputFormat format_;
  bool running_ = false;
  // Runs while capturing: the device list has no signal in Qt 6.4.
  QTimer presenceCheck_;
};

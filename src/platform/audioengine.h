#pragma once

#include "platform/audiobuffer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// The format in which an input delivers its samples: the device's own rate and
// channel count (the recorder converts afterwards).
struct AudioInputFormat {
  int sampleRate = 0;
  int channelCount = 0;

  bool isValid() const { return sampleRate > 0 && channelCount > 0; }
};

// The microphone as the recorder sees it: an input that is opened ahead of
// use, started with a tap that receives fixed-size buffers on an audio thread,
// and stopped again, possibly many times over its life.
//
// configurationChanged() tells that the input the engine captures is no longer
// the right one: the default input device changed, or the source failed (the
// device vanished, the sound server went away). It may be emitted from any
// thread; the engine's owner decides whether to rebuild.
//
// The program installs the real implementation at start-up (app/); tests
// install fakes. Without an installed factory there is no input at all.
class AudioEngine : public QObject {
  Q_OBJECT

 public:
  using Tap = std::function<void(const AudioBuffer&)>;
  using Factory = std::function<std::unique_ptr<AudioEngine>()>;

  ~AudioEngine() override = default;

  // The format of the current input. The first call opens the input (the
  // slow part: reaching the sound server, finding the device), so that a later
  // start() costs little. Invalid when there is no usable input.
  virtual AudioInputFormat inputFormat() = 0;

  // Starts capturing and calls `tap` on the audio thread with buffers of
  // `framesPerBuffer` frames in inputFormat(). False (with a reason in
  // `error`) when the input cannot be started; nothing is running then.
  virtual bool start(int framesPerBuffer, Tap tap, QString* error) = 0;

  // Stops capturing. The frames captured so far are handed to the tap first
  // (the last buffer may be shorter); when stop() returns the tap is never
  // called again, so its owner may close what the tap writes to.
  virtual void stop() = 0;

  virtual bool isRunning() const = 0;

  // Makes a new engine with the installed factory.
  static std::unique_ptr<AudioEngine> create();
  static Factory factory();
  // Installs the factory used by create(); an empty function uninstalls it.
  static void installFactory(Factory factory);

 Q_SIGNALS:
  void configurationChanged();
};

#pragma once

#include "platform/audioengine.h"
#include "platform/soundserverwatcher.h"

#include <QAudioDevice>
#include <QPointer>
#include <QThread>

class QtAudioCapture;

// The microphone through Qt Multimedia: the default input device in its
// preferred format, captured by a QAudioSource that lives on the engine's own
// audio thread, so that buffers keep flowing while the main thread is busy.
//
// inputFormat() resolves the device and makes the source ahead of time; a
// start then only starts the source (about a millisecond). A new default
// source, the removal of the source in use and a source that fails while
// running are reported as configurationChanged().
//
// Qt 6.4 keeps its own idea of the default for many seconds after the sound
// server changed it and announces no change at all, while its device list is
// current. So the sound server's watcher names the default and tells of
// removed sources, and the engine takes the listed device of that name. The
// server itself does not fail a stream whose source goes away: it moves it to
// the next source (another microphone, or a speaker's monitor) without an
// error, which only the watcher's event tells.
//
// Every inputFormat() while stopped looks at the default again, so a start
// always records the current default, even when a change was not acted on.
class QtAudioEngine final : public AudioEngine {
  Q_OBJECT

 public:
  explicit QtAudioEngine(SoundServerWatcher& soundServer = SoundServerWatcher::current());
  ~QtAudioEngine() override;

  AudioInputFormat inputFormat() override;
  bool start(int framesPerBuffer, Tap tap, QString* error) override;
  void stop() override;
  bool isRunning() const override;

  // Frames read from the device since the engine was made (any thread): the
  // moment the first one arrives is when capturing really began.
  quint64 capturedFrames() const;

 private:
  QAudioDevice defaultInput() const;
  void followDefaultSource(const QString& name);
  void noticeRemovedSource(const QString& name);

  QThread thread_;
  QtAudioCapture* capture_;
  QPointer<SoundServerWatcher> soundServer_;
  QAudioDevice device_;
  AudioInputFormat format_;
  bool running_ = false;
};

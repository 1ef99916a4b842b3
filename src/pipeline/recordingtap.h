#pragma once

#include "platform/audiobuffer.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class AudioConverter;
class WavWriter;

// What happens to each microphone buffer during a recording, on the audio
// thread: measure its level, convert it to 16 kHz mono and append it to the
// recording's file.
//
// One tap exists per running input; the file outlives it. When the input is
// replaced in the middle of a recording, finish() empties this tap's converter
// into the file and the next tap goes on appending to the same file, so
// nothing written is lost and nothing is written twice.
class RecordingTap {
 public:
  using LevelHandler = std::function<void(float level)>;

  RecordingTap(std::shared_ptr<WavWriter> file, std::unique_ptr<AudioConverter> converter, LevelHandler onLevel);
  ~RecordingTap();

  // Audio thread: one hardware buffer. Ignored after finish().
  void processTapBuffer(const AudioBuffer& buffer);

  // Writes what the converter still holds; later buffers are ignored. Call
  // once the input has stopped.
  void finish();

 private:
  std::mutex mutex_;  // the audio thread and the owner's finish() meet here
  std::shared_ptr<WavWriter> file_;
  std::unique_ptr<AudioConverter> converter_;
  LevelHandler onLevel_;
  std::vector<qint16> converted_;
  bool finished_ = false;
};

#pragma once

#include "platform/audiobuffer.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

struct soxr;

// Turns microphone input of any rate and channel count into what recordings
// are stored as: 16 kHz, mono, signed 16-bit.
//
// It streams: the resampling filter keeps its state from one buffer to the
// next, so a recording cut into buffers converts exactly as it would in one
// piece, and every input frame is used once. The filter holds back a few
// milliseconds; flush() hands them out at the end of the input.
//
// Channels are averaged into one; the resampling is libsoxr's (band-limited,
// any rate ratio, e.g. 44.1 kHz as well as 48 kHz).
class AudioConverter {
 public:
  static constexpr int kOutputSampleRate = 16000;

  // A converter for input of this format, or nothing (with a reason in
  // `error`) when the format is not usable.
  static std::unique_ptr<AudioConverter> create(int inputSampleRate, int inputChannelCount, QString* error = nullptr);
  ~AudioConverter();
  AudioConverter(const AudioConverter&) = delete;
  AudioConverter& operator=(const AudioConverter&) = delete;

  int inputSampleRate() const { return inputSampleRate_; }
  int inputChannelCount() const { return inputChannelCount_; }

  // Converts one buffer of the converter's input format and appends the
  // output samples to `output`. A buffer of another format is refused (false).
  bool convert(const AudioBuffer& buffer, std::vector<qint16>& output);

  // Ends the input: appends what the filter still holds. The converter takes
  // no further input afterwards.
  void flush(std::vector<qint16>& output);

 private:
  AudioConverter(soxr* resampler, int inputSampleRate, int inputChannelCount);
  void drain(const float* input, size_t frames, std::vector<qint16>& output);

  soxr* resampler_;
  int inputSampleRate_;
  int inputChannelCount_;
  bool flushed_ = false;
  std::vector<float> mono_;
  std::vector<float> resampled_;
};

#pragma once

#include <QtGlobal>

#include <span>

// One block of microphone input as the audio thread hands it over: float
// samples in -1..1, interleaved by frame, at the input device's own rate. The
// samples belong to the caller and are only valid during the call.
struct AudioBuffer {
  int sampleRate = 0;
  int channelCount = 0;
  std::span<const float> samples;

  qsizetype frameCount() const {
    return channelCount > 0 ? static_cast<qsizetype>(samples.size()) / channelCount : 0;
  }
  float sample(qsizetype frame, int channel) const { return samples[static_cast<size_t>(frame * channelCount + channel)]; }
};

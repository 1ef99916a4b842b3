#include "pipeline/audiolevel.h"

#include <algorithm>
#include <cmath>

float computeAudioLevel(const AudioBuffer& buffer) {
  const qsizetype frames = buffer.frameCount();
  if (frames == 0) return 0.0f;
  float sum = 0.0f;
  for (qsizetype frame = 0; frame < frames; ++frame) {
    const float sample = buffer.sample(frame, 0);
    sum += sample * sample;
  }
  const float rms = std::sqrt(sum / static_cast<float>(frames));
  const float level = (20.0f * std::log10(std::max(rms, 1e-7f)) + 60.0f) / 60.0f;
  return std::max(std::min(level, 1.0f), 0.0f);
}

// The level formula the waveform shows: linear in dB from -60 dBFS to 0 dBFS.
#include "pipeline/audiolevel.h"
#include "wavfile.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct LevelCase {
  const char* name;
  std::vector<float> samples;
  int channels;
  float expected;
};

std::vector<float> constant(float value, size_t count) { return std::vector<float>(count, value); }
float dbfs(double db) { return static_cast<float>(std::pow(10.0, db / 20.0)); }

TEST(AudioLevel, FollowsTheDecibelScaleOfTheFirstChannel) {
  std::vector<float> loudLeftQuietRight(2 * 4096);
  for (size_t i = 0; i < 4096; ++i) loudLeftQuietRight[2 * i] = dbfs(-30);
  const std::vector<LevelCase> cases = {
      {"silence", constant(0.0f, 4096), 1, 0.0f},
      {"full scale", constant(1.0f, 4096), 1, 1.0f},
      {"beyond full scale is held at 1", constant(4.0f, 4096), 1, 1.0f},
      {"-30 dBFS", constant(dbfs(-30), 4096), 1, 0.5f},
      {"-45 dBFS", constant(-dbfs(-45), 4096), 1, 0.25f},
      {"-60 dBFS and below give 0", constant(dbfs(-80), 4096), 1, 0.0f},
      {"a full-scale sine is -3 dBFS", SignalAnalysis::tone(1000, 48000, 1, 4800, 1.0), 1, 1.0f - 3.0103f / 60.0f},
      {"only the first channel counts", loudLeftQuietRight, 2, 0.5f},
      {"an empty buffer", {}, 2, 0.0f},
  };
  for (const LevelCase& c : cases) {
    const AudioBuffer buffer{48000, c.channels, c.samples};
    EXPECT_NEAR(computeAudioLevel(buffer), c.expected, 0.002f) << c.name;
  }
}

}  // namespace

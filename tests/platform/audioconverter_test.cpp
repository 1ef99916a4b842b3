// The streaming converter: any input rate and channel count to 16 kHz mono
// s16, with the filter's state carried from one buffer to the next.
#include "platform/audioconverter.h"
#include "wavfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using SignalAnalysis::tone;

std::vector<qint16> convertInBuffers(AudioConverter& converter, const std::vector<float>& input, int channels,
                                     size_t framesPerBuffer) {
  std::vector<qint16> output;
  const size_t frames = input.size() / static_cast<size_t>(channels);
  for (size_t start = 0; start < frames; start += framesPerBuffer) {
    const size_t count = std::min(framesPerBuffer, frames - start);
    AudioBuffer buffer{converter.inputSampleRate(), channels,
                       std::span<const float>(input.data() + start * static_cast<size_t>(channels),
                                              count * static_cast<size_t>(channels))};
    EXPECT_TRUE(converter.convert(buffer, output));
  }
  converter.flush(output);
  return output;
}

struct ToneCase {
  int sampleRate;
  int channels;
  size_t framesPerBuffer;
};

class ConverterTone : public ::testing::TestWithParam<ToneCase> {};

TEST_P(ConverterTone, KeepsFrequencyLengthAndLoudness) {
  const ToneCase c = GetParam();
  auto converter = AudioConverter::create(c.sampleRate, c.channels);
  ASSERT_TRUE(converter);
  const size_t frames = static_cast<size_t>(c.sampleRate) * 2;  // two seconds
  const std::vector<qint16> out =
      convertInBuffers(*converter, tone(1000.0, c.sampleRate, c.channels, frames, 0.5), c.channels, c.framesPerBuffer);

  // Every input frame is used once: two seconds in, two seconds out.
  EXPECT_NEAR(static_cast<double>(out.size()), 32000.0, 2.0);
  // Away from the filter's edges the tone is intact.
  EXPECT_NEAR(SignalAnalysis::frequency(out, 16000, 1600, out.size() - 1600), 1000.0, 1.0);
  EXPECT_NEAR(SignalAnalysis::rms(out, 1600, out.size() - 1600), 0.5 / std::sqrt(2.0), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Formats, ConverterTone,
                         ::testing::Values(ToneCase{48000, 2, 4096}, ToneCase{44100, 1, 4096},
                                           ToneCase{16000, 1, 4096}, ToneCase{48000, 6, 333},
                                           ToneCase{96000, 2, 4096}));

TEST(AudioConverter, CuttingTheInputIntoBuffersChangesNothing) {
  const std::vector<float> input = tone(440.0, 48000, 2, 48000, 0.3);
  auto whole = AudioConverter::create(48000, 2);
  auto pieces = AudioConverter::create(48000, 2);
  ASSERT_TRUE(whole && pieces);
  const std::vector<qint16> a = convertInBuffers(*whole, input, 2, 48000);
  const std::vector<qint16> b = convertInBuffers(*pieces, input, 2, 777);
  ASSERT_EQ(a.size(), b.size());
  int largestDifference = 0;
  for (size_t i = 0; i < a.size(); ++i) largestDifference = std::max(largestDifference, std::abs(a[i] - b[i]));
  EXPECT_LE(largestDifference, 1);
}

TEST(AudioConverter, ChannelsAreAveragedAndFullScaleIsClipped) {
  // Left at +0.5 and right at -0.5 cancel out; a louder-than-full signal clips.
  auto converter = AudioConverter::create(16000, 2);
  ASSERT_TRUE(converter);
  std::vector<float> opposite(2 * 1600);
  for (size_t i = 0; i < 1600; ++i) {
    opposite[2 * i] = 0.5f;
    opposite[2 * i + 1] = -0.5f;
  }
  std::vector<qint16> out = convertInBuffers(*converter, opposite, 2, 1600);
  EXPECT_LT(SignalAnalysis::rms(out), 0.001);

  auto loud = AudioConverter::create(16000, 1);
  out = convertInBuffers(*loud, std::vector<float>(1600, 3.0f), 1, 1600);
  EXPECT_EQ(*std::max_element(out.begin() + 200, out.end() - 200), 32767);
}

}  // namespace

// The streaming converter: any rate and channels to 16 kHz mono s16, its state carried across buffers.
#include "platform/audioconverter.h"
#include "wavfile.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

namespace {

std::vector<qint16> convertInBuffers(int rate, int channels, const std::vector<float>& input, size_t framesPerBuffer) {
  auto converter = AudioConverter::create(rate, channels);
  EXPECT_TRUE(converter);
  if (!converter) return {};
  std::vector<qint16> output;
  const size_t frames = input.size() / size_t(channels);
  for (size_t start = 0; start < frames; start += framesPerBuffer) {
    const size_t count = std::min(framesPerBuffer, frames - start);
    const AudioBuffer buffer{rate, channels, std::span<const float>(input).subspan(start * size_t(channels), count * size_t(channels))};
    EXPECT_TRUE(converter->convert(buffer, output));
  }
  converter->flush(output);
  return output;
}

TEST(AudioConverter, KeepsFrequencyLengthAndLoudnessWhateverTheFormatAndBuffers) {
  const std::tuple<int, int, size_t> formats[] = {{48000, 2, 4096}, {44100, 1, 4096}, {16000, 1, 4096}, {48000, 6, 333}, {96000, 2, 4096}};
  for (const auto& [rate, channels, framesPerBuffer] : formats) {
    SCOPED_TRACE(testing::Message() << rate << " Hz, " << channels << " channels");
    const std::vector<qint16> out =
        convertInBuffers(rate, channels, SignalAnalysis::tone(1000.0, rate, channels, size_t(rate) * 2, 0.5), framesPerBuffer);
    // Every input frame is used once: two seconds in, two seconds out.
    EXPECT_NEAR(double(out.size()), 32000.0, 2.0);
    // Away from the filter's edges the tone is intact.
    EXPECT_NEAR(SignalAnalysis::frequency(out, 16000, 1600, out.size() - 1600), 1000.0, 1.0);
    EXPECT_NEAR(SignalAnalysis::rms(out, 1600, out.size() - 1600), 0.5 / std::sqrt(2.0), 0.01);
  }
  // Cutting the input into other buffers changes nothing.
  const std::vector<float> input = SignalAnalysis::tone(440.0, 48000, 2, 48000, 0.3);
  const std::vector<qint16> whole = convertInBuffers(48000, 2, input, 48000), pieces = convertInBuffers(48000, 2, input, 777);
  ASSERT_EQ(whole.size(), pieces.size());
  for (size_t i = 0; i < whole.size(); ++i) ASSERT_LE(std::abs(whole[i] - pieces[i]), 1) << i;
}

TEST(AudioConverter, ChannelsAreAveragedAndFullScaleIsClipped) {
  std::vector<float> opposite(2 * 1600);
  for (size_t i = 0; i < opposite.size(); ++i) opposite[i] = i % 2 ? -0.5f : 0.5f;  // left and right cancel out
  EXPECT_LT(SignalAnalysis::rms(convertInBuffers(16000, 2, opposite, 1600)), 0.001);
  const std::vector<qint16> loud = convertInBuffers(16000, 1, std::vector<float>(1600, 3.0f), 1600);
  EXPECT_EQ(*std::max_element(loud.begin() + 200, loud.end() - 200), 32767);
}

}  // namespace

#include "platform/audioconverter.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>

namespace {

qint16 toSample(float value) {
  const float scaled = std::clamp(value, -1.0f, 1.0f) * 32767.0f;
  return static_cast<qint16>(std::lround(scaled));
}

}  // namespace

std::unique_ptr<AudioConverter> AudioConverter::create(int inputSampleRate, int inputChannelCount, QString* error) {
  if (inputSampleRate <= 0 || inputChannelCount <= 0) {
    if (error) *error = QStringLiteral("invalid input format (%1 Hz, %2 channels)").arg(inputSampleRate).arg(inputChannelCount);
    return nullptr;
  }
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  // Medium quality: a pass band far beyond speech at a fraction of the high
  // quality filter's length, which keeps the audio thread's work and the
  // held-back tail small.
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_MQ, 0);
  soxr_error_t failure = nullptr;
  soxr_t resampler = soxr_create(inputSampleRate, kOutputSampleRate, 1, &failure, &io, &quality, nullptr);
  if (failure || !resampler) {
    if (error) *error = QString::fromUtf8(failure ? failure : "soxr_create failed");
    if (resampler) soxr_delete(resampler);
    return nullptr;
  }
  return std::unique_ptr<AudioConverter>(new AudioConverter(resampler, inputSampleRate, inputChannelCount));
}

AudioConverter::AudioConverter(soxr* resampler, int inputSampleRate, int inputChannelCount)
    : resampler_(resampler), inputSampleRate_(inputSampleRate), inputChannelCount_(inputChannelCount) {}

AudioConverter::~AudioConverter() { soxr_delete(resampler_); }

bool AudioConverter::convert(const AudioBuffer& buffer, std::vector<qint16>& output) {
  if (flushed_ || buffer.sampleRate != inputSampleRate_ || buffer.channelCount != inputChannelCount_) return false;
  const qsizetype frames = buffer.frameCount();
  if (frames == 0) return true;
  mono_.resize(static_cast<size_t>(frames));
  const float share = 1.0f / static_cast<float>(inputChannelCount_);
  for (qsizetype frame = 0; frame < frames; ++frame) {
    float sum = 0.0f;
    for (int channel = 0; channel < inputChannelCount_; ++channel) sum += buffer.sample(frame, channel);
    mono_[static_cast<size_t>(frame)] = sum * share;
  }
  drain(mono_.data(), mono_.size(), output);
  return true;
}

void AudioConverter::flush(std::vector<qint16>& output) {
  if (flushed_) return;
  flushed_ = true;
  drain(nullptr, 0, output);  // a null input tells soxr that the input has ended
}

void AudioConverter::drain(const float* input, size_t frames, std::vector<qint16>& output) {
  // Room for this buffer's share plus what the filter may still hold; the loop
  // collects any rest, so nothing stays behind in soxr between calls.
  const size_t room = static_cast<size_t>(std::ceil(static_cast<double>(frames) * kOutputSampleRate / inputSampleRate_)) + 256;
  resampled_.resize(room);
  size_t offered = frames;
  const float* next = input;
  for (;;) {
    size_t used = 0;
    size_t produced = 0;
    if (soxr_process(resampler_, next, offered, &used, resampled_.data(), room, &produced) != nullptr) return;
    for (size_t i = 0; i < produced; ++i) output.push_back(toSample(resampled_[i]));
    if (next) {
      next += used;
      offered -= used;
    }
    if (produced < room && (next == nullptr || offered == 0)) return;
  }
}

#include "platform/linux/qtaudiocapture.h"

#include <QAudioSource>
#include <QIODevice>

#include <cstring>

namespace {

float sampleAt(const char* data, QAudioFormat::SampleFormat format) {
  switch (format) {
    case QAudioFormat::UInt8:
      return (static_cast<float>(*reinterpret_cast<const quint8*>(data)) - 128.0f) / 128.0f;
    case QAudioFormat::Int16: {
      qint16 value;
      std::memcpy(&value, data, sizeof value);
      return static_cast<float>(value) / 32768.0f;
    }
    case QAudioFormat::Int32: {
      qint32 value;
      std::memcpy(&value, data, sizeof value);
      return static_cast<float>(static_cast<double>(value) / 2147483648.0);
    }
    case QAudioFormat::Float: {
      float value;
      std::memcpy(&value, data, sizeof value);
      return value;
    }
    default:
      return 0.0f;
  }
}

}  // namespace

QtAudioCapture::~QtAudioCapture() { close(); }

void QtAudioCapture::open(const QAudioDevice& device, const QAudioFormat& format) {
  close();
  device_ = device;
  format_ = format;
  source_ = std::make_unique<QAudioSource>(device_, format_);
  connect(source_.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
    if (state == QAudio::StoppedState && running_.load() && source_ && source_->error() != QAudio::NoError) {
      // Keep what arrived before the failure; the owner decides what comes next.
      readAvailable();
      running_.store(false);
      Q_EMIT failed();
    }
  });
}

bool QtAudioCapture::start(int framesPerBuffer, AudioEngine::Tap tap, QString* error) {
  if (!source_ || framesPerBuffer <= 0 || !tap) {
    if (error) *error = QStringLiteral("the input is not open");
    return false;
  }
  framesPerBuffer_ = framesPerBuffer;
  tap_ = std::move(tap);
  partialFrame_.clear();
  pending_.clear();
  pending_.reserve(static_cast<size_t>(framesPerBuffer_ * format_.channelCount()) * 2);
  io_ = source_->start();
  if (!io_ || source_->error() != QAudio::NoError) {
    if (error) *error = QStringLiteral("QAudioSource::start failed (error %1)").arg(int(source_->error()));
    source_->stop();
    tap_ = {};
    return false;
  }
  connect(io_.data(), &QIODevice::readyRead, this, &QtAudioCapture::readAvailable);
  running_.store(true);
  return true;
}

void QtAudioCapture::stop() {
  if (tap_) {
    readAvailable();
    // The last, shorter buffer: the user's final words are in it.
    deliver(static_cast<qsizetype>(pending_.size()) / std::max(1, format_.channelCount()));
  }
  running_.store(false);
  if (io_) disconnect(io_.data(), nullptr, this, nullptr);
  if (source_) source_->stop();
  io_.clear();
  tap_ = {};
  pending_.clear();
  partialFrame_.clear();
}

void QtAudioCapture::close() {
  stop();
  source_.reset();
}

void QtAudioCapture::readAvailable() {
  if (!io_ || !tap_) return;
  const int bytesPerFrame = format_.bytesPerFrame();
  if (bytesPerFrame <= 0) return;
  QByteArray data = io_->readAll();
  if (data.isEmpty()) return;
  if (!partialFrame_.isEmpty()) {
    data.prepend(partialFrame_);
    partialFrame_.clear();
  }
  const qsizetype frames = data.size() / bytesPerFrame;
  partialFrame_ = data.mid(frames * bytesPerFrame);
  appendSamples(data.constData(), frames);
  const qsizetype bufferSamples = static_cast<qsizetype>(framesPerBuffer_) * format_.channelCount();
  while (static_cast<qsizetype>(pending_.size()) >= bufferSamples) deliver(framesPerBuffer_);
}

void QtAudioCapture::appendSamples(const char* data, qsizetype frames) {
  const int channels = format_.channelCount();
  const int bytesPerSample = format_.bytesPerSample();
  const QAudioFormat::SampleFormat sampleFormat = format_.sampleFormat();
  const size_t start = pending_.size();
  pending_.resize(start + static_cast<size_t>(frames * channels));
  float* out = pending_.data() + start;
  for (qsizetype i = 0; i < frames * channels; ++i) out[i] = sampleAt(data + i * bytesPerSample, sampleFormat);
  capturedFrames_.fetch_add(static_cast<quint64>(frames));
}

void QtAudioCapture::deliver(qsizetype frames) {
  if (frames <= 0 || !tap_) return;
  const int channels = format_.channelCount();
  const auto count = static_cast<size_t>(frames * channels);
  AudioBuffer buffer{format_.sampleRate(), channels, std::span<const float>(pending_.data(), count)};
  try {
    tap_(buffer);
  } catch (...) {
    // A tap that fails loses this buffer, never the audio thread's event loop.
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
}

#include "testmicrophone.h"

#include <QFile>

#include <cmath>
#include <numbers>

#include <fcntl.h>
#include <unistd.h>

QString TestMicrophone::pipePath() { return qEnvironmentVariable("VELTRINE_TEST_MIC_PIPE"); }

QByteArray TestMicrophone::tone(double frequencyHz, std::chrono::milliseconds duration, double amplitude) {
  const qsizetype frames = static_cast<qsizetype>(duration.count()) * kSampleRate / 1000;
  QByteArray pcm(frames * kChannels * 2, Qt::Uninitialized);
  auto* samples = reinterpret_cast<qint16*>(pcm.data());
  for (qsizetype i = 0; i < frames; ++i) {
    const double value = amplitude * std::sin(2.0 * std::numbers::pi * frequencyHz * static_cast<double>(i) / kSampleRate);
    const auto sample = static_cast<qint16>(std::lround(value * 32767.0));
    for (int channel = 0; channel < kChannels; ++channel) samples[i * kChannels + channel] = sample;
  }
  return pcm;
}

QByteArray TestMicrophone::silence(std::chrono::milliseconds duration) {
  const qsizetype frames = static_cast<qsizetype>(duration.count()) * kSampleRate / 1000;
  return QByteArray(frames * kChannels * 2, '\0');
}

TestMicrophone::~TestMicrophone() { stop(); }

bool TestMicrophone::play(QByteArray pcm, bool loop) {
  stop();
  const QString path = pipePath();
  if (path.isEmpty() || pcm.isEmpty()) return false;
  // The sound server holds the pipe open for reading, so this does not block.
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  stopRequested_ = std::make_shared<std::atomic<bool>>(false);
  player_ = std::thread([fd, pcm = std::move(pcm), loop, stop = stopRequested_] {
    constexpr qsizetype kChunk = kSampleRate / 100 * kChannels * 2;  // 10 ms
    auto next = std::chrono::steady_clock::now();
    qsizetype offset = 0;
    while (!stop->load()) {
      if (offset >= pcm.size()) {
        if (!loop) break;
        offset = 0;
      }
      const qsizetype size = std::min(kChunk, pcm.size() - offset);
      if (::write(fd, pcm.constData() + offset, static_cast<size_t>(size)) <= 0) break;
      offset += size;
      next += std::chrono::microseconds(size * 1000000 / (kSampleRate * kChannels * 2));
      std::this_thread::sleep_until(next);
    }
    ::close(fd);
  });
  return true;
}

void TestMicrophone::waitUntilDone() {
  if (player_.joinable()) player_.join();
}

void TestMicrophone::stop() {
  stopRequested_->store(true);
  if (player_.joinable()) player_.join();
}

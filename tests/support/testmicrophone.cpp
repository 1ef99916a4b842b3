#include "testmicrophone.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <numbers>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
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

QByteArray TestMicrophone::fromWav(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") return {};

  // Walk the chunks: recorders put LIST, fact or other chunks before the data.
  int channels = 0, rate = 0, bits = 0, format = 0;
  QByteArray data;
  for (qsizetype at = 12; at + 8 <= bytes.size();) {
    const QByteArray id = bytes.mid(at, 4);
    const qsizetype size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
    const qsizetype body = at + 8;
    const qsizetype available = std::min(size, bytes.size() - body);
    if (id == "fmt " && available >= 16) {
      format = qFromLittleEndian<quint16>(bytes.constData() + body);
      channels = qFromLittleEndian<quint16>(bytes.constData() + body + 2);
      rate = static_cast<int>(qFromLittleEndian<quint32>(bytes.constData() + body + 4));
      bits = qFromLittleEndian<quint16>(bytes.constData() + body + 14);
    } else if (id == "data") {
      data = bytes.mid(body, available);
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  constexpr int kPcm = 1, kExtensible = 0xFFFE;
  if ((format != kPcm && format != kExtensible) || bits != 16 || channels < 1 || rate <= 0) return {};

  const qsizetype inFrames = data.size() / (2 * channels);
  if (inFrames == 0) return {};
  const auto sampleAt = [&](qsizetype frame, int channel) {
    frame = std::clamp<qsizetype>(frame, 0, inFrames - 1);
    return static_cast<double>(qFromLittleEndian<qint16>(data.constData() + (frame * channels + channel) * 2));
  };
  // Linear interpolation is plenty for speech and test tones.
  const qsizetype outFrames = inFrames * kSampleRate / rate;
  QByteArray pcm(outFrames * kChannels * 2, Qt::Uninitialized);
  auto* out = reinterpret_cast<qint16*>(pcm.data());
  for (qsizetype i = 0; i < outFrames; ++i) {
    const double position = static_cast<double>(i) * rate / kSampleRate;
    const auto frame = static_cast<qsizetype>(position);
    const double fraction = position - static_cast<double>(frame);
    for (int channel = 0; channel < kChannels; ++channel) {
      const int source = std::min(channel, channels - 1);
      const double value = sampleAt(frame, source) * (1.0 - fraction) + sampleAt(frame + 1, source) * fraction;
      out[i * kChannels + channel] = static_cast<qint16>(std::lround(value));
    }
  }
  return pcm;
}

TestMicrophone::~TestMicrophone() { stop(); }

bool TestMicrophone::play(QByteArray pcm, bool loop) { return start(std::move(pcm), loop, false); }

bool TestMicrophone::playLive(QByteArray pcm) { return start(std::move(pcm), false, true); }

bool TestMicrophone::start(QByteArray pcm, bool loop, bool live) {
  stop();
  const QString& path = pipe_;
  if (path.isEmpty() || pcm.isEmpty()) return false;
  // The sound server holds the pipe open for reading; without it (a source
  // that is not loaded) the open fails instead of waiting for a reader.
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  // Live, the pipe holds a single page (about 10 ms), not the 0.3 s it
  // holds by default: little sound waits there for a recording to begin.
  const int defaultPipeSize = live ? ::fcntl(fd, F_GETPIPE_SZ) : -1;
  if (live) ::fcntl(fd, F_SETPIPE_SZ, 4096);
  stopRequested_ = std::make_shared<std::atomic<bool>>(false);
  player_ = std::thread([fd, pcm = std::move(pcm), loop, live, defaultPipeSize, stop = stopRequested_] {
    // A source unloaded while playing: the write fails instead of the
    // signal ending the test.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    constexpr qsizetype kChunk = kSampleRate / 100 * kChannels * 2;  // 10 ms, written whole (under PIPE_BUF)
    auto next = std::chrono::steady_clock::now();
    qsizetype offset = 0;
    while (!stop->load()) {
      if (offset >= pcm.size()) {
        if (!loop) break;
        offset = 0;
      }
      const qsizetype size = std::min(kChunk, pcm.size() - offset);
      // The server reads the pipe only while something records: a full pipe
      // waits for it (or, live, loses the chunk), and stop() is heard meanwhile.
      const ssize_t written = ::write(fd, pcm.constData() + offset, static_cast<size_t>(size));
      if (written < 0 && errno == EAGAIN) {
        if (!live) {
          pollfd writable{fd, POLLOUT, 0};
          ::poll(&writable, 1, 10);
          continue;
        }
      } else if (written <= 0) {
        break;
      }
      offset += size;
      next += std::chrono::microseconds(size * 1000000 / (kSampleRate * kChannels * 2));
      std::this_thread::sleep_until(next);
    }
    if (defaultPipeSize > 0) ::fcntl(fd, F_SETPIPE_SZ, defaultPipeSize);
    ::close(fd);
  });
  return true;
}

bool TestMicrophone::playWav(const QString& path, bool loop) { return play(fromWav(path), loop); }

void TestMicrophone::waitUntilDone() {
  if (player_.joinable()) player_.join();
}

void TestMicrophone::stop() {
  stopRequested_->store(true);
  if (player_.joinable()) player_.join();
}

#include "testmicrophone.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <numbers>

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

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

bool TestMicrophone::start(QByteArray pcm, bool loop, bool live) {
  stop();
  // Without a reader (a source that is not loaded) the open fails at once.
  const int fd = pcm.isEmpty() ? -1 : ::open(QFile::encodeName(pipe_).constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  // Live, the pipe holds a page (10 ms), not 0.3 s: little sound waits there for a recording.
  const int defaultPipeSize = live ? ::fcntl(fd, F_GETPIPE_SZ) : -1;
  if (live) ::fcntl(fd, F_SETPIPE_SZ, 4096);
  stopRequested_ = std::make_shared<std::atomic<bool>>(false);
  player_ = std::thread([fd, pcm = std::move(pcm), loop, live, defaultPipeSize, stop = stopRequested_] {
    // A source unloaded while playing fails the write instead of ending the test.
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
      // The server reads only while something records: a full pipe waits (live, loses the chunk).
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

void TestMicrophone::stop() {
  stopRequested_->store(true);
  if (player_.joinable()) player_.join();
}

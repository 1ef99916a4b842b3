#include "pipeline/recordingtimers.h"

#include "core/clock.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kCountdownSeconds = 10;

qint64 toMilliseconds(double seconds) {
  if (!(seconds > 0)) return 0;  // also NaN
  // QTimer takes an int of milliseconds: about 24 days is plenty.
  return static_cast<qint64>(std::min(seconds * 1000.0, static_cast<double>(std::numeric_limits<int>::max() / 2)));
}

}  // namespace

RecordingTimers::RecordingTimers(QObject* parent) : QObject(parent) {
  // A coarse timer may be 5 % late: 3 s at the end of a one-minute recording.
  maxDurationTimer_.setTimerType(Qt::PreciseTimer);
  maxDurationTimer_.setSingleShot(true);
  countdownTimer_.setTimerType(Qt::PreciseTimer);
  countdownTimer_.setSingleShot(true);
  connect(&maxDurationTimer_, &QTimer::timeout, this, &RecordingTimers::maxDurationReached);
  connect(&countdownTimer_, &QTimer::timeout, this, [this] {
    const int secondsLeft = nextTick_--;
    if (nextTick_ >= 1) scheduleNextTick();
    Q_EMIT countdownTick(secondsLeft);
  });
}

void RecordingTimers::start(double maxDurationSeconds) {
  cancel();
  started_.start();
  const qint64 maxDurationMs = toMilliseconds(maxDurationSeconds);
  countdownStartMs_ = std::max<qint64>(maxDurationMs - kCountdownSeconds * 1000, 0);
  nextTick_ = kCountdownSeconds;
  maxDurationTimer_.start(static_cast<int>(Clock::scaled(std::chrono::milliseconds(maxDurationMs)).count()));
  scheduleNextTick();
}

void RecordingTimers::cancel() {
  maxDurationTimer_.stop();
  countdownTimer_.stop();
  nextTick_ = 0;
}

void RecordingTimers::scheduleNextTick() {
  const qint64 offsetMs = countdownStartMs_ + static_cast<qint64>(kCountdownSeconds - nextTick_) * 1000;
  const qint64 dueMs = Clock::scaled(std::chrono::milliseconds(offsetMs)).count();
  countdownTimer_.start(static_cast<int>(std::max<qint64>(dueMs - started_.elapsed(), 0)));
}

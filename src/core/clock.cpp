#include "core/clock.h"

#include <atomic>
#include <cmath>
#include <mutex>

namespace Clock {
namespace {

std::mutex nowMutex;
std::function<QDateTime()>& nowOverride() {
  static std::function<QDateTime()> function;
  return function;
}
std::atomic<double> timeScale{1.0};

}  // namespace

QDateTime now() {
  {
    std::lock_guard lock(nowMutex);
    if (nowOverride()) return nowOverride()().toUTC();
  }
  return QDateTime::currentDateTimeUtc();
}

std::chrono::milliseconds scaled(std::chrono::milliseconds duration) {
  const double factor = timeScale.load();
  if (factor == 1.0) return duration;
  const auto value = static_cast<long long>(std::llround(static_cast<double>(duration.count()) * factor));
  return std::chrono::milliseconds(value < 0 ? 0 : value);
}

int scaledMs(int milliseconds) {
  return static_cast<int>(scaled(std::chrono::milliseconds(milliseconds)).count());
}

void setNowForTesting(std::function<QDateTime()> now) {
  std::lock_guard lock(nowMutex);
  nowOverride() = std::move(now);
}

void setTimeScaleForTesting(double factor) { timeScale.store(factor); }

}  // namespace Clock

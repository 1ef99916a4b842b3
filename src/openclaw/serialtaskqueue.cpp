#include "openclaw/serialtaskqueue.h"

#include "core/logging.h"

#include <exception>

void SerialTaskQueue::enqueue(Job job) {
  jobs_.push_back(std::move(job));
  if (!running_) drain();
}

QCoro::Task<void> SerialTaskQueue::drain() {
  running_ = true;
  while (!jobs_.empty()) {
    const Job job = std::move(jobs_.front());
    jobs_.pop_front();
    try {
      QCoro::Task<void> running = job();
      co_await std::move(running);
    } catch (const std::exception& error) {
      // A failed job must not take the queue (or the event loop) down with it.
      qCWarning(lcOpenClaw) << "a queued job failed:" << error.what();
    } catch (...) {
      qCWarning(lcOpenClaw) << "a queued job failed";
    }
  }
  running_ = false;
  Q_EMIT idle();
}

#include "openclaw/serialtaskqueue.h"

#include "core/logging.h"

#include <QCoroSignal>

#include <exception>

quint64 SerialTaskQueue::enqueue(Job job) {
  const quint64 number = ++queued_;
  jobs_.push_back({number, std::move(job)});
  if (!running_) drain();
  return number;
}

QCoro::Task<void> SerialTaskQueue::waitFor(quint64 number) {
  // Jobs end in the order they were queued.
  while (ended_ < number) co_await qCoro(this, &SerialTaskQueue::jobEnded);
}

QCoro::Task<void> SerialTaskQueue::drain() {
  running_ = true;
  while (!jobs_.empty()) {
    const Queued next = std::move(jobs_.front());
    jobs_.pop_front();
    try {
      QCoro::Task<void> running = next.job();
      co_await std::move(running);
    } catch (const std::exception& error) {
      // A failed job must not take the queue (or the event loop) down with it.
      qCWarning(lcOpenClaw) << "a queued job failed:" << error.what();
    } catch (...) {
      qCWarning(lcOpenClaw) << "a queued job failed";
    }
    ended_ = next.number;
    Q_EMIT jobEnded(next.number);
  }
  running_ = false;
  Q_EMIT idle();
}

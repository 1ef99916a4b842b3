#pragma once

#include <QCoroTask>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>

// Runs a local event loop until `task` finishes and returns its value, or
// rethrows its exception (QCoro::waitFor hangs when the task throws); throws
// std::runtime_error after `timeout`.
namespace awaittask_detail {

template <typename T>
struct Outcome {
  std::optional<std::conditional_t<std::is_void_v<T>, bool, T>> value;
  std::exception_ptr error;
  bool done = false;
  QEventLoop* loop = nullptr;
};

// The outcome is shared with the driver, which may outlive a timed-out wait.
template <typename T>
QCoro::Task<void> drive(QCoro::Task<T> task, std::shared_ptr<Outcome<T>> outcome) {
  try {
    if constexpr (std::is_void_v<T>) {
      co_await std::move(task);
      outcome->value = true;
    } else {
      outcome->value.emplace(co_await std::move(task));
    }
  } catch (...) {
    outcome->error = std::current_exception();
  }
  outcome->done = true;
  if (outcome->loop) outcome->loop->quit();
}

}  // namespace awaittask_detail

template <typename T>
T awaitTask(QCoro::Task<T>&& task, std::chrono::milliseconds timeout = std::chrono::seconds(15)) {
  auto outcome = std::make_shared<awaittask_detail::Outcome<T>>();
  QEventLoop loop;
  outcome->loop = &loop;
  auto driver = awaittask_detail::drive<T>(std::move(task), outcome);
  if (!outcome->done) {
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
  }
  outcome->loop = nullptr;
  if (!outcome->done) throw std::runtime_error("awaitTask: the task did not finish in time");
  if (outcome->error) std::rethrow_exception(outcome->error);
  if constexpr (!std::is_void_v<T>) return std::move(*outcome->value);
}

// Spins the event loop until `condition` holds or `timeout` passes; returns the
// condition's last value.
template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (condition()) loop.quit();
  });
  QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
  if (condition()) return true;
  poll.start(5);
  loop.exec();
  return condition();
}

// Spins the event loop until `condition` has held without a break for `hold`,
// or `timeout` passes. For states that can show for a moment before they
// settle, such as a window manager's stale active window naming a new
// program's window that reuses the id of one just closed.
template <typename Condition>
bool waitUntilSteady(Condition condition, std::chrono::milliseconds hold,
                     std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  QElapsedTimer held;
  return waitUntil(
      [&] {
        if (!condition()) {
          held.invalidate();
          return false;
        }
        if (!held.isValid()) held.start();
        return held.elapsed() >= hold.count();
      },
      timeout);
}

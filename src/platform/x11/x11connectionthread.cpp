#include "platform/x11/x11connectionthread.h"

#include "core/logging.h"

#include <cerrno>
#include <cstdint>
#include <exception>

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// The thread has nobody to hand an exception to: it is logged and the
// thread goes on serving.
void runGuarded(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& error) {
    qCCritical(lcHotKey, "X connection thread: %s", error.what());
  } catch (...) {
    qCCritical(lcHotKey, "X connection thread: unknown failure");
  }
}

}  // namespace

bool X11ConnectionThread::start(int socket, std::function<void()> serve) {
  stop();
  wakeup_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeup_ < 0) return false;
  serve_ = std::move(serve);
  stopping_ = false;
  try {
    thread_ = std::thread([this, socket] { loop(socket); });
  } catch (const std::system_error&) {
    ::close(wakeup_);
    wakeup_ = -1;
    return false;
  }
  return true;
}

X11ConnectionThread::Pending X11ConnectionThread::post(std::function<void()> task) {
  Pending pending;
  if (!running()) return pending;
  std::lock_guard lock(mutex_);
  if (stopping_) return pending;
  pending.thread_ = this;
  pending.task_ = std::make_shared<Task>(Task{std::move(task)});
  tasks_.push_back(pending.task_);
  wake();
  return pending;
}

void X11ConnectionThread::Pending::wait() {
  if (!task_) return;
  std::unique_lock lock(thread_->mutex_);
  thread_->finished_.wait(lock, [this] { return task_->done; });
}

void X11ConnectionThread::stop() {
  if (!running()) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    wake();
  }
  thread_.join();
  ::close(wakeup_);
  wakeup_ = -1;
  serve_ = nullptr;
}

void X11ConnectionThread::wake() {
  const std::uint64_t one = 1;
  // Fails only when the counter is full, and then the thread is woken anyway.
  [[maybe_unused]] const ssize_t written = ::write(wakeup_, &one, sizeof one);
}

void X11ConnectionThread::dropTasks() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
  // A caller still waiting gets its answer: nothing was done.
  for (const std::shared_ptr<Task>& left : tasks_) left->done = true;
  tasks_.clear();
  finished_.notify_all();
}

bool X11ConnectionThread::runTasks() {
  for (;;) {
    std::shared_ptr<Task> task;
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return false;
      if (tasks_.empty()) return true;
      task = tasks_.front();
      tasks_.pop_front();
    }
    runGuarded(task->work);
    {
      std::lock_guard lock(mutex_);
      task->done = true;
      finished_.notify_all();
    }
    // The caller needs nothing of what the task's round trips queued.
    runGuarded(serve_);
  }
}

void X11ConnectionThread::loop(int socket) {
  pthread_setname_np(pthread_self(), "x11-connection");
  runGuarded(serve_);
  pollfd watched[] = {{socket, POLLIN, 0}, {wakeup_, POLLIN, 0}};
  while (runTasks()) {
    if (::poll(watched, 2, -1) < 0 && errno != EINTR) break;
    if (watched[1].revents & POLLIN) {
      std::uint64_t count = 0;
      [[maybe_unused]] const ssize_t read = ::read(wakeup_, &count, sizeof count);
    }
    if (watched[0].revents) runGuarded(serve_);
  }
  dropTasks();
}

#pragma once

#include <QCoroTask>
#include <QObject>

#include <deque>
#include <functional>

// Runs asynchronous jobs one after another, in the order they were queued:
// commands typed into one terminal window must arrive in the order spoken,
// and the second must see the window the first one opened. Main thread only.
class SerialTaskQueue : public QObject {
  Q_OBJECT

 public:
  using Job = std::function<QCoro::Task<void>()>;

  // Queues `job`; it starts at once when nothing else runs.
  void enqueue(Job job);

  bool isIdle() const { return !running_; }

 Q_SIGNALS:
  // The last queued job has ended.
  void idle();

 private:
  QCoro::Task<void> drain();

  std::deque<Job> jobs_;
  bool running_ = false;
};

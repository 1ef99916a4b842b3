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

  // Queues `job`; it starts at once when nothing else runs. Gives the job's
  // number, for waitFor().
  quint64 enqueue(Job job);
  // Ends once the job numbered `number` has ended (it may have already).
  QCoro::Task<void> waitFor(quint64 number);

  bool isIdle() const { return !running_; }

 Q_SIGNALS:
  // The last queued job has ended.
  void idle();
  // The job numbered `number` (queued as the number-th) has ended.
  void jobEnded(quint64 number);

 private:
  QCoro::Task<void> drain();

  struct Queued {
    quint64 number;
    Job job;
  };
  std::deque<Queued> jobs_;
  quint64 queued_ = 0;
  quint64 ended_ = 0;
  bool running_ = false;
};

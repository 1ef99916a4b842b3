#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// Serves one Xlib connection from a thread of its own, so that what comes in
// on it is read however busy the main thread is.
//
// Xlib lets one thread at a time use a display, and whether the process made
// Xlib lock for itself (XInitThreads, which only counts as the very first
// Xlib call) is not ours to decide. So once the thread runs, it alone touches
// the connection: other threads hand it tasks, which it runs between two
// reads. It sleeps in poll() on the connection's socket and on an eventfd
// that a new task or stop() writes to.
class X11ConnectionThread {
  struct Task;

 public:
  // A task handed to the thread; wait() returns once it is done.
  class Pending {
   public:
    void wait();

   private:
    friend class X11ConnectionThread;
    X11ConnectionThread* thread_ = nullptr;
    std::shared_ptr<Task> task_;  // none: nothing to wait for
  };

  X11ConnectionThread() = default;
  ~X11ConnectionThread() { stop(); }
  X11ConnectionThread(const X11ConnectionThread&) = delete;
  X11ConnectionThread& operator=(const X11ConnectionThread&) = delete;

  // Starts the thread on the connection whose socket is `socket`. `serve`
  // runs on the thread at the start, whenever the socket has data and after
  // each task; it must read everything Xlib holds (XPending() down to 0), for
  // Xlib may have read events from the socket while waiting for a reply.
  // False when no thread could be started.
  bool start(int socket, std::function<void()> serve);

  // Runs `task` on the thread and waits until it is done. The thread only
  // waits for the X server, so this takes a round trip or two. Does nothing
  // when the thread is not running.
  void run(std::function<void()> task) { post(std::move(task)).wait(); }
  // The same without waiting yet, so that several threads can do their part
  // at once. Wait for the result before the thread's owner goes.
  [[nodiscard]] Pending post(std::function<void()> task);

  // Ends the thread and waits for it; the connection is then the caller's
  // again (closing it is up to the caller). Harmless when not running.
  void stop();

  bool running() const { return thread_.joinable(); }

 private:
  struct Task {
    std::function<void()> work;
    bool done = false;
  };

  void loop(int socket);
  bool runTasks();  // false once stopping
  void dropTasks();
  void wake();

  std::thread thread_;
  std::function<void()> serve_;
  int wakeup_ = -1;  // eventfd
  std::mutex mutex_;
  std::condition_variable finished_;
  std::deque<std::shared_ptr<Task>> tasks_;
  bool stopping_ = false;
};

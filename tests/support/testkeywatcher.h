#pragma once

#include <QList>
#include <QProcess>

#include <chrono>
#include <functional>

// Another application in front on the test desktop that notes when each key
// reaches it (veltrine-test-keywatcher, see keywatcher/main.cpp). It runs in a
// process of its own: a test may keep its own main thread busy meanwhile and
// read afterwards what arrived when.
class TestKeyWatcher {
 public:
  struct Key {
    bool press = false;
    int keycode = 0;    // X keycode
    bool sent = false;  // sent by a client (XSendEvent), not typed
    // Milliseconds from the key's server time stamp until it arrived.
    qint64 delayMs = 0;
    // When it arrived, on the monotonic clock (std::chrono::steady_clock).
    std::chrono::milliseconds arrival{0};
  };

  ~TestKeyWatcher();

  // Starts the program and waits until its window has the input focus.
  bool start();
  // Every key event that has arrived so far, oldest first.
  QList<Key> keys();
  // Waits until a key event matching `wanted` has arrived.
  bool waitForKey(const std::function<bool(const Key&)>& wanted,
                  std::chrono::milliseconds timeout = std::chrono::seconds(5));

 private:
  void readOutput();

  QProcess process_;
  QList<Key> keys_;
};

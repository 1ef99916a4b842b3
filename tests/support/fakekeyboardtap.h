#pragma once

#include "platform/keyboardtap.h"

#include <QList>

// A keyboard tap driven by the test: it counts starts and stops, keeps the
// grabs it was given, can refuse like a desktop whose combination is taken,
// and feeds events to the listener with press(). Installed for its lifetime.
class FakeKeyboardTap final : public KeyboardTap {
 public:
  FakeKeyboardTap() { KeyboardTap::install(this); }
  ~FakeKeyboardTap() override { KeyboardTap::install(nullptr); }

  bool start(Sink sink, const QList<KeyGrab>& newGrabs) override {
    ++starts;
    if (refuse) return false;
    sink_ = std::move(sink);
    grabs = newGrabs;
    running = true;
    return true;
  }
  bool setGrabs(const QList<KeyGrab>& newGrabs) override {
    ++grabChanges;
    if (refuse) {
      stop();
      return false;
    }
    grabs = newGrabs;
    return true;
  }
  void stop() override {
    if (running) ++stops;
    running = false;
    sink_ = nullptr;
    grabs.clear();
  }

  // Hands `event` to the listener, as the desktop would, and answers whether
  // the listener swallowed it (false when the tap is not running: the event
  // then goes to the front application).
  bool press(const KeyTapEvent& event) { return running && sink_ && sink_(event); }

  bool refuse = false;
  bool running = false;
  int starts = 0;
  int stops = 0;
  int grabChanges = 0;
  QList<KeyGrab> grabs;

 private:
  Sink sink_;
};

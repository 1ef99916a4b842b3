#pragma once

#include "platform/keyboardtap.h"

#include <QList>

// A keyboard tap driven by the test: counts starts and stops, keeps its grabs,
// refuses those in `held` as another application's (everything, with
// `refuse`), and feeds events with press(). Installed for its lifetime.
class FakeKeyboardTap final : public KeyboardTap {
 public:
  FakeKeyboardTap() { KeyboardTap::install(this); }
  ~FakeKeyboardTap() override { KeyboardTap::install(nullptr); }

  bool start(Sink sink, const QList<KeyGrab>& newGrabs) override {
    ++starts;
    if (refuse) return false;
    sink_ = std::move(sink);
    running = true;
    take(newGrabs);
    return true;
  }
  bool setGrabs(const QList<KeyGrab>& newGrabs) override {
    if (!running) return false;
    take(newGrabs);
    return true;
  }
  QList<KeyGrab> refusedGrabs() const override { return refused; }
  void stop() override {
    if (running) ++stops;
    running = false;
    sink_ = nullptr;
    grabs.clear();
    refused.clear();
  }

  // Hands `event` to the listener as the desktop would; whether it swallowed it
  // (false when the tap is not running: it goes to the front application).
  bool press(const KeyTapEvent& event) { return running && sink_ && sink_(event); }

  bool refuse = false;
  QList<KeyGrab> held;
  bool running = false;
  int starts = 0;
  int stops = 0;
  QList<KeyGrab> grabs;
  QList<KeyGrab> refused;

 private:
  void take(const QList<KeyGrab>& wanted) {
    grabs.clear();
    refused.clear();
    for (const KeyGrab& grab : wanted) (held.contains(grab) ? refused : grabs).append(grab);
  }

  Sink sink_;
};

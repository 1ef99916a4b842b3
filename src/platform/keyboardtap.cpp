#include "platform/keyboardtap.h"

#include <atomic>

namespace {

class NoKeyboardTap final : public KeyboardTap {
 public:
  bool start(Sink, const QList<KeyGrab>&) override { return false; }
  bool setGrabs(const QList<KeyGrab>&) override { return false; }
  void stop() override {}
};

std::atomic<KeyboardTap*> installed{nullptr};

}  // namespace

KeyboardTap& KeyboardTap::current() {
  static NoKeyboardTap none;
  KeyboardTap* tap = installed.load();
  return tap ? *tap : none;
}

void KeyboardTap::install(KeyboardTap* tap) { installed.store(tap); }

#include "platform/keyboardtap.h"

#include "core/installed.h"

namespace {

class NoKeyboardTap final : public KeyboardTap {
 public:
  bool start(Sink, const QList<KeyGrab>&) override { return false; }
  bool setGrabs(const QList<KeyGrab>&) override { return false; }
  QList<KeyGrab> refusedGrabs() const override { return {}; }
  void stop() override {}
};

using InstalledTap = Installed<KeyboardTap, NoKeyboardTap>;

}  // namespace

KeyboardTap& KeyboardTap::current() { return InstalledTap::current(); }

void KeyboardTap::install(KeyboardTap* tap) { InstalledTap::install(tap); }

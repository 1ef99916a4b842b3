#include "platform/settingslauncher.h"

#include <atomic>

namespace {

class NoSettings final : public SettingsLauncher {
 public:
  bool open(Pane) override { return false; }
};

std::atomic<SettingsLauncher*> installed{nullptr};

}  // namespace

SettingsLauncher& SettingsLauncher::current() {
  static NoSettings none;
  SettingsLauncher* launcher = installed.load();
  return launcher ? *launcher : none;
}

void SettingsLauncher::install(SettingsLauncher* launcher) { installed.store(launcher); }

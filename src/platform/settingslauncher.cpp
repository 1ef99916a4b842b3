#include "platform/settingslauncher.h"

#include "core/installed.h"

namespace {

class NoSettings final : public SettingsLauncher {
 public:
  bool open(Pane) override { return false; }
};

using InstalledLauncher = Installed<SettingsLauncher, NoSettings>;

}  // namespace

SettingsLauncher& SettingsLauncher::current() { return InstalledLauncher::current(); }

void SettingsLauncher::install(SettingsLauncher* launcher) { InstalledLauncher::install(launcher); }

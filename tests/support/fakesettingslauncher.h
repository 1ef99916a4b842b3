#pragma once

#include "platform/settingslauncher.h"

#include <QList>

// Records the panes it is asked to open; `available` says whether the
// desktop has a settings program. Installed for its lifetime.
class FakeSettingsLauncher final : public SettingsLauncher {
 public:
  explicit FakeSettingsLauncher(bool available = true) : available(available) { SettingsLauncher::install(this); }
  ~FakeSettingsLauncher() override { SettingsLauncher::install(nullptr); }

  bool open(Pane pane) override {
    opened.append(pane);
    return available;
  }

  bool available;
  QList<Pane> opened;
};

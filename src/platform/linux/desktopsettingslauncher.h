#pragma once

#include "platform/settingslauncher.h"

#include <QList>
#include <QStringList>

// Opens the settings program of the desktop in use: the first of a list of
// known programs (GNOME, KDE, Cinnamon, MATE, XFCE, the PulseAudio mixer)
// found on the PATH, started detached with its own argument list, never
// through a shell.
class DesktopSettingsLauncher final : public SettingsLauncher {
 public:
  struct Candidate {
    QString program;
    QStringList arguments;
  };

  bool open(Pane pane) override;

  // The programs tried for `pane`, in order.
  static QList<Candidate> candidates(Pane pane);
};

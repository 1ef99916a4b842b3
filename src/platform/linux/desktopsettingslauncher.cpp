#include "platform/linux/desktopsettingslauncher.h"

#include <QProcess>
#include <QStandardPaths>

QList<DesktopSettingsLauncher::Candidate> DesktopSettingsLauncher::candidates(Pane pane) {
  switch (pane) {
    case Pane::microphone:
      return {
          {QStringLiteral("gnome-control-center"), {QStringLiteral("sound")}},
          {QStringLiteral("systemsettings"), {QStringLiteral("kcm_pulseaudio")}},
          {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_pulseaudio")}},
          {QStringLiteral("kcmshell5"), {QStringLiteral("kcm_pulseaudio")}},
          {QStringLiteral("cinnamon-settings"), {QStringLiteral("sound")}},
          {QStringLiteral("mate-volume-control"), {}},
          {QStringLiteral("pavucontrol-qt"), {QStringLiteral("--tab=4")}},
          {QStringLiteral("pavucontrol"), {QStringLiteral("--tab=4")}},
      };
    case Pane::accessibility:
      return {
          {QStringLiteral("gnome-control-center"), {QStringLiteral("universal-access")}},
          {QStringLiteral("systemsettings"), {QStringLiteral("kcm_access")}},
          {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_access")}},
          {QStringLiteral("kcmshell5"), {QStringLiteral("kcm_access")}},
          {QStringLiteral("cinnamon-settings"), {QStringLiteral("universal-access")}},
          {QStringLiteral("mate-at-properties"), {}},
          {QStringLiteral("xfce4-accessibility-settings"), {}},
      };
  }
  return {};
}

bool DesktopSettingsLauncher::open(Pane pane) {
  for (const Candidate& candidate : candidates(pane)) {
    const QString path = QStandardPaths::findExecutable(candidate.program);
    if (path.isEmpty()) continue;
    if (QProcess::startDetached(path, candidate.arguments)) return true;
  }
  return false;
}

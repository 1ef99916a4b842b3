#pragma once

#include "platform/settingslauncher.h"

#include <QString>

class QMessageBox;

// The short explanations that stand in for the system prompts a Linux
// desktop does not have. Non-modal: they never block the event loop, so the
// hotkeys keep working while one is open. At most one is shown at a time; a
// new explanation replaces the text of the open one.
class PermissionHelpDialog {
 public:
  // The desktop does not trust the program; `reason` says what is missing.
  static void explainMissingTrust(const QString& reason);
  // No settings program for `pane` was found on this desktop.
  static void explainNoSettingsProgram(SettingsLauncher::Pane pane);

  // The dialog on screen, if any (for tests).
  static QMessageBox* current();

 private:
  static void show(const QString& title, const QString& text);
};

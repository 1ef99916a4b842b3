#pragma once

// Opens the desktop's own settings where the user can fix a missing
// permission: the sound settings for the microphone, the accessibility
// settings for the desktop trust.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing can be opened.
class SettingsLauncher {
 public:
  enum class Pane { microphone, accessibility };

  virtual ~SettingsLauncher() = default;

  // Starts the settings program for `pane` without waiting for it. False when
  // the desktop has none or it could not be started.
  virtual bool open(Pane pane) = 0;

  static SettingsLauncher& current();
  // Installs `launcher` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(SettingsLauncher* launcher);
};

#include "pipeline/systemsettings.h"

#include "pipeline/permissionhelpdialog.h"
#include "platform/settingslauncher.h"

void openSystemURL(const QString& address) {
  SettingsLauncher::Pane pane;
  if (address == kMicrophoneSettingsAddress) {
    pane = SettingsLauncher::Pane::microphone;
  } else if (address == kAccessibilitySettingsAddress) {
    pane = SettingsLauncher::Pane::accessibility;
  } else {
    return;
  }
  if (!SettingsLauncher::current().open(pane)) PermissionHelpDialog::explainNoSettingsProgram(pane);
}

void openMicrophoneSettings() { openSystemURL(kMicrophoneSettingsAddress); }

void openAccessibilitySettings() { openSystemURL(kAccessibilitySettingsAddress); }

#include "pipeline/systemsettings.h"

#include "fakesettingslauncher.h"
#include "localization/desktophelpstrings.h"
#include "localization/languagemanager.h"
#include "pipeline/permissionhelpdialog.h"

#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

using Pane = SettingsLauncher::Pane;

TEST(SystemSettings, TheTwoAddressesOpenTheirPanesAndOthersNothing) {
  FakeSettingsLauncher launcher;
  openSystemURL(kMicrophoneSettingsAddress);
  openAccessibilitySettings();
  openMicrophoneSettings();
  openSystemURL(QStringLiteral("https://example.com"));
  openSystemURL(QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_Camera"));
  EXPECT_EQ(launcher.opened, (QList<Pane>{Pane::microphone, Pane::accessibility, Pane::microphone}));
  EXPECT_EQ(PermissionHelpDialog::current(), nullptr);
}

TEST(SystemSettings, WithoutASettingsProgramAHelpDialogExplainsWhatToDo) {
  FakeSettingsLauncher launcher(false);
  openMicrophoneSettings();
  QMessageBox* dialog = PermissionHelpDialog::current();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->isModal()) << "the hotkeys keep working while it is open";
  EXPECT_TRUE(dialog->text().contains(QStringLiteral("microphone")));

  openAccessibilitySettings();
  EXPECT_EQ(PermissionHelpDialog::current(), dialog);
  EXPECT_TRUE(dialog->text().contains(QStringLiteral("X11")));
}

TEST(SystemSettings, TheHelpDialogSpeaksTheInterfaceLanguage) {
  FakeSettingsLauncher launcher(false);
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  openMicrophoneSettings();
  ASSERT_NE(PermissionHelpDialog::current(), nullptr);
  EXPECT_EQ(PermissionHelpDialog::current()->windowTitle(),
            desktopHelpStrings(AppLanguage::ko).microphoneSettingsTitle);
  EXPECT_EQ(PermissionHelpDialog::current()->text(), desktopHelpStrings(AppLanguage::ko).microphoneSettingsText);
}

}  // namespace

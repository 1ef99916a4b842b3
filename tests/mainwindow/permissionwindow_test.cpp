#include "mainwindow/permissionwindowmanager.h"

#include "awaittask.h"
#include "core/clock.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "fakesettingslauncher.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/permissiongateheader.h"
#include "mainwindow/permissiongateview.h"
#include "mainwindow/permrow.h"
#include "mainwindow/plainbutton.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionhelpdialog.h"
#include "pipeline/permissionmanager.h"
#include "theme/neonbutton.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Authorization = MicrophoneAccess::Authorization;

PermissionGateView* gateOf(QWidget* window) { return window->findChild<PermissionGateView*>(); }

int permissionWindowCount() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->windowTitle() == PermissionWindowManager::kWindowTitle) ++count;
  }
  return count;
}

class PermissionWindowTest : public ::testing::Test {
 protected:
  PermissionWindowTest() { Clock::setTimeScaleForTesting(0.01); }

  FakeAccessibilityTrust trust{false};
  FakeMicrophoneAccess microphone{Authorization::notDetermined};
  FakeKeyboardTap tap;
  FakeSettingsLauncher settings;
  PermissionWindowManager& manager = PermissionWindowManager::shared();
};

TEST_F(PermissionWindowTest, OneWindowWhileVisibleAndAFreshOneAfterClosing) {
  manager.show();
  QPointer<QWidget> first = manager.window();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->windowTitle(), QStringLiteral("权限设置"));
  EXPECT_EQ(first->size(), QSize(520, 480));
  EXPECT_TRUE(first->isVisible());

  manager.show();
  EXPECT_EQ(manager.window(), first.data());
  EXPECT_EQ(permissionWindowCount(), 1);

  // The close button only hides; the next show makes a new window and the
  // hidden one goes away.
  first->close();
  ASSERT_TRUE(first);
  EXPECT_FALSE(first->isVisible());
  manager.show();
  EXPECT_NE(manager.window(), first.data());
  EXPECT_TRUE(manager.window()->isVisible());
  EXPECT_TRUE(waitUntil([&] { return first.isNull(); }));
  EXPECT_EQ(permissionWindowCount(), 1);
}

// Which action each row offers follows the model: grant while missing,
// manage once granted, also when the grant shows up on coming back to the
// program (no refresh pressed).
TEST_F(PermissionWindowTest, RowsFollowTheModelWhenTheProgramBecomesActiveAgain) {
  manager.show();
  PermissionGateView* gate = gateOf(manager.window());
  ASSERT_TRUE(gate);
  PermRow* accessibility = gate->accessibilityRow();
  EXPECT_EQ(accessibility->status(), PermissionStatus::denied);
  EXPECT_TRUE(accessibility->authButton()->isVisibleTo(gate));
  EXPECT_FALSE(accessibility->manageButton()->isVisibleTo(gate));
  EXPECT_FALSE(gate->header()->allGranted());

  trust.trusted = true;
  microphone.status = Authorization::authorized;
  Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
  ASSERT_TRUE(waitUntil([&] { return accessibility->status() == PermissionStatus::granted; }));
  EXPECT_FALSE(accessibility->authButton()->isVisibleTo(gate));
  EXPECT_TRUE(accessibility->manageButton()->isVisibleTo(gate));
  EXPECT_EQ(gate->microphoneRow()->status(), PermissionStatus::granted);
  EXPECT_TRUE(gate->header()->allGranted());
  EXPECT_EQ(gate->header()->title(), currentStrings().permFullyAuthorized);
}

TEST_F(PermissionWindowTest, MicrophoneGrantAsksOnceThenOpensTheSoundSettings) {
  microphone.grantOnRequest = false;
  manager.show();
  PermissionGateView* gate = gateOf(manager.window());
  gate->microphoneRow()->authButton()->click();
  EXPECT_EQ(microphone.requests, 1);
  ASSERT_TRUE(waitUntil([] { return PermissionManager::shared().microphoneStatus() == PermissionStatus::denied; }));
  EXPECT_TRUE(settings.opened.isEmpty());

  gate->microphoneRow()->authButton()->click();
  EXPECT_EQ(microphone.requests, 1);
  EXPECT_EQ(settings.opened, QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::microphone});
}

TEST_F(PermissionWindowTest, AccessibilityGrantExplainsThenOpensTheSettingsBehind) {
  manager.show();
  PermissionGateView* gate = gateOf(manager.window());
  gate->accessibilityRow()->authButton()->click();
  EXPECT_TRUE(PermissionHelpDialog::current());
  EXPECT_TRUE(settings.opened.isEmpty());
  EXPECT_TRUE(waitUntil([&] { return !settings.opened.isEmpty(); }));
  EXPECT_EQ(settings.opened, QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::accessibility});
}

TEST_F(PermissionWindowTest, TextsFollowTheInterfaceLanguage) {
  LanguageManager::shared().setCurrent(AppLanguage::en);
  manager.show();
  PermissionGateView* gate = gateOf(manager.window());
  const QString english = gate->doneButton()->text();
  LanguageManager::shared().setCurrent(AppLanguage::ko);
  EXPECT_EQ(gate->doneButton()->text(), currentStrings().btnDone);
  EXPECT_NE(gate->doneButton()->text(), english);
  EXPECT_EQ(gate->refreshButton()->text(), currentStrings().btnRefresh);
  EXPECT_EQ(gate->microphoneRow()->title(), currentStrings().permMicrophone);
  EXPECT_EQ(gate->header()->subtitle(), currentStrings().permSomeMissing);
  // The window's title is fixed, whatever the language.
  EXPECT_EQ(manager.window()->windowTitle(), QStringLiteral("权限设置"));
}

// Done closes the window, starts the listener whatever the permissions say,
// and brings back the main window: not a floating panel, not a dialog, not
// the permission window itself, whichever comes first.
TEST_F(PermissionWindowTest, DoneStartsTheListenerAndBringsBackTheMainWindowOnly) {
  auto panel = std::make_unique<QWidget>(nullptr, Qt::Tool);
  panel->show();
  panel->hide();
  auto dialog = std::make_unique<QWidget>(nullptr, Qt::Dialog);
  dialog->winId();
  manager.show();
  auto mainWindow = std::make_unique<QWidget>();
  mainWindow->winId();
  QPointer<QWidget> window = manager.window();

  gateOf(window)->doneButton()->click();

  EXPECT_TRUE(waitUntil([&] { return window.isNull(); }));
  EXPECT_EQ(manager.window(), nullptr);
  EXPECT_EQ(tap.starts, 1);
  EXPECT_TRUE(mainWindow->isVisible());
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(dialog->isVisible());
}

}  // namespace

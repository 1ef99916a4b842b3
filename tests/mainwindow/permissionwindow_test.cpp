// The permission window against the permission model, with the desktop faked.
#include "core/clock.h"
#include "fakesettingslauncher.h"
#include "mainwindow/permissiongateheader.h"
#include "mainwindow/permissiongateview.h"
#include "mainwindow/permissionwindowmanager.h"
#include "mainwindow/permrow.h"
#include "mainwindowtest.h"
#include "pipeline/permissionhelpdialog.h"
#include "pipeline/permissionmanager.h"
#include "theme/neonbutton.h"

#include <QGuiApplication>

#include <memory>

namespace {

using Authorization = MicrophoneAccess::Authorization;

class PermissionWindow : public MainWindowTest {
 protected:
  PermissionWindow() {
    Clock::setTimeScaleForTesting(0.01);
    trust.trusted = false;
    microphone.status = Authorization::notDetermined;
  }
  ~PermissionWindow() override { Clock::setTimeScaleForTesting(1); }

  // The window on screen and its content.
  PermissionGateView& open() {
    manager.show();
    return *manager.window()->findChild<PermissionGateView*>();
  }

  static int windowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->windowTitle() == PermissionWindowManager::kWindowTitle && widget->isVisible()) ++count;
    }
    return count;
  }

  FakeSettingsLauncher settings;
  PermissionWindowManager& manager = PermissionWindowManager::shared();
};

TEST_F(PermissionWindow, OneWindowWhileVisibleAndAFreshOneAfterClosing) {
  open();
  QPointer<QWidget> first = manager.window();
  EXPECT_EQ(first->windowTitle(), QStringLiteral("权限设置")) << "fixed, whatever the language";
  EXPECT_EQ(first->size(), QSize(520, 480));
  EXPECT_TRUE(first->isVisible());
  open();
  EXPECT_EQ(manager.window(), first.data());
  EXPECT_EQ(windowCount(), 1);

  // The close button only hides; the next show makes a new window and the
  // hidden one goes away.
  first->close();
  ASSERT_TRUE(first);
  EXPECT_EQ(windowCount(), 0);
  open();
  EXPECT_NE(manager.window(), first.data());
  EXPECT_TRUE(waitUntil([&] { return first.isNull(); }));
  EXPECT_EQ(windowCount(), 1);
}

// Which action each row offers follows the model: grant while missing,
// manage once granted, also when the grant shows up on coming back to the
// program (no refresh pressed).
TEST_F(PermissionWindow, RowsFollowTheModelWhenTheProgramBecomesActiveAgain) {
  PermissionGateView& gate = open();
  const AppStrings& strings = currentStrings();
  EXPECT_EQ(shownTexts(gate).count(strings.permGoAuth), 2);
  EXPECT_FALSE(shownWith(gate, strings.manage));
  EXPECT_FALSE(gate.header()->allGranted());
  EXPECT_EQ(gate.header()->subtitle(), strings.permSomeMissing);

  trust.trusted = true;
  microphone.status = Authorization::authorized;
  Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
  ASSERT_TRUE(waitUntil([&] { return shownTexts(gate).count(strings.manage) == 2; }));
  EXPECT_FALSE(shownWith(gate, strings.permGoAuth));
  EXPECT_EQ(gate.accessibilityRow()->status(), PermissionStatus::granted);
  EXPECT_TRUE(gate.header()->allGranted());
  EXPECT_EQ(gate.header()->title(), strings.permFullyAuthorized);
  EXPECT_LOOKS_RIGHT(*manager.window());
}

TEST_F(PermissionWindow, MicrophoneGrantAsksOnceThenOpensTheSoundSettings) {
  microphone.grantOnRequest = false;
  PermissionGateView& gate = open();
  click(gate.microphoneRow()->authButton());
  EXPECT_EQ(microphone.requests, 1);
  ASSERT_TRUE(waitUntil([] { return PermissionManager::shared().microphoneStatus() == PermissionStatus::denied; }));
  EXPECT_TRUE(settings.opened.isEmpty());

  click(gate.microphoneRow()->authButton());
  EXPECT_EQ(microphone.requests, 1);
  EXPECT_EQ(settings.opened, QList<SettingsLauncher::Pane>{SettingsLauncher::Pane::microphone});
}

// Done closes the window, starts the listener whatever the permissions say,
// and brings back the main window: not a floating panel, not a dialog, not
// the permission window itself, whichever comes first.
TEST_F(PermissionWindow, DoneStartsTheListenerAndBringsBackTheMainWindowOnly) {
  auto panel = std::make_unique<QWidget>(nullptr, Qt::Tool);
  panel->show();
  panel->hide();
  auto dialog = std::make_unique<QWidget>(nullptr, Qt::Dialog);
  dialog->winId();
  PermissionGateView& gate = open();
  auto mainWindow = std::make_unique<QWidget>();
  mainWindow->winId();
  QPointer<QWidget> window = manager.window();

  clickText(gate, currentStrings().btnDone);

  EXPECT_TRUE(waitUntil([&] { return window.isNull(); }));
  EXPECT_EQ(manager.window(), nullptr);
  EXPECT_EQ(tap.starts, 1);
  EXPECT_TRUE(mainWindow->isVisible());
  EXPECT_FALSE(panel->isVisible());
  EXPECT_FALSE(dialog->isVisible());
}

}  // namespace

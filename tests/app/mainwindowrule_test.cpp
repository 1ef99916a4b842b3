#include "app/appdelegate.h"
#include "app/singleinstance.h"
#include "app/voice_inputapp.h"

#include "appshelltest.h"
#include "mainwindow/permissionwindowmanager.h"
#include "onboarding/onboardingmanager.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <memory>
#include <vector>

namespace {

using MainWindowRule = AppShellTest;

RootWindow::Views viewsWithAField() {
  return RootWindow::Views{
      [] { return new QWidget; },
      [](std::function<void()>) { return new QWidget; },
      [] { return new QLineEdit; },
  };
}

TEST_F(MainWindowRule, ClosingOnlyHidesAndStartingAgainBringsTheSameWindowBack) {
  signIn();
  OnboardingManager::shared().markCompleted();
  voice_inputApp application(viewsWithAField());
  AppDelegate& delegate = application.appDelegate();
  ASSERT_TRUE(application.launch());
  RootWindow* window = application.openWindowScene();
  ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  auto* field = qobject_cast<QLineEdit*>(window->contentView());
  ASSERT_NE(field, nullptr);
  field->setText(QStringLiteral("half-written"));
  // The close button reaches the delegate half a second (here 5 ms) after launch.
  waitUntil([] { return false; }, std::chrono::milliseconds(50));

  EXPECT_FALSE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::accessory);
  EXPECT_NE(delegate.statusItem(), nullptr);

  // Starting the program again reaches this copy, which shows the same window.
  SingleInstance secondCopy;
  ASSERT_FALSE(secondCopy.claim());
  ASSERT_TRUE(secondCopy.activateRunningCopy());
  ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  EXPECT_EQ(window->contentView(), field);
  EXPECT_EQ(field->text(), QStringLiteral("half-written"));

  // The tray menu's show item does the same.
  window->close();
  delegate.showMainWindow();
  EXPECT_TRUE(window->isVisible());
}

// The quit key and the tray's Quit end the program while the main window is
// on screen too: the close that quitting sends the window is not refused.
TEST_F(MainWindowRule, QuittingEndsTheProgramAlsoWhileTheMainWindowIsOpen) {
  signIn();
  OnboardingManager::shared().markCompleted();
  voice_inputApp application(viewsWithAField());
  ASSERT_TRUE(application.launch());
  RootWindow* window = application.openWindowScene();
  ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
  // The delegate watches the window's close button from half a second (here 5 ms) on.
  waitUntil([] { return false; }, std::chrono::milliseconds(50));
  // Other windows of the program stay open meanwhile (the tray icon is one).
  std::vector<std::unique_ptr<QWidget>> others;
  for (int i = 0; i < 4; ++i) {
    others.push_back(std::make_unique<QWidget>());
    others.back()->show();
  }

  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  // A refused quit leaves the loop running: this ends it with another status.
  QTimer::singleShot(2000, [] { QCoreApplication::exit(7); });
  EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(MainWindowRule, TheMainWindowIsNeverThePermissionWindowAPanelOrADialog) {
  EXPECT_EQ(AppDelegate::mainWindow(), nullptr);
  AppDelegate delegate;
  // Without a main window the show rule still switches the policy.
  delegate.showMainWindow();
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);

  PermissionWindowManager::shared().show();
  auto panel = std::make_unique<QWidget>(nullptr, Qt::Tool);
  panel->winId();
  auto dialog = std::make_unique<QWidget>(nullptr, Qt::Dialog);
  dialog->show();
  EXPECT_EQ(AppDelegate::mainWindow(), nullptr);

  auto main = std::make_unique<QWidget>();
  EXPECT_EQ(AppDelegate::mainWindow(), main.get());
  delegate.showMainWindow();
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(panel->isVisible());
}

}  // namespace

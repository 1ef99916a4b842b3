#include "app/appdelegate.h"
#include "app/rootwindow.h"
#include "app/singleinstance.h"
#include "app/voice_inputapp.h"

#include "appshelltest.h"
#include "mainwindow/permissionwindowmanager.h"
#include "onboarding/onboardingmanager.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using WindowTest = AppShellTest;

// The window shows a view with `text` on screen (a new view shows at the next turn of the event loop).
bool shows(const RootWindow& window, const QString& text) {
  return waitUntil([&] {
    auto* label = qobject_cast<QLabel*>(window.contentView());
    return label && label->isVisible() && label->text() == text;
  });
}

// A new account goes through onboarding once, then to the main view; signing out shows the sign-in view.
TEST_F(WindowTest, ContentFollowsTheSignInAndOnboardingOncePerAccount) {
  std::function<void()> finishOnboarding;
  RootWindow window(RootWindow::Views{
      [] { return new QLabel(QStringLiteral("auth")); },
      [&](std::function<void()> onFinish) {
        finishOnboarding = std::move(onFinish);
        return new QLabel(QStringLiteral("onboarding"));
      },
      [] { return new QLabel(QStringLiteral("main")); }});
  window.show();
  EXPECT_TRUE(shows(window, QStringLiteral("auth")));
  signIn(QStringLiteral("new@example.com"));
  EXPECT_TRUE(shows(window, QStringLiteral("onboarding")));
  ASSERT_TRUE(finishOnboarding);
  finishOnboarding();
  EXPECT_TRUE(shows(window, QStringLiteral("main")));
  // A token stored again (a new plan, a refresh) keeps the view and its state.
  QPointer<QWidget> mainView = window.contentView();
  AuthStore::shared().setToken(QStringLiteral("tok-1"));
  EXPECT_EQ(window.contentView(), mainView.data());

  AuthStore::shared().clearSession();
  EXPECT_TRUE(shows(window, QStringLiteral("auth")));
  EXPECT_TRUE(waitUntil([&] { return mainView.isNull(); }));
  signIn(QStringLiteral("new@example.com"));
  EXPECT_TRUE(shows(window, QStringLiteral("main")));
  AuthStore::shared().clearSession();
  signIn(QStringLiteral("other@example.com"));
  EXPECT_TRUE(shows(window, QStringLiteral("onboarding")));
}

TEST_F(WindowTest, TheWindowTakesTheSizeItsContentAsksForAndFollowsIt) {
  auto* view = new QWidget;
  auto* column = new QVBoxLayout(view);
  column->setContentsMargins(0, 0, 0, 0);
  auto* step = new QWidget;
  step->setFixedSize(520, 300);
  column->addWidget(step);
  RootWindow window(RootWindow::Views{[&] { return view; }, {}, {}});
  EXPECT_EQ(window.size(), QSize(520, 300));
  step->setFixedHeight(420);
  EXPECT_TRUE(waitUntil([&] { return window.size() == QSize(520, 420); }));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
}

RootWindow::Views viewsWithAField() {
  return RootWindow::Views{[] { return new QWidget; }, [](std::function<void()>) { return new QWidget; },
                           [] { return new QLineEdit; }};
}

// Closing only hides; starting again, or the tray's show item, brings the same window back as it was.
TEST_F(WindowTest, ClosingOnlyHidesAndStartingAgainBringsTheSameWindowBack) {
  signIn();
  OnboardingManager::shared().markCompleted();
  voice_inputApp application(viewsWithAField());
  AppDelegate& delegate = application.appDelegate();
  ASSERT_TRUE(application.launch());
  RootWindow* window = application.openWindowScene();
  ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
  auto* field = qobject_cast<QLineEdit*>(window->contentView());
  ASSERT_NE(field, nullptr);
  field->setText(QStringLiteral("half-written"));
  // The delegate watches the close button from half a second after launch on.
  bool halfASecond = false;
  QTimer::singleShot(Clock::scaled(std::chrono::milliseconds(500)), [&] { halfASecond = true; });
  ASSERT_TRUE(waitUntil([&] { return halfASecond; }));
  EXPECT_FALSE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::accessory);

  SingleInstance secondCopy;
  ASSERT_FALSE(secondCopy.claim());
  ASSERT_TRUE(secondCopy.activateRunningCopy());
  ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  EXPECT_EQ(window->contentView(), field);
  EXPECT_EQ(field->text(), QStringLiteral("half-written"));
  window->close();
  delegate.showMainWindow();
  EXPECT_TRUE(window->isVisible());

  // Quitting ends the program while windows are open: the close it sends is not refused.
  QWidget other;
  other.show();
  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  QTimer::singleShot(2000, [] { QCoreApplication::exit(7); });  // a refused quit
  EXPECT_EQ(QApplication::exec(), 0);
}

TEST_F(WindowTest, TheMainWindowIsNeverThePermissionWindowAPanelOrADialog) {
  EXPECT_EQ(AppDelegate::mainWindow(), nullptr);
  AppDelegate delegate;
  delegate.showMainWindow();  // without a main window the policy still switches
  EXPECT_EQ(delegate.activationPolicy(), ActivationPolicy::regular);
  PermissionWindowManager::shared().show();
  QWidget panel(nullptr, Qt::Tool);
  panel.winId();
  QWidget dialog(nullptr, Qt::Dialog);
  dialog.show();
  EXPECT_EQ(AppDelegate::mainWindow(), nullptr);
  QWidget main;
  EXPECT_EQ(AppDelegate::mainWindow(), &main);
  delegate.showMainWindow();
  EXPECT_TRUE(main.isVisible());
  EXPECT_FALSE(panel.isVisible());
  PermissionWindowManager::shared().window()->close();
}

}  // namespace

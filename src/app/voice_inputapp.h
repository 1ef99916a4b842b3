#pragma once

#include "app/appdelegate.h"
#include "app/rootwindow.h"

#include <QObject>
#include <QPointer>

class AuthStore;
class OnboardingManager;

// The application: its delegate, the account and onboarding state it
// observes, and its one window scene, the main window whose content follows
// them.
//
// run() is the whole life of the program: the delegate's launch (which may
// find another copy running and end at once), then the main window is made,
// its content appears and the start-up tasks begin, then the event loop runs
// until the quit command.
class voice_inputApp : public QObject {
  Q_OBJECT

 public:
  // The sign-in, onboarding and main views of the program.
  static RootWindow::Views standardViews();

  explicit voice_inputApp(RootWindow::Views views = standardViews(), QObject* parent = nullptr);
  ~voice_inputApp() override;

  AppDelegate& appDelegate() { return appDelegate_; }
  AuthStore& authStore() const { return authStore_; }
  OnboardingManager& onboardingManager() const { return onboardingManager_; }

  // Launches; false when another copy runs (it was brought forward).
  bool launch();
  // Makes the main window; its content appears now, so the start-up tasks
  // run on the next turn of the event loop. The window stays hidden until
  // they show it.
  RootWindow* openWindowScene();
  RootWindow* window() const { return window_; }

  // launch(), openWindowScene() and the event loop; the exit status.
  int run();

 private:
  AppDelegate appDelegate_;
  AuthStore& authStore_;
  OnboardingManager& onboardingManager_;
  RootWindow::Views views_;
  QPointer<RootWindow> window_;
};

#include "app/voice_inputapp.h"

#include "localization/languagemanager.h"
#include "mainwindow/mainview.h"
#include "onboarding/authview.h"
#include "onboarding/invitecodeview.h"  // authview.h's inline accessor needs the whole type
#include "onboarding/onboardingmanager.h"
#include "onboarding/onboardingview.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "service/authstore.h"

#include <QApplication>

RootWindow::Views voice_inputApp::standardViews() {
  return RootWindow::Views{
      [] { return new AuthView; },
      [](std::function<void()> onFinish) {
        return new OnboardingView(PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(),
                                  OnboardingStep::welcome, {}, std::move(onFinish));
      },
      [] { return new MainView; },
  };
}

voice_inputApp::voice_inputApp(RootWindow::Views views, QObject* parent)
    : QObject(parent),
      authStore_(AuthStore::shared()),
      onboardingManager_(OnboardingManager::shared()),
      views_(std::move(views)) {}

voice_inputApp::~voice_inputApp() { delete window_; }

bool voice_inputApp::launch() {
  appDelegate_.applicationWillFinishLaunching();
  return appDelegate_.applicationDidFinishLaunching();
}

RootWindow* voice_inputApp::openWindowScene() {
  if (window_) return window_;
  window_ = new RootWindow(views_);
  // Made now, the window comes first among the program's windows, before any
  // panel or dialog that appears later.
  window_->winId();
  QMetaObject::invokeMethod(&appDelegate_, &AppDelegate::startupTasks, Qt::QueuedConnection);
  return window_;
}

int voice_inputApp::run() {
  if (!launch()) return 0;
  openWindowScene();
  return QApplication::exec();
}

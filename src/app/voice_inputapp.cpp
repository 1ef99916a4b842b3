#include "app/voice_inputapp.h"

#include "mainwindow/mainview.h"
#include "onboarding/authview.h"
#include "onboarding/invitecodeview.h"  // authview.h's inline accessor needs the whole type
#include "service/authstore.h"

#include <QApplication>

namespace {

// Stands in for a view that is not part of the program yet.
QWidget* emptyView() {
  auto* view = new QWidget;
  view->setMinimumSize(480, 360);
  return view;
}

}  // namespace

RootWindow::Views voice_inputApp::standardViews() {
  return RootWindow::Views{
      [] { return new AuthView; },
      [](std::function<void()>) { return emptyView(); },
      [] { return new MainView; },
  };
}

voice_inputApp::voice_inputApp(RootWindow::Views views, QObject* parent)
    : QObject(parent), authStore_(AuthStore::shared()), views_(std::move(views)) {}

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

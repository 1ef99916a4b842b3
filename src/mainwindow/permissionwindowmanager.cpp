#include "mainwindow/permissionwindowmanager.h"

#include "localization/languagemanager.h"
#include "mainwindow/applicationwindows.h"
#include "mainwindow/permissiongateview.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionmanager.h"
#include "platform/windowactivator.h"
#include "theme/palette.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

const QString PermissionWindowManager::kWindowTitle = QStringLiteral("权限设置");

namespace {

void bringForward(QWidget* window) {
  // One left open on another workspace comes here, as the main window does.
  if (window->isVisible()) WindowActivator::current().activateHere(window->winId());
  window->show();
  window->raise();
  window->activateWindow();
}

}  // namespace

PermissionWindowManager& PermissionWindowManager::shared() {
  static PermissionWindowManager* instance = new PermissionWindowManager();
  return *instance;
}

void PermissionWindowManager::show() {
  if (window_ && window_->isVisible()) {
    bringForward(window_);
    return;
  }
  QWidget* window = makeWindow();
  if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
    window->move(screen->availableGeometry().center() - window->rect().center());
  }
  bringForward(window);
  // A window that was closed (hidden) before is replaced by the new one.
  if (window_) window_->deleteLater();
  window_ = window;
}

QWidget* PermissionWindowManager::makeWindow() {
  // Titled and closable only: no minimise or maximise button, no resizing.
  auto* window = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                          Qt::WindowCloseButtonHint);
  window->setWindowTitle(kWindowTitle);
  window->setFixedSize(kWidth, kHeight);
  // The gate's panel colour is slightly translucent: lay it over the deep
  // background, not over the desktop style's grey.
  QPalette colours = window->palette();
  colours.setColor(QPalette::Window, Palette::cyberBgDeep);
  window->setPalette(colours);
  window->setAutoFillBackground(true);
  QPointer<PermissionWindowManager> self(this);
  auto* gate = new PermissionGateView(
      [self] {
        if (self) self->handleGateDone();
      },
      PermissionManager::shared(), LanguageManager::shared(), window);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(gate);
  return window;
}

void PermissionWindowManager::handleGateDone() {
  if (window_) {
    window_->close();
    window_->deleteLater();
    window_ = nullptr;
  }
  PermissionManager& permissions = PermissionManager::shared();
  permissions.refresh();
  // Started whatever the refresh decided: without the desktop's trust the
  // listener reports its own failure.
  HotKeyManager::shared().start(permissions.hotKeyPressedHandler());
  // Back to the main window; never another panel or this window itself.
  for (QWidget* window : ApplicationWindows::all()) {
    if (window->windowTitle() == kWindowTitle || ApplicationWindows::isPanel(window)) continue;
    bringForward(window);
    break;
  }
}

#include "pipeline/permissionmanager.h"

#include "pipeline/permissionhelpdialog.h"
#include "platform/accessibilitytrust.h"
#include "platform/microphoneaccess.h"

#include <QGuiApplication>

namespace {

PermissionStatus fromAuthorization(MicrophoneAccess::Authorization authorization) {
  switch (authorization) {
    case MicrophoneAccess::Authorization::authorized:
      return PermissionStatus::granted;
    case MicrophoneAccess::Authorization::denied:
    case MicrophoneAccess::Authorization::restricted:
      return PermissionStatus::denied;
    case MicrophoneAccess::Authorization::notDetermined:
      break;
  }
  return PermissionStatus::notDetermined;
}

}  // namespace

PermissionManager& PermissionManager::shared() {
  static PermissionManager* instance = new PermissionManager();
  return *instance;
}

PermissionManager::PermissionManager() {
  // Coming back to the program is when a grant made in the desktop's settings
  // shows up: look again then, on a later turn of the event loop.
  if (auto* app = qGuiApp) {
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
      if (state == Qt::ApplicationActive) QMetaObject::invokeMethod(this, &PermissionManager::refresh, Qt::QueuedConnection);
    });
  }
}

bool PermissionManager::allGranted() const {
  return microphoneStatus_ == PermissionStatus::granted && accessibilityStatus_ == PermissionStatus::granted;
}

void PermissionManager::refresh() {
  setMicrophoneStatus(fromAuthorization(MicrophoneAccess::current().authorizationStatus()));

  const bool trusted = AccessibilityTrust::current().isTrusted();
  const PermissionStatus previous = accessibilityStatus_;
  setAccessibilityStatus(trusted ? PermissionStatus::granted : PermissionStatus::denied);

  HotKeyManager& hotKeys = HotKeyManager::shared();
  if (trusted) {
    if (previous != PermissionStatus::granted || !hotKeys.isListening()) hotKeys.start(hotKeyPressedHandler());
  } else if (previous == PermissionStatus::granted && hotKeys.isListening()) {
    hotKeys.stop();
  }
}

QCoro::Task<void> PermissionManager::requestMicrophone() {
  const bool granted = co_await MicrophoneAccess::current().requestAccess();
  setMicrophoneStatus(granted ? PermissionStatus::granted : PermissionStatus::denied);
}

void PermissionManager::checkAccessibility(bool prompt) {
  AccessibilityTrust& trust = AccessibilityTrust::current();
  const bool trusted = trust.isTrusted();
  setAccessibilityStatus(trusted ? PermissionStatus::granted : PermissionStatus::denied);
  if (!trusted && prompt) PermissionHelpDialog::explainMissingTrust(trust.missingReason());
}

HotKeyManager::Handler PermissionManager::hotKeyPressedHandler() {
  return [this](HotKeyCombo combo) { Q_EMIT hotKeyPressed(combo); };
}

void PermissionManager::setMicrophoneStatus(PermissionStatus status) {
  if (microphoneStatus_ == status) return;
  microphoneStatus_ = status;
  Q_EMIT microphoneStatusChanged();
  Q_EMIT allGrantedChanged();
}

void PermissionManager::setAccessibilityStatus(PermissionStatus status) {
  if (accessibilityStatus_ == status) return;
  accessibilityStatus_ = status;
  Q_EMIT accessibilityStatusChanged();
  Q_EMIT allGrantedChanged();
}

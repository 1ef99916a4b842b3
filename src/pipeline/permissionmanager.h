#pragma once

#include "pipeline/hotkeycombo.h"
#include "pipeline/hotkeymanager.h"
#include "pipeline/permissionstatus.h"

#include <QCoroTask>
#include <QObject>

// The two grants the program needs, the microphone and the desktop trust
// (global hotkeys, reading the selection, typing into other applications),
// as observable state for the views and the request flow. Refreshing is also
// the switch of the hotkey listener: it runs while the desktop trusts us.
// One per process, main thread only.
class PermissionManager : public QObject {
  Q_OBJECT
  Q_PROPERTY(PermissionStatus microphoneStatus READ microphoneStatus NOTIFY microphoneStatusChanged)
  Q_PROPERTY(PermissionStatus accessibilityStatus READ accessibilityStatus NOTIFY accessibilityStatusChanged)
  Q_PROPERTY(bool allGranted READ allGranted NOTIFY allGrantedChanged)

 public:
  static PermissionManager& shared();

  PermissionStatus microphoneStatus() const { return microphoneStatus_; }
  PermissionStatus accessibilityStatus() const { return accessibilityStatus_; }
  bool allGranted() const;

  // Re-reads both statuses without asking the user anything, then starts the
  // hotkey listener when trust is there and it is not running (or trust has
  // just appeared), and stops it when trust was lost while it ran.
  void refresh();

  // Asks for the microphone and publishes the answer. Never touches the
  // desktop trust nor the listener.
  QCoro::Task<void> requestMicrophone();

  // Publishes whether the desktop trusts us. With `prompt`, a missing trust
  // is explained to the user in a dialog (the desktop has no prompt of its
  // own). Never touches the listener.
  void checkAccessibility(bool prompt);
  void requestAccessibility() { checkAccessibility(true); }
  void checkAccessibilityQuietly() { checkAccessibility(false); }

  // The handler the listener is started with: it re-emits every hotkey press
  // as hotKeyPressed. Whoever starts the listener by hand (the permission
  // window, the settings page) passes this one too.
  HotKeyManager::Handler hotKeyPressedHandler();

 Q_SIGNALS:
  void microphoneStatusChanged();
  void accessibilityStatusChanged();
  void allGrantedChanged();
  // A hotkey was pressed in some application; the request flow connects here.
  void hotKeyPressed(HotKeyCombo combo);

 private:
  PermissionManager();
  void setMicrophoneStatus(PermissionStatus status);
  void setAccessibilityStatus(PermissionStatus status);

  PermissionStatus microphoneStatus_ = PermissionStatus::notDetermined;
  PermissionStatus accessibilityStatus_ = PermissionStatus::notDetermined;
};

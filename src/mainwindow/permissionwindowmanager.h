#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

// The stand-alone permission window, opened from the tray menu, the main
// window's permission warning and onboarding. At most one exists: show()
// brings a visible one forward instead of making another. Closing it with its
// close button only hides it; the next show() makes a fresh one. Its done
// button closes it, looks at the permissions again, starts the hotkey
// listener and brings the main window back. Main thread only.
class PermissionWindowManager : public QObject {
  Q_OBJECT

 public:
  // The window's fixed title. The main window is found by not having it.
  static const QString kWindowTitle;
  static constexpr int kWidth = 520;
  static constexpr int kHeight = 480;

  static PermissionWindowManager& shared();

  void show();
  // The done button's action.
  void handleGateDone();

  // The permission window while it exists (visible or hidden).
  QWidget* window() const { return window_; }

 private:
  PermissionWindowManager() = default;
  QWidget* makeWindow();

  QPointer<QWidget> window_;
};

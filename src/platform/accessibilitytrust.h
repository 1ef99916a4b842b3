#pragma once

#include <QString>

// Whether this program may observe the keyboard and read and drive other
// applications on the desktop (the counterpart of being trusted for
// Accessibility). On X11 that takes a reachable display with the XTEST and
// XInput 2 extensions; a Wayland session without X is never trusted.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nobody is trusted.
class AccessibilityTrust {
 public:
  virtual ~AccessibilityTrust() = default;

  // Asked afresh at every call (cheap): trust can appear while the program runs.
  virtual bool isTrusted() = 0;

  // A short English explanation of what is missing (empty when trusted), for
  // the dialog that stands in for the system's trust prompt.
  virtual QString missingReason() = 0;

  static AccessibilityTrust& current();
  // Installs `trust` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(AccessibilityTrust* trust);
};

#include "platform/x11/x11accessibilitytrust.h"

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

X11AccessibilityTrust::X11AccessibilityTrust(QByteArray displayName) : displayName_(std::move(displayName)) {}

bool X11AccessibilityTrust::isTrusted() { return check().isEmpty(); }

QString X11AccessibilityTrust::missingReason() { return check(); }

QString X11AccessibilityTrust::check() {
  const char* name = displayName_.isEmpty() ? nullptr : displayName_.constData();
  if (!name && qEnvironmentVariableIsEmpty("DISPLAY")) {
    return QStringLiteral("no X11 display: Veltrine needs an X11 session (or XWayland) for global hotkeys and typing");
  }
  Display* display = XOpenDisplay(name);
  if (!display) return QStringLiteral("the X11 display cannot be opened");
  QString reason;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    reason = QStringLiteral("the X server lacks the XTEST extension, needed to type into other applications");
  } else {
    int opcode = 0;
    int inputMajor = 2, inputMinor = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &event, &error) ||
        XIQueryVersion(display, &inputMajor, &inputMinor) != Success || inputMajor < 2) {
      reason = QStringLiteral("the X server lacks XInput 2, needed to observe the hotkeys");
    }
  }
  XCloseDisplay(display);
  return reason;
}

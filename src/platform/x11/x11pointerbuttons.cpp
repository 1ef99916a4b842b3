#include "platform/x11/x11pointerbuttons.h"

#include <X11/Xlib.h>

X11PointerButtons::X11PointerButtons(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11PointerButtons::~X11PointerButtons() {
  if (display_) XCloseDisplay(display_);
}

bool X11PointerButtons::anyHeld() {
  if (!display_) display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  if (!display_) return false;
  Window root = None, child = None;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int state = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y, &state);
  return (state & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)) != 0;
}

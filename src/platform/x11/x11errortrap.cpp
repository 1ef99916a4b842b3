#include "platform/x11/x11errortrap.h"

#include <X11/Xlib.h>

namespace {

Display* trappedDisplay = nullptr;
bool trappedError = false;
XErrorHandler previousHandler = nullptr;

int recordError(Display* display, XErrorEvent* event) {
  if (display == trappedDisplay) {
    trappedError = true;
    return 0;
  }
  return previousHandler ? previousHandler(display, event) : 0;
}

}  // namespace

X11ErrorTrap::X11ErrorTrap(_XDisplay* display) : display_(display) {
  XSync(display_, False);
  trappedDisplay = display_;
  trappedError = false;
  previousHandler = XSetErrorHandler(recordError);
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(previousHandler);
  previousHandler = nullptr;
  trappedDisplay = nullptr;
}

bool X11ErrorTrap::failed() {
  XSync(display_, False);
  return trappedError;
}

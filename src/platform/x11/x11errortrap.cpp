#include "platform/x11/x11errortrap.h"

#include <X11/Xlib.h>

#include <mutex>

namespace {

// This thread's open traps, the innermost first.
thread_local X11ErrorTrap* innermost = nullptr;

// The handler in place before the first of the open traps, and how many
// traps are open on every thread.
std::mutex handlerMutex;
XErrorHandler previousHandler = nullptr;
int openTraps = 0;

}  // namespace

struct X11ErrorTrapHandler {
  static int handle(Display* display, XErrorEvent* event) {
    for (X11ErrorTrap* trap = innermost; trap; trap = trap->outer_) {
      if (trap->display_ == display) {
        if (trap->error_ == 0) trap->error_ = event->error_code;
        return 0;
      }
    }
    // Not ours: whoever handled errors before the traps decides.
    XErrorHandler previous = nullptr;
    {
      std::lock_guard lock(handlerMutex);
      previous = previousHandler;
    }
    return previous ? previous(display, event) : 0;
  }
};

X11ErrorTrap::X11ErrorTrap(_XDisplay* display) : display_(display), outer_(innermost) {
  innermost = this;
  std::lock_guard lock(handlerMutex);
  if (openTraps++ == 0) previousHandler = XSetErrorHandler(&X11ErrorTrapHandler::handle);
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  innermost = outer_;
  std::lock_guard lock(handlerMutex);
  if (--openTraps == 0) XSetErrorHandler(previousHandler);
}

int X11ErrorTrap::sync() {
  XSync(display_, False);
  return error_;
}

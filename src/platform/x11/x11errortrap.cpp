#include "platform/x11/x11errortrap.h"

#include <X11/Xlib.h>

namespace {

X11ErrorTrap* innermost = nullptr;

}  // namespace

struct X11ErrorTrapHandler {
  static int handle(Display* display, XErrorEvent* event) {
    for (X11ErrorTrap* trap = innermost; trap; trap = trap->outer_) {
      if (trap->display_ == display) {
        if (trap->error_ == 0) trap->error_ = event->error_code;
        return 0;
      }
    }
    // Not ours: whoever handled errors before the outermost trap decides.
    X11ErrorTrap* outermost = innermost;
    while (outermost && outermost->outer_) outermost = outermost->outer_;
    const auto previous = outermost ? reinterpret_cast<XErrorHandler>(outermost->previous_) : nullptr;
    return previous ? previous(display, event) : 0;
  }
};

X11ErrorTrap::X11ErrorTrap(_XDisplay* display)
    : display_(display),
      previous_(reinterpret_cast<void (*)()>(XSetErrorHandler(&X11ErrorTrapHandler::handle))),
      outer_(innermost) {
  innermost = this;
}

X11ErrorTrap::~X11ErrorTrap() {
  XSync(display_, False);
  innermost = outer_;
  XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous_));
}

int X11ErrorTrap::sync() {
  XSync(display_, False);
  return error_;
}

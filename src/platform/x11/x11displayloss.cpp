#include "platform/x11/x11displayloss.h"

#include <unistd.h>

#include <X11/Xlib.h>

namespace {

[[noreturn]] int endWithTheDisplay(Display*) {
  // Only what is safe on any thread, while another may be ending the process.
  constexpr char kMessage[] = "The X server has gone: the program ends with it.\n";
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kMessage, sizeof(kMessage) - 1);
  _exit(1);
}

}  // namespace

void X11DisplayLoss::install() { XSetIOErrorHandler(&endWithTheDisplay); }

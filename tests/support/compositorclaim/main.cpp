// veltrine-test-compositor: another program announcing itself as the
// screen's compositing manager, as a compositing window manager does when it
// starts: it owns the selection _NET_WM_CM_S<screen> (and composites
// nothing). Prints "claimed" and keeps the selection until its standard input
// closes; exits with 1 when another client owns it already, with 2 without a
// display.
#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <unistd.h>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.c_str(), False);
  if (XGetSelectionOwner(display, selection) != None) {
    std::puts("taken");
    return 1;
  }
  const Window owner = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, selection, owner, CurrentTime);
  XSync(display, False);
  std::puts(XGetSelectionOwner(display, selection) == owner ? "claimed" : "taken");
  std::fflush(stdout);

  for (char buffer[64]; read(STDIN_FILENO, buffer, sizeof buffer) > 0;) {}
  XCloseDisplay(display);
  return 0;
}

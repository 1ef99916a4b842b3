// veltrine-test-compositor: announces itself as the screen's compositing manager (composing
// nothing). Prints "claimed" once it owns _NET_WM_CM_S<screen>; keeps it until stdin closes.
#include <X11/Xlib.h>

#include <cstdio>
#include <string>
#include <unistd.h>

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.c_str(), False);
  if (XGetSelectionOwner(display, selection) != None) return 1;  // a compositor runs already
  const Window owner = XCreateSimpleWindow(display, DefaultRootWindow(display), -10, -10, 1, 1, 0, 0, 0);
  XSetSelectionOwner(display, selection, owner, CurrentTime);
  XSync(display, False);
  std::puts("claimed");
  std::fflush(stdout);

  for (char buffer[64]; read(STDIN_FILENO, buffer, sizeof buffer) > 0;) {}
  XCloseDisplay(display);
  return 0;
}

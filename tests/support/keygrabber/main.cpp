// veltrine-test-keygrabber <ctrl|shift|alt|super|mod3>... <X keysym name>: another
// program holding one key combination on the root window (also with Caps Lock
// and Num Lock on), as a desktop's shortcut daemon would. Prints "grabbed" and
// keeps the grab until its standard input closes; prints "refused" and exits
// with 1 when another client holds it; exits with 2 on bad arguments.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

namespace {

bool refused = false;

int noteError(Display*, XErrorEvent* event) {
  if (event->error_code == BadAccess) refused = true;
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) return 2;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  unsigned int modifiers = 0;
  for (int i = 1; i < argc - 1; ++i) {
    const char* name = argv[i];
    if (!std::strcmp(name, "ctrl")) modifiers |= ControlMask;
    else if (!std::strcmp(name, "shift")) modifiers |= ShiftMask;
    else if (!std::strcmp(name, "alt")) modifiers |= Mod1Mask;
    else if (!std::strcmp(name, "super")) modifiers |= Mod4Mask;
    else if (!std::strcmp(name, "mod3")) modifiers |= Mod3Mask;  // Alt, on a remapped keyboard
    else return 2;
  }
  const KeySym symbol = XStringToKeysym(argv[argc - 1]);
  const KeyCode keycode = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
  if (!keycode) return 2;

  XSetErrorHandler(noteError);
  const Window root = DefaultRootWindow(display);
  for (unsigned int locks : {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)}) {
    XGrabKey(display, keycode, modifiers | locks, root, False, GrabModeAsync, GrabModeAsync);
  }
  XSync(display, False);
  std::puts(refused ? "refused" : "grabbed");
  std::fflush(stdout);
  if (refused) return 1;

  for (char buffer[64]; read(STDIN_FILENO, buffer, sizeof buffer) > 0;) {}
  XCloseDisplay(display);
  return 0;
}

// veltrine-test-keywatcher: another application on the test desktop that
// notes when each key reaches it, written with Xlib and nothing else, so that
// nothing in it waits for the process under test. One window, "Veltrine key
// watcher", which takes the input focus. Prints "ready" once it has it, then
// one line per key event as it arrives:
//   key press|release <X keycode> <sent> <delay ms> <arrival ms>
// <sent> is 1 for an event another client sent (XSendEvent), 0 for one of the
// keyboard; <arrival ms> is the monotonic clock when it arrived and <delay ms>
// how long that was after the event's server time stamp (the X server counts
// the same clock). Ends when its standard input closes.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <cstdio>
#include <ctime>

#include <poll.h>
#include <unistd.h>

namespace {

int ignoreErrors(Display*, XErrorEvent*) { return 0; }

std::int64_t monotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Asks the window manager to bring the window to the front, and the server
// for the focus in case there is no window manager.
void takeFocus(Display* display, Window window) {
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
  message.xclient.format = 32;
  message.xclient.data.l[0] = 2;  // a pager's request: honoured at once
  message.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XFlush(display);
}

}  // namespace

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 2;
  XSetErrorHandler(ignoreErrors);
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 60, 0, 0, 0xffffff);
  XStoreName(display, window, "Veltrine key watcher");
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
  XMapRaised(display, window);
  XFlush(display);

  bool ready = false;
  pollfd watched[] = {{ConnectionNumber(display), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify) takeFocus(display, window);
      if (event.type == FocusIn && !ready) {
        ready = true;
        std::puts("ready");
      }
      if (event.type == KeyPress || event.type == KeyRelease) {
        const std::int64_t arrival = monotonicMs();
        const auto delay = std::int32_t(std::uint32_t(arrival) - std::uint32_t(event.xkey.time));
        std::printf("key %s %u %d %d %lld\n", event.type == KeyPress ? "press" : "release", event.xkey.keycode,
                    event.xkey.send_event ? 1 : 0, int(delay), static_cast<long long>(arrival));
      }
      std::fflush(stdout);
    }
    if (poll(watched, 2, -1) < 0) continue;
    if (watched[1].revents) {
      char buffer[64];
      if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) break;
    }
  }
  XCloseDisplay(display);
  return 0;
}

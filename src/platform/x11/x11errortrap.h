#pragma once

struct _XDisplay;

// Catches the X errors of the requests made on `display` while it lives
// (a window that vanished between two requests gives BadWindow) instead of
// Xlib's default handler, which ends the process. Errors of other connections
// go on to the handler installed before. Main thread only; traps do not nest.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(_XDisplay* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits until the server has handled every request sent so far and tells
  // whether one of them failed since the trap was set.
  bool failed();

 private:
  _XDisplay* display_;
};

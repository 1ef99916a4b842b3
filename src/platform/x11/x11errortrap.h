#pragma once

struct _XDisplay;

// Catches the X errors of one display while it lives, instead of letting them
// reach Xlib's default handler, which ends the process (a key grab that
// another client already holds answers BadAccess). Errors of other displays
// go on to the handler that was installed before. Main thread only; traps
// may nest.
class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(_XDisplay* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits until the server has answered every request sent so far; returns
  // the code of the first error caught (0 when there was none).
  int sync();

 private:
  friend struct X11ErrorTrapHandler;

  _XDisplay* display_;
  void (*previous_)();  // the Xlib error handler installed before this trap
  X11ErrorTrap* outer_;
  int error_ = 0;
};

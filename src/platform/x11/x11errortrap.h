#pragma once

struct _XDisplay;

// Catches the X errors of one display while it lives, instead of letting them
// reach Xlib's default handler, which ends the process (a key grab that
// another client already holds answers BadAccess). Errors of other displays
// go on to the handler that was installed before. Traps may nest.
//
// Any thread may open traps on the displays it uses (the keyboard tap reads
// its own connection on a thread of its own): Xlib reports an error on the
// thread that reads it, and each thread sees its own traps only. Xlib has one
// error handler for the whole process, so it is ours while any trap of any
// thread is open, and the one from before comes back with the last to close.
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
  X11ErrorTrap* outer_;  // the trap this thread opened before, if still open
  int error_ = 0;
};

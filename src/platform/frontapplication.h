#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The application whose window the user works in.
struct RunningApplication {
  qint32 pid = 0;
  // What the user calls it, for logs and traces.
  QString localizedName;
  // The two parts of the window's class (X11 WM_CLASS: instance, class); they
  // tell terminal emulators apart from other applications.
  QString windowInstance;
  QString windowClass;
  // The window itself (an X11 window id), 0 when unknown.
  quint64 window = 0;
  // A Tk program (Tcl/Tk, Python's tkinter and the like), whatever it calls
  // its window class: Tk's text widgets paste beside a selection on X11.
  bool tk = false;
};

// Which application is in front. Asked afresh at every call.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed no application is in front.
class FrontApplication {
 public:
  virtual ~FrontApplication() = default;

  // The application of the window that has the keyboard focus, or nothing
  // when no window of a known process has it.
  virtual std::optional<RunningApplication> frontmost() = 0;

  static FrontApplication& current();
  // Installs `front` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(FrontApplication* front);
};

#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A display of the test's own (Xvfb) whose window manager, openbox, gives no
// new window the focus: a window appears behind the one in front and comes
// forward only when a program asks for it. The test desktop's openbox
// focuses every new window by itself, which would hide a program that never
// asks. Needs what the test desktop needs (Xvfb, openbox, xprop).
class NoFocusNewDesktop {
 public:
  NoFocusNewDesktop() = default;
  ~NoFocusNewDesktop();  // ends the window manager and the display, and with them every window on it
  NoFocusNewDesktop(const NoFocusNewDesktop&) = delete;
  NoFocusNewDesktop& operator=(const NoFocusNewDesktop&) = delete;

  // Starts the display and its window manager; false when either did not come up within 10 s.
  bool start();
  // What went wrong in start(), with the programs' own messages.
  QString failure() const;
  // The display's name for DISPLAY (":N"), once started.
  QString display() const { return display_; }

 private:
  bool startDisplay();
  bool startWindowManager();

  QTemporaryDir folder_;
  QProcess server_;
  QProcess windowManager_;
  QString display_;
  QString failed_;
};

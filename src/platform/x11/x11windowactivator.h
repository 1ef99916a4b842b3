#pragma once

#include "platform/windowactivator.h"

#include <QByteArray>

struct _XDisplay;

// Activation through the window manager (EWMH): the windows it manages come
// from _NET_CLIENT_LIST with their process and title, and the one picked
// is asked for with a _NET_ACTIVE_WINDOW message as a pager sends it, which
// window managers honour without the focus-stealing checks they apply to
// applications (openbox, xfwm, KWin and Mutter do), and which also restores a
// minimised window. Our own window is first moved to the current workspace
// with a _NET_WM_DESKTOP message: asked to activate a window elsewhere, a
// window manager takes the user there instead. Without a window manager that
// lists its windows nothing is activated. Uses a private connection, opened
// at the first request.
class X11WindowActivator final : public WindowActivator {
 public:
  explicit X11WindowActivator(QByteArray displayName = {});
  ~X11WindowActivator() override;
  X11WindowActivator(const X11WindowActivator&) = delete;
  X11WindowActivator& operator=(const X11WindowActivator&) = delete;

  bool activate(const WindowTarget& target) override;
  bool activateHere(quint64 window) override;

 private:
  bool connect();
  QList<ClientWindow> clientWindows();
  // A client message about `window` to the window manager, with its first two values.
  void ask(quint64 window, const char* message, long first, long second);
  // The X server's time now.
  unsigned long serverTime();

  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
  unsigned long clock_ = 0;  // a window of ours whose property changes tell the time
};

#pragma once

#include "platform/frontapplication.h"

#include <QByteArray>

struct _XDisplay;

// The front application on X11: the window manager's active window
// (_NET_ACTIVE_WINDOW), or without a window manager the application window
// that holds the input focus. Its process is the X server's record of the
// client that made it (see X11WindowProperties::pid), whether or not the
// window names one; its WM_CLASS gives the name and the class. Uses a private
// connection, opened at the first question.
class X11FrontApplication final : public FrontApplication {
 public:
  explicit X11FrontApplication(QByteArray displayName = {});
  ~X11FrontApplication() override;
  X11FrontApplication(const X11FrontApplication&) = delete;
  X11FrontApplication& operator=(const X11FrontApplication&) = delete;

  std::optional<RunningApplication> frontmost() override;

 private:
  bool connect();

  QByteArray displayName_;
  _XDisplay* display_ = nullptr;
};

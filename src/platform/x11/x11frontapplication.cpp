#include "platform/x11/x11frontapplication.h"

#include "platform/linux/processancestry.h"
#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11windowproperties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The application window that holds the input focus.
std::optional<X11WindowProperties::ClientWindow> focusedClient(Display* display) {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  return X11WindowProperties::clientWindow(display, focus);
}

// The window the window manager names active. mutter names a window it does
// not manage (one of our panels while the user selects text in it) while
// that window has the focus, and still a moment after the panel gave the
// focus back: such a window is no application's, and the focus tells.
Window activeWindow(Display* display) {
  const auto window = X11WindowProperties::single(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
  XWindowAttributes attributes{};
  if (!window || !XGetWindowAttributes(display, static_cast<Window>(*window), &attributes) ||
      attributes.override_redirect) {
    return None;
  }
  return static_cast<Window>(*window);
}

}  // namespace

X11FrontApplication::X11FrontApplication(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11FrontApplication::~X11FrontApplication() {
  if (display_) XCloseDisplay(display_);
}

bool X11FrontApplication::connect() {
  if (!display_) display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  return display_ != nullptr;
}

std::optional<RunningApplication> X11FrontApplication::frontmost() {
  if (!connect()) return std::nullopt;
  X11ErrorTrap trap(display_);
  Window window = activeWindow(display_);
  std::optional<qint32> pid = window != None ? X11WindowProperties::pid(display_, window) : std::nullopt;
  if (!pid) {
    const auto focused = focusedClient(display_);
    window = focused ? focused->window : None;
    pid = focused ? std::optional(focused->pid) : std::nullopt;
  }
  if (!pid || trap.sync() != 0) return std::nullopt;

  RunningApplication app;
  app.pid = *pid;
  app.window = window;
  XClassHint hint{nullptr, nullptr};
  if (XGetClassHint(display_, window, &hint)) {
    app.windowInstance = QString::fromLocal8Bit(hint.res_name);
    app.windowClass = QString::fromLocal8Bit(hint.res_class);
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
  }
  app.tk = X11WindowProperties::runsTk(display_, app.pid);
  app.localizedName = !app.windowClass.isEmpty()      ? app.windowClass
                      : !app.windowInstance.isEmpty() ? app.windowInstance
                                                      : QString::fromLocal8Bit(ProcessAncestry::nameOf(app.pid));
  return app;
}

#include "platform/x11/x11windowactivator.h"

#include "core/logging.h"
#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11windowproperties.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// The source indication of a pager: the user asked for the window by hand.
constexpr long kSourcePager = 2;

}  // namespace

X11WindowActivator::X11WindowActivator(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11WindowActivator::~X11WindowActivator() {
  if (display_) XCloseDisplay(display_);
}

bool X11WindowActivator::connect() {
  if (!display_) display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  return display_ != nullptr;
}

QList<ClientWindow> X11WindowActivator::clientWindows() {
  // A window that closes while it is read answers BadWindow: it is left out.
  X11ErrorTrap trap(display_);
  QList<ClientWindow> windows;
  for (const unsigned long id : X11WindowProperties::longs(display_, DefaultRootWindow(display_), "_NET_CLIENT_LIST",
                                                          XA_WINDOW)) {
    const std::optional<qint32> pid = X11WindowProperties::pid(display_, id);
    windows.append({id, pid.value_or(0), X11WindowProperties::title(display_, id)});
  }
  trap.sync();
  return windows;
}

bool X11WindowActivator::activate(const WindowTarget& target) {
  if (!connect()) return false;
  const QList<ClientWindow> windows = clientWindows();
  if (windows.isEmpty()) {
    qCInfo(lcTerminal) << "no window manager lists its windows: none can be brought to the front";
    return false;
  }
  const std::optional<quint64> window = target.pick(windows);
  if (!window) {
    qCInfo(lcTerminal) << "the window to bring to the front is not among" << windows.size() << "windows";
    return false;
  }

  X11ErrorTrap trap(display_);
  ask(*window, "_NET_ACTIVE_WINDOW", kSourcePager, CurrentTime);
  return trap.sync() == 0;
}

bool X11WindowActivator::activateHere(quint64 window) {
  if (!connect()) return false;
  X11ErrorTrap trap(display_);
  const Window root = DefaultRootWindow(display_);
  if (!X11WindowProperties::single(display_, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW)) return false;
  const std::optional<unsigned long> here =
      X11WindowProperties::single(display_, root, "_NET_CURRENT_DESKTOP", XA_CARDINAL);
  const std::optional<unsigned long> there =
      X11WindowProperties::single(display_, static_cast<Window>(window), "_NET_WM_DESKTOP", XA_CARDINAL);
  // A window on every workspace (0xFFFFFFFF) is here already.
  if (here && there && *there != *here && *there != 0xFFFFFFFFUL) {
    ask(window, "_NET_WM_DESKTOP", long(*here), kSourcePager);
  }
  // A time of 0 is an old client's: mutter then activates a window only on
  // the current workspace, and marks it as demanding attention instead.
  ask(window, "_NET_ACTIVE_WINDOW", kSourcePager, long(serverTime()));
  // Both are with the window manager before anything else asks for the window.
  return trap.sync() == 0;
}

unsigned long X11WindowActivator::serverTime() {
  // The server stamps the change of a property with its time.
  if (!clock_) {
    XSetWindowAttributes attributes{};
    attributes.event_mask = PropertyChangeMask;
    clock_ = XCreateWindow(display_, DefaultRootWindow(display_), -1, -1, 1, 1, 0, CopyFromParent, InputOnly,
                           CopyFromParent, CWEventMask, &attributes);
  }
  const Atom stamp = XInternAtom(display_, "VELTRINE_SERVER_TIME", False);
  XChangeProperty(display_, clock_, stamp, XA_STRING, 8, PropModeAppend, nullptr, 0);
  XEvent event;
  XWindowEvent(display_, clock_, PropertyChangeMask, &event);
  return event.xproperty.time;
}

void X11WindowActivator::ask(quint64 window, const char* message, long first, long second) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(window);
  event.xclient.message_type = XInternAtom(display_, message, False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = first;
  event.xclient.data.l[1] = second;
  event.xclient.data.l[2] = None;  // _NET_ACTIVE_WINDOW: none of our windows is active
  XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

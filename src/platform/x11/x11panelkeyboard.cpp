#include "platform/x11/x11panelkeyboard.h"

#include "platform/x11/x11errortrap.h"

#include <QSocketNotifier>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

X11PanelKeyboard::X11PanelKeyboard(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11PanelKeyboard::~X11PanelKeyboard() {
  giveBack();
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

// Opened at the first loan: most runs never lend the keyboard.
bool X11PanelKeyboard::connect() {
  if (display_) return true;
  display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  if (!display_) return false;
  int event = 0, error = 0;
  int major = 2, minor = 2;  // 2.1 on: raw events come while another client holds a grab
  if (!XQueryExtension(display_, "XInputExtension", &inputOpcode_, &event, &error) ||
      XIQueryVersion(display_, &major, &minor) != Success) {
    inputOpcode_ = -1;  // the keyboard is then given back when the panel hides
  }
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, this, &X11PanelKeyboard::drainEvents);
  return true;
}

void X11PanelKeyboard::lend(QWindow& panel) {
  if (!panel.isVisible() || !connect()) return;
  const Window window = panel.winId();
  if (panel_ != 0 && panel_ != window) giveBack();
  X11ErrorTrap trap(display_);
  Window focus = None;
  int revert = RevertToParent;
  XGetInputFocus(display_, &focus, &revert);
  if (focus == window) return;
  // Also when lent already: the user may have moved the keyboard on since
  // (Alt+Tab), and it goes back where they left it.
  focusBefore_ = focus;
  revertBefore_ = revert;
  if (panel_ == 0) watchPresses(true);
  panel_ = window;
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  trap.sync();
}

void X11PanelKeyboard::giveBack() { giveBackAt(CurrentTime); }

void X11PanelKeyboard::giveBackAt(unsigned long time) {
  if (panel_ == 0) return;
  const Window panel = panel_;
  panel_ = 0;
  watchPresses(false);
  X11ErrorTrap trap(display_);
  Window focus = None;
  int revert = RevertToParent;
  XGetInputFocus(display_, &focus, &revert);
  if (focus != panel) return;  // moved on by the user or their window manager
  XSetInputFocus(display_, focusBefore_, revertBefore_, time);
  // Gone or hidden meanwhile: the keyboard follows the pointer, as with no
  // window manager, until one focuses a window.
  if (trap.sync() != 0) XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, time);
  trap.sync();
}

void X11PanelKeyboard::watchPresses(bool watch) {
  if (inputOpcode_ < 0) return;
  X11ErrorTrap trap(display_);
  unsigned char maskBits[XIMaskLen(XI_LASTEVENT)] = {};
  if (watch) XISetMask(maskBits, XI_RawButtonPress);
  XIEventMask mask{XIAllMasterDevices, sizeof(maskBits), maskBits};
  XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
  trap.sync();
}

void X11PanelKeyboard::drainEvents() {
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type != GenericEvent || event.xcookie.extension != inputOpcode_ ||
        !XGetEventData(display_, &event.xcookie)) {
      continue;
    }
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    // The three buttons that click; the wheel's scroll leaves the keyboard where it is.
    const bool click = event.xcookie.evtype == XI_RawButtonPress && raw->detail >= 1 && raw->detail <= 3;
    const unsigned long time = raw->time;
    XFreeEventData(display_, &event.xcookie);
    // Read as the press is heard, a moment after it: the pointer has not
    // moved off the window it pressed on in that time.
    if (click && panel_ != 0 && windowUnderPointer() != panel_) giveBackAt(time);
  }
}

// The window on the root window under the pointer: a window manager's frame,
// or a window no window manager manages, as the panel.
unsigned long X11PanelKeyboard::windowUnderPointer() {
  X11ErrorTrap trap(display_);
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int buttons = 0;
  if (!XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y, &buttons)) {
    return None;
  }
  return trap.sync() == 0 ? child : None;
}

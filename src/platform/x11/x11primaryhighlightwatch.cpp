#include "platform/x11/x11primaryhighlightwatch.h"

#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11windowproperties.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstddef>
#include <cstring>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XI2proto.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/Xfixes.h>
#include <xcb/xcb.h>

namespace {

// More applications than anyone clicks in during one session, and more
// presses than anyone makes while one highlight stands; past them the oldest
// knowledge goes, which only lets an old highlight count as shown.
constexpr qsizetype kMaxApplications = 256;
constexpr qsizetype kMaxPresses = 256;
// The presses on our own windows remembered: more than the presses heard
// before the event loop reads them.
constexpr qsizetype kMaxOwnPresses = 64;

// Whether server time `later` comes after `earlier`, across the 32-bit
// millisecond clock's wrap (every 49.7 days).
bool isAfter(unsigned long later, unsigned long earlier) {
  return static_cast<qint32>(static_cast<quint32>(later) - static_cast<quint32>(earlier)) > 0;
}

}  // namespace

// Notes the server time of every button press Qt's connection receives: a
// press on a window of this process, or one that a grab of ours took.
class X11PrimaryHighlightWatch::OwnPressFilter final : public QAbstractNativeEventFilter {
 public:
  explicit OwnPressFilter(int inputOpcode) : inputOpcode_(inputOpcode) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~OwnPressFilter() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~0x80;
    if (type == XCB_BUTTON_PRESS) {
      note(static_cast<const xcb_button_press_event_t*>(message)->time);
    } else if (type == XCB_GE_GENERIC) {
      // Qt takes the pointer's events through XInput 2 where the server has
      // it. The time lies within the first 32 bytes, which xcb leaves in place.
      const auto* generic = static_cast<const xcb_ge_generic_event_t*>(message);
      if (generic->extension == inputOpcode_ && generic->event_type == XI_ButtonPress) {
        uint32_t time = 0;
        std::memcpy(&time, static_cast<const char*>(message) + offsetof(xXIDeviceEvent, time), sizeof(time));
        note(time);
      }
    }
    return false;
  }

  bool contains(unsigned long time) const { return times_.contains(time); }

 private:
  void note(unsigned long time) {
    if (times_.size() >= kMaxOwnPresses) times_.removeFirst();
    times_.append(time);
  }

  int inputOpcode_;
  QList<unsigned long> times_;
};

X11PrimaryHighlightWatch::X11PrimaryHighlightWatch(QByteArray displayName) {
  display_ = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
  if (!display_) return;
  int event = 0, error = 0;
  int major = 2, minor = 2;  // 2.1 on: raw events come while another client holds a grab
  if (!XQueryExtension(display_, "XInputExtension", &inputOpcode_, &event, &error) ||
      XIQueryVersion(display_, &major, &minor) != Success || !XFixesQueryExtension(display_, &fixesEventBase_, &error)) {
    inputOpcode_ = -1;
    return;
  }
  X11ErrorTrap trap(display_);
  unsigned char maskBits[XIMaskLen(XI_LASTEVENT)] = {};
  XISetMask(maskBits, XI_RawButtonPress);
  XISetMask(maskBits, XI_RawKeyPress);
  XISetMask(maskBits, XI_FocusIn);
  XISetMask(maskBits, XI_FocusOut);
  XIEventMask mask{XIAllMasterDevices, sizeof(maskBits), maskBits};
  XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
  XFixesSelectSelectionInput(display_, DefaultRootWindow(display_), XA_PRIMARY, XFixesSetSelectionOwnerNotifyMask);
  if (trap.sync() != 0) {
    inputOpcode_ = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display_), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &X11PrimaryHighlightWatch::drainEvents);
  if (QCoreApplication::instance()) ownPresses_ = std::make_unique<OwnPressFilter>(inputOpcode_);
}

X11PrimaryHighlightWatch::~X11PrimaryHighlightWatch() {
  ownPresses_.reset();
  notifier_.reset();
  if (display_) XCloseDisplay(display_);
}

bool X11PrimaryHighlightWatch::isShown(const RunningApplication& app) {
  if (inputOpcode_ < 0) return true;
  // Every press up to this moment counted, also one the event loop has not
  // come to yet.
  XSync(display_, False);
  drainEvents();
  for (const Press& press : std::as_const(presses_)) {
    if (press.pid != app.pid || !isAfter(press.time, primaryTaken_)) continue;
    if (!ownPresses_ || !ownPresses_->contains(press.time)) return false;
  }
  return true;
}

int X11PrimaryHighlightWatch::keysSinceTaken(const RunningApplication& app) {
  if (inputOpcode_ < 0) return 0;
  XSync(display_, False);
  drainEvents();
  return keysSinceTaken_.value(app.pid);
}

void X11PrimaryHighlightWatch::drainEvents() {
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == fixesEventBase_ + XFixesSelectionNotify) {
      primaryTaken_ = reinterpret_cast<XFixesSelectionNotifyEvent&>(event).selection_timestamp;
      keysSinceTaken_.clear();
      lastCounted_.reset();
      presses_.clear();
      continue;
    }
    if (event.type != GenericEvent || event.xcookie.extension != inputOpcode_ ||
        !XGetEventData(display_, &event.xcookie)) {
      continue;
    }
    if (event.xcookie.evtype == XI_RawButtonPress) {
      const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
      if (raw->detail == 1 || raw->detail == 3) notePress(raw->time);
    } else if (event.xcookie.evtype == XI_RawKeyPress) {
      // A key held down (a hotkey among them) is one key, however long it repeats.
      const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
      if (!(raw->flags & XIKeyRepeat)) noteKey(raw->detail, raw->time);
    } else if (event.xcookie.evtype == XI_FocusIn || event.xcookie.evtype == XI_FocusOut) {
      const auto* focus = static_cast<const XIFocusInEvent*>(event.xcookie.data);
      noteFocusChange(event.xcookie.evtype, focus->mode, focus->detail, focus->time);
    }
    XFreeEventData(display_, &event.xcookie);
  }
}

void X11PrimaryHighlightWatch::notePress(unsigned long time) {
  // Read as the press is heard, a moment after it: the pointer has not moved
  // off the window it pressed on in that time, but a window of ours that hid
  // on the press has uncovered another (see OwnPressFilter).
  X11ErrorTrap trap(display_);
  Window window = DefaultRootWindow(display_);
  for (int depth = 0; depth < 16; ++depth) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (!XQueryPointer(display_, window, &root, &child, &rootX, &rootY, &x, &y, &buttons) || child == None) break;
    window = child;
  }
  const auto client = X11WindowProperties::clientWindow(display_, window);
  if (trap.sync() != 0 || !client) return;
  if (presses_.size() >= kMaxPresses) presses_.removeFirst();
  presses_.append({time, client->pid});
}

void X11PrimaryHighlightWatch::noteKey(int keycode, unsigned long time) {
  lastCounted_.reset();
  // The grab's client has it, not the application in front.
  if (rootGrabbed_) return;
  // A modifier alone is no command to any program (and the hotkeys hold them).
  if (IsModifierKey(XkbKeycodeToKeysym(display_, static_cast<KeyCode>(keycode), 0, 0))) return;
  X11ErrorTrap trap(display_);
  Window focus = None;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  if (focus == None || focus == PointerRoot) return;
  const auto client = X11WindowProperties::clientWindow(display_, focus);
  if (trap.sync() != 0 || !client) return;
  if (keysSinceTaken_.size() >= kMaxApplications && !keysSinceTaken_.contains(client->pid)) keysSinceTaken_.clear();
  ++keysSinceTaken_[client->pid];
  lastCounted_ = CountedKey{client->pid, time};
}

void X11PrimaryHighlightWatch::noteFocusChange(int type, int mode, int detail, unsigned long time) {
  // Events of the root window's own focus: the root is a window the focus
  // passes on its way elsewhere (virtual), or it is itself where the keyboard
  // goes, because a grab on it began or ended.
  if (detail == XINotifyVirtual || detail == XINotifyNonlinearVirtual) return;
  if (type == XI_FocusOut) {
    rootGrabbed_ = false;
    return;
  }
  if (mode != XINotifyGrab) return;
  rootGrabbed_ = true;
  // A passive grab begins at the press that activates it, which was heard
  // just before: that press never reached the application in front.
  if (lastCounted_ && lastCounted_->time == time) {
    int& keys = keysSinceTaken_[lastCounted_->pid];
    if (keys > 0) --keys;
  }
  lastCounted_.reset();
}

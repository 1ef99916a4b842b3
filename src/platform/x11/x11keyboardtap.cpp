#include "platform/x11/x11keyboardtap.h"

#include "platform/virtualkeycodes.h"
#include "platform/x11/x11connectionthread.h"
#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11maskkey.h"

#include <QObject>
#include <QSet>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

using namespace VirtualKeyCodes;

namespace {

constexpr int kEvdevOffset = 8;  // X11 keycode = evdev code + 8

// One grab as the server knows it.
struct XGrab {
  int keycode;
  unsigned int modifiers;
  friend bool operator==(const XGrab&, const XGrab&) = default;
};

// The taps running now, which the program's own typing is announced to.
QList<X11KeyboardTap*>& runningTaps() {
  static QList<X11KeyboardTap*> taps;
  return taps;
}

bool endsWith(const char* text, const char* suffix) {
  const size_t length = std::strlen(text), suffixLength = std::strlen(suffix);
  return length >= suffixLength && std::strcmp(text + length - suffixLength, suffix) == 0;
}

}  // namespace

// The Xlib side of the tap: the connection, what the server calls each
// modifier, the grabs in place and the keys held. Once the tap runs, its
// reader thread alone uses all this, except `shared`.
struct X11KeyboardTap::Connection {
  // One key event read from the server, with what tells this program's own
  // typing apart from the user's.
  struct ReadKey {
    KeyTapEvent event;
    int keycode = 0;  // X keycode
    bool press = false;
    int device = -1;  // the XInput device it came from; -1: a grab's, which names none
  };

  // What the reader thread hands to the main thread, under `mutex`.
  struct Shared {
    std::mutex mutex;
    QList<ReadKey> inbox;    // read, not yet delivered
    QList<KeyGrab> refused;  // the wanted combinations another client holds
    bool regrabbed = false;  // the modifiers were remapped and the grabs renewed
    bool deliveryPosted = false;
  };

  Display* display = nullptr;
  int xinputOpcode = 0;
  int xkbEventBase = -1;  // -1: the server has no XKB
  unsigned int altMask = Mod1Mask;
  unsigned int superMask = Mod4Mask;
  unsigned int numLockMask = 0;
  unsigned int scrollLockMask = 0;
  QList<KeyGrab> wanted;  // the combinations asked for
  QList<XGrab> grabs;     // what the server holds for us
  // The modifiers were remapped and the combinations grabbed again since the
  // last hand-over.
  bool regrabbed = false;
  QSet<quint16> heldModifiers;  // virtual key codes of the modifier keys down
  QSet<int> heldIntercepted;    // X keycodes of the intercepted keys down
  QList<ReadKey> translated;    // read from the server, not yet handed over
  // While the program's own typing is being marked: the key events it typed,
  // and the XTEST devices such events come from.
  QList<OwnKey> ownKeys;
  QSet<int> xtestDevices;
  X11MaskKey maskKey;
  Shared shared;
  // Tells the main thread that `shared` has something new for it.
  std::function<void()> announce;
  // Main thread side: where the announcements run, while the tap runs.
  std::unique_ptr<QObject> mailbox;
  X11ConnectionThread reader;

  ~Connection() {
    reader.stop();
    mailbox.reset();  // drops the announcements not yet run
    // Closing the connection also gives every grab back.
    if (display) XCloseDisplay(display);
  }

  // Reads which of Mod1...Mod5 carry Alt, Super, NumLock and ScrollLock on
  // this server now (Mod1 and Mod4 unless the keymap says otherwise). Both
  // tables come from the server, never from Xlib's copy of the keymap, which
  // may not have heard of a remap yet.
  void readModifierMasks() {
    altMask = Mod1Mask;
    superMask = Mod4Mask;
    numLockMask = scrollLockMask = 0;
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map) return;
    int minKeycode = 0, maxKeycode = 0, symbolsPerKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1,
                                          &symbolsPerKeycode);
    const auto firstSymbol = [&](int keycode) -> KeySym {
      if (!symbols || symbolsPerKeycode < 1 || keycode < minKeycode || keycode > maxKeycode) return NoSymbol;
      return symbols[(keycode - minKeycode) * symbolsPerKeycode];
    };
    unsigned int alt = 0, super = 0;
    for (int modifier = Mod1MapIndex; modifier <= Mod5MapIndex; ++modifier) {
      for (int slot = 0; slot < map->max_keypermod; ++slot) {
        const KeyCode keycode = map->modifiermap[modifier * map->max_keypermod + slot];
        if (keycode == 0) continue;
        const KeySym keysym = firstSymbol(keycode);
        const unsigned int mask = 1u << modifier;
        // The first modifier carrying the key is the one grabs ask for.
        if ((keysym == XK_Alt_L || keysym == XK_Alt_R) && !alt) alt = mask;
        if ((keysym == XK_Super_L || keysym == XK_Super_R) && !super) super = mask;
        if (keysym == XK_Num_Lock) numLockMask |= mask;
        if (keysym == XK_Scroll_Lock) scrollLockMask |= mask;
      }
    }
    XFreeModifiermap(map);
    if (symbols) XFree(symbols);
    if (alt) altMask = alt;
    if (super) superMask = super;
  }

  // Asks for the events that announce a remapped keyboard. A client that
  // uses XKB (the detectable auto-repeat does) gets no core MappingNotify for
  // a changed modifier map unless it asks XKB for its map events.
  void watchKeyboardChanges() {
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &xkbEventBase, &error, &major, &minor)) {
      xkbEventBase = -1;
      return;
    }
    const unsigned long events = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, events, events);
  }

  bool isKeyboardChange(const XEvent& event) const {
    if (event.type == MappingNotify) return event.xmapping.request != MappingPointer;
    if (xkbEventBase < 0 || event.type != xkbEventBase) return false;
    const int xkbType = reinterpret_cast<const XkbEvent&>(event).any.xkb_type;
    return xkbType == XkbMapNotify || xkbType == XkbNewKeyboardNotify;
  }

  // One remap reaches us as several events (one per keyboard device, core and
  // XKB): follow it once, at the last of them.
  bool keyboardChangeQueued() {
    if (XEventsQueued(display, QueuedAlready) == 0) return false;
    XEvent next;
    XPeekEvent(display, &next);
    return isKeyboardChange(next);
  }

  // Reads the modifiers again and, when they moved to other slots, grabs
  // every combination again with the new ones.
  void followKeyboardChange() {
    X11ErrorTrap trap(display);  // a keyboard that changed under a request errs
    const unsigned int before[] = {altMask, superMask, numLockMask, scrollLockMask};
    readModifierMasks();
    maskKey.readKeymap(display);
    const unsigned int after[] = {altMask, superMask, numLockMask, scrollLockMask};
    if (std::equal(std::begin(before), std::end(before), std::begin(after))) return;
    applyGrabs(wanted);
    regrabbed = true;
  }

  // Modifier keys already down when the tap starts.
  void readHeldModifiers() {
    char keys[32] = {};
    XQueryKeymap(display, keys);
    for (int keycode = 8; keycode < 256; ++keycode) {
      if (!(keys[keycode / 8] & (1 << (keycode % 8)))) continue;
      const quint16 key = fromEvdev(keycode - kEvdevOffset);
      if (modifierFlag(key)) heldModifiers.insert(key);
    }
  }

  quint64 heldFlags() const {
    quint64 flags = 0;
    for (quint16 key : heldModifiers) flags |= modifierFlag(key).value_or(0);
    return flags;
  }

  quint64 flagsFromState(unsigned int state) const {
    quint64 flags = 0;
    if (state & ShiftMask) flags |= kShiftFlag;
    if (state & ControlMask) flags |= kControlFlag;
    if (state & altMask) flags |= kOptionFlag;
    if (state & superMask) flags |= kCommandFlag;
    return flags;
  }

  // The server's grabs for one combination: one per lock-key variant. None
  // for a combination X cannot see (Fn) or a key this keyboard lacks.
  QList<XGrab> toXGrabs(const KeyGrab& grab) const {
    if (grab.requiresFn) return {};  // X never sees Fn held
    const std::optional<int> evdev = toEvdev(grab.keyCode);
    if (!evdev || *evdev + kEvdevOffset > 255) return {};
    QList<unsigned int> lockVariants{0};
    for (unsigned int lock : {static_cast<unsigned int>(LockMask), numLockMask, scrollLockMask}) {
      if (lock == 0) continue;
      for (qsizetype i = 0, count = lockVariants.size(); i < count; ++i) lockVariants.append(lockVariants[i] | lock);
    }
    unsigned int modifiers = 0;
    if (grab.modifiers & kShiftFlag) modifiers |= ShiftMask;
    if (grab.modifiers & kControlFlag) modifiers |= ControlMask;
    if (grab.modifiers & kOptionFlag) modifiers |= altMask;
    if (grab.modifiers & kCommandFlag) modifiers |= superMask;
    QList<XGrab> result;
    for (unsigned int lock : lockVariants) {
      const XGrab xgrab{*evdev + kEvdevOffset, modifiers | lock};
      if (!result.contains(xgrab)) result.append(xgrab);
    }
    return result;
  }

  // A combination with Alt or Super freezes the keyboard when it is pressed,
  // until the tap has read the press (see letKeyboardGo()); the others leave
  // the keyboard running.
  bool holdsAltOrSuper(unsigned int modifiers) const { return modifiers & (altMask | superMask); }

  // Replaces the grabs in place, each combination on its own; notes in
  // `refused` those that another client holds (none of their variants stays
  // grabbed).
  void applyGrabs(const QList<KeyGrab>& keyGrabs) {
    wanted = keyGrabs;
    QList<KeyGrab> refused;
    const Window root = DefaultRootWindow(display);
    X11ErrorTrap trap(display);
    for (const XGrab& grab : grabs) XUngrabKey(display, grab.keycode, grab.modifiers, root);
    grabs.clear();
    for (const KeyGrab& keyGrab : keyGrabs) {
      const QList<XGrab> variants = toXGrabs(keyGrab);
      if (variants.isEmpty()) continue;
      X11ErrorTrap combination(display);
      for (const XGrab& grab : variants) {
        XGrabKey(display, grab.keycode, grab.modifiers, root, False, GrabModeAsync,
                 holdsAltOrSuper(grab.modifiers) ? GrabModeSync : GrabModeAsync);
      }
      if (combination.sync() == 0) {
        grabs += variants;
        continue;
      }
      // Ungrabbing touches only this client's grabs: the variants we did get
      // go back, the other client keeps its own.
      for (const XGrab& grab : variants) XUngrabKey(display, grab.keycode, grab.modifiers, root);
      refused.append(keyGrab);
    }
    trap.sync();
    std::lock_guard lock(shared.mutex);
    shared.refused = refused;
  }

  // Which slave keyboards are XTEST devices, the source of typed keys. A
  // round trip: every event the server sent before it is queued afterwards.
  void readXtestDevices() {
    xtestDevices.clear();
    int count = 0;
    XIDeviceInfo* devices = XIQueryDevice(display, XIAllDevices, &count);
    for (int i = 0; i < count; ++i) {
      if (devices[i].use == XISlaveKeyboard && endsWith(devices[i].name, "XTEST keyboard")) {
        xtestDevices.insert(devices[i].deviceid);
      }
    }
    if (devices) XIFreeDeviceInfo(devices);
  }

  // Marks the events of `keys` as the program's own; each typed key is
  // matched once, by the first of its events not yet matched (the keys of an
  // earlier chord may still wait for the main thread).
  void markOwnKeysIn(QList<ReadKey>& keys) {
    for (ReadKey& key : keys) {
      if (ownKeys.isEmpty()) return;
      if (key.event.synthetic || (key.device >= 0 && !xtestDevices.contains(key.device))) continue;
      const qsizetype index = ownKeys.indexOf(OwnKey{key.keycode, key.press});
      if (index < 0) continue;
      ownKeys.removeAt(index);
      key.event.synthetic = true;
    }
  }

  // Tells apart the key events this program has just typed (`keys`, which
  // the server has taken), whether this thread read them already or not:
  // the main thread, busy typing, has not taken any of them yet.
  void markTyped(const QList<OwnKey>& keys) {
    ownKeys = keys;
    // After this round trip every event of the typed keys is on our side of
    // the connection: read them now, while we know them. A typed key that
    // never came (another client's grab had it) is forgotten with the rest.
    readXtestDevices();
    drain();
    {
      std::lock_guard lock(shared.mutex);
      markOwnKeysIn(shared.inbox);
    }
    markOwnKeysIn(translated);
    ownKeys.clear();
  }

  // Reads every event the connection holds into `translated`.
  void drain() {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (isKeyboardChange(event)) {
        if (event.type == MappingNotify) XRefreshKeyboardMapping(&event.xmapping);
        if (!keyboardChangeQueued()) followKeyboardChange();
        continue;
      }
      ReadKey out;
      if (translate(event, out)) translated.append(out);
    }
  }

  // Reads what came in and hands it to the main thread.
  void serve() {
    drain();
    if (translated.isEmpty() && !regrabbed) return;
    bool announced = false;
    {
      std::lock_guard lock(shared.mutex);
      shared.inbox += std::exchange(translated, {});
      shared.regrabbed = shared.regrabbed || std::exchange(regrabbed, false);
      announced = std::exchange(shared.deliveryPosted, true);
    }
    if (!announced) announce();
  }

  // Turns one X event into the tap's event; false for events of no interest.
  bool translate(XEvent& event, ReadKey& read) {
    KeyTapEvent& out = read.event;
    if (event.type == KeyPress || event.type == KeyRelease) {
      // Core key events come only through our grabs: intercepted.
      const bool press = event.type == KeyPress;
      const int keycode = static_cast<int>(event.xkey.keycode);
      // Detectable auto-repeat: a held key repeats its press without releases.
      const bool autoRepeat = press && heldIntercepted.contains(keycode);
      if (press) letKeyboardGo(event.xkey, autoRepeat);
      out.keyCode = fromEvdev(keycode - kEvdevOffset);
      out.intercepted = true;
      out.timestampMs = event.xkey.time;
      // Routed to us by a grab, so no device is named: our own typing is
      // known by its keys alone.
      read.keycode = keycode;
      read.press = press;
      if (noteModifier(out.keyCode, press)) {
        out.type = KeyTapEvent::Type::flagsChanged;
        out.flags = heldFlags();
        return true;
      }
      out.type = press ? KeyTapEvent::Type::keyDown : KeyTapEvent::Type::keyUp;
      out.flags = flagsFromState(event.xkey.state);
      out.autoRepeat = autoRepeat;
      if (press) {
        heldIntercepted.insert(keycode);
      } else {
        heldIntercepted.remove(keycode);
      }
      return true;
    }
    if (event.type != GenericEvent || event.xcookie.extension != xinputOpcode) return false;
    if (event.xcookie.evtype != XI_RawKeyPress && event.xcookie.evtype != XI_RawKeyRelease) return false;
    if (!XGetEventData(display, &event.xcookie)) return false;
    const auto* raw = static_cast<const XIRawEvent*>(event.xcookie.data);
    const bool press = event.xcookie.evtype == XI_RawKeyPress;
    // A key pressed while a grab was active can be let go after the grab
    // ended: its release then comes this way, and it is no longer held for us.
    if (!press) heldIntercepted.remove(raw->detail);
    out.keyCode = fromEvdev(raw->detail - kEvdevOffset);
    out.intercepted = false;
    out.timestampMs = raw->time;
    read.keycode = raw->detail;
    read.press = press;
    read.device = raw->sourceid;
    out.autoRepeat = press && (raw->flags & XIKeyRepeat);
    XFreeEventData(display, &event.xcookie);
    if (noteModifier(out.keyCode, press)) {
      out.type = KeyTapEvent::Type::flagsChanged;
    } else {
      out.type = press ? KeyTapEvent::Type::keyDown : KeyTapEvent::Type::keyUp;
    }
    out.flags = heldFlags();
    return true;
  }

  // A grabbed press with Alt or Super held froze the keyboard: the server
  // holds back every key event after it, above all the modifier's release,
  // however quickly the user lets go. The focus window, which has seen the
  // modifier go down, is first shown the mask key, then the keyboard runs
  // again, as soon as the reader thread has read the press. A press that
  // froze nothing is let go as well: harmless, and no press can leave the
  // keyboard frozen.
  void letKeyboardGo(const XKeyEvent& press, bool autoRepeat) {
    const bool mayBeFrozen = holdsAltOrSuper(press.state);
    if (mayBeFrozen && !autoRepeat) maskKey.show(display, press.state, press.time);
    XAllowEvents(display, AsyncKeyboard, CurrentTime);
    // Keys this program typed may have waited behind the frozen keyboard:
    // after this round trip they are on our side too, while we know them.
    if (mayBeFrozen && !ownKeys.isEmpty()) XSync(display, False);
    XFlush(display);
  }

  // Keeps the held modifiers up to date; false when `key` is no modifier.
  bool noteModifier(quint16 key, bool press) {
    if (!modifierFlag(key)) return false;
    if (press) {
      heldModifiers.insert(key);
    } else {
      heldModifiers.remove(key);
    }
    return true;
  }
};

X11KeyboardTap::X11KeyboardTap(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11KeyboardTap::~X11KeyboardTap() { stop(); }

bool X11KeyboardTap::start(Sink sink, const QList<KeyGrab>& grabs) {
  stop();
  auto connection = std::make_unique<Connection>();
  connection->display = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  if (!connection->display) return false;
  Display* display = connection->display;
  {
    X11ErrorTrap trap(display);
    int event = 0, error = 0, major = 2, minor = 0;
    if (!XQueryExtension(display, "XInputExtension", &connection->xinputOpcode, &event, &error) ||
        XIQueryVersion(display, &major, &minor) != Success || major < 2) {
      return false;
    }
    // Repeats of a held key then come as presses alone, which tells them apart.
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(display, True, &detectable);
    connection->watchKeyboardChanges();
    connection->readModifierMasks();
    connection->maskKey.readKeymap(display);

    unsigned char maskBits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(maskBits, XI_RawKeyPress);
    XISetMask(maskBits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof maskBits), maskBits};
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    connection->readHeldModifiers();
    if (trap.sync() != 0) return false;
    connection->applyGrabs(grabs);
  }

  // The reader thread must never touch the main thread's objects: it only
  // posts a call to the mailbox, which lives here.
  connection->mailbox = std::make_unique<QObject>();
  QObject* mailbox = connection->mailbox.get();
  connection->announce = [this, mailbox] {
    QMetaObject::invokeMethod(mailbox, [this] { deliver(); }, Qt::QueuedConnection);
  };
  // The thread reads first what Xlib queued while waiting for the replies
  // above: the socket will not announce those events again.
  Connection* reader = connection.get();
  if (!connection->reader.start(ConnectionNumber(display), [reader] { reader->serve(); })) return false;
  connection_ = std::move(connection);
  sink_ = std::move(sink);
  runningTaps().append(this);
  return true;
}

bool X11KeyboardTap::setGrabs(const QList<KeyGrab>& grabs) {
  if (!connection_) return false;
  Connection& connection = *connection_;
  connection.reader.run([&] { connection.applyGrabs(grabs); });
  return true;
}

void X11KeyboardTap::stop() {
  ++generation_;
  runningTaps().removeAll(this);
  connection_.reset();
  sink_ = nullptr;
}

QList<KeyGrab> X11KeyboardTap::refusedGrabs() const {
  if (!connection_) return {};
  std::lock_guard lock(connection_->shared.mutex);
  return connection_->shared.refused;
}

void X11KeyboardTap::noteOwnKeys(const QList<OwnKey>& keys) {
  if (keys.isEmpty()) return;
  // The threads of the running taps read up to the typed keys at once.
  std::vector<X11ConnectionThread::Pending> marking;
  for (X11KeyboardTap* tap : runningTaps()) {
    Connection* connection = tap->connection_.get();
    marking.push_back(connection->reader.post([connection, keys] { connection->markTyped(keys); }));
  }
  for (X11ConnectionThread::Pending& pending : marking) pending.wait();
}

void X11KeyboardTap::deliver() {
  if (!connection_) return;
  Connection::Shared& shared = connection_->shared;
  QList<Connection::ReadKey> batch;
  bool regrabbed = false;
  {
    std::lock_guard lock(shared.mutex);
    batch = std::exchange(shared.inbox, {});
    regrabbed = std::exchange(shared.regrabbed, false);
    shared.deliveryPosted = false;
  }
  // The sink may stop the tap, which ends the connection under our feet.
  const Sink sink = sink_;
  const quint64 generation = generation_;
  for (const Connection::ReadKey& read : batch) {
    if (generation_ != generation || !sink) break;
    sink(read.event);
  }
  if (regrabbed && generation_ == generation) notifyRegrabbed();
}

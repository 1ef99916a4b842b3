#include "platform/x11/x11synthetickeyboard.h"

#include "platform/x11/x11errortrap.h"
#include "platform/x11/x11keyboardtap.h"

#include <QThread>

#include <chrono>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;

// How long a chord waits for a held key to be let go, and how often it looks.
constexpr auto heldKeyWait = 500ms;
constexpr auto heldKeyPoll = 5ms;

// X key codes of the C, V, Insert and Delete keys on a US keyboard (evdev
// code + 8), for layouts where no key produces the symbol.
constexpr KeyCode usKeyC = 54;
constexpr KeyCode usKeyV = 55;
constexpr KeyCode usKeyInsert = 118;
constexpr KeyCode usKeyDelete = 119;

KeyCode keyCode(Display* display, KeySym symbol, KeyCode fallback) {
  const KeyCode code = XKeysymToKeycode(display, symbol);
  return code ? code : fallback;
}

KeyCode chordKey(Display* display, KeyChord::Key key) {
  switch (key) {
    case KeyChord::Key::c: return keyCode(display, XK_c, usKeyC);
    case KeyChord::Key::v: return keyCode(display, XK_v, usKeyV);
    case KeyChord::Key::insert: return keyCode(display, XK_Insert, usKeyInsert);
    case KeyChord::Key::del: return keyCode(display, XK_Delete, usKeyDelete);
  }
  return 0;
}

bool isPressed(const char keys[32], KeyCode code) { return keys[code / 8] & (1 << (code % 8)); }

}  // namespace

X11SyntheticKeyboard::X11SyntheticKeyboard(QByteArray displayName) : displayName_(std::move(displayName)) {}

X11SyntheticKeyboard::~X11SyntheticKeyboard() {
  if (display_) XCloseDisplay(display_);
}

bool X11SyntheticKeyboard::connect() {
  if (display_) return true;
  display_ = XOpenDisplay(displayName_.isEmpty() ? nullptr : displayName_.constData());
  if (!display_) return false;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
    XCloseDisplay(display_);
    display_ = nullptr;
  }
  return display_ != nullptr;
}

// Waits while a key that is no modifier is down (see the header).
void X11SyntheticKeyboard::awaitHeldKeys() {
  XModifierKeymap* map = XGetModifierMapping(display_);
  if (!map) return;
  const auto isModifier = [map](int code) {
    for (int i = 0; i < 8 * map->max_keypermod; ++i) {
      if (map->modifiermap[i] == code) return true;
    }
    return false;
  };
  const auto deadline = std::chrono::steady_clock::now() + heldKeyWait;
  while (std::chrono::steady_clock::now() < deadline) {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    bool held = false;
    for (int code = 8; code < 256 && !held; ++code) held = isPressed(keys, KeyCode(code)) && !isModifier(code);
    if (!held) break;
    QThread::msleep(static_cast<unsigned long>(heldKeyPoll.count()));
  }
  XFreeModifiermap(map);
}

// Releases every modifier key that is down (Shift, Control, Alt, Super, AltGr,
// ...; not the lock keys, which are not held). The user's hand is still on the
// hotkey's modifiers when a copy goes out at the start of a recording.
void X11SyntheticKeyboard::releaseHeldModifiers(QList<X11KeyboardTap::OwnKey>& typed) {
  char keys[32] = {};
  XQueryKeymap(display_, keys);
  XModifierKeymap* map = XGetModifierMapping(display_);
  if (!map) return;
  for (int modifier = 0; modifier < 8; ++modifier) {
    if (modifier == LockMapIndex) continue;
    for (int i = 0; i < map->max_keypermod; ++i) {
      const KeyCode code = map->modifiermap[modifier * map->max_keypermod + i];
      if (code && isPressed(keys, code)) {
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        typed.append({code, false});
      }
    }
  }
  XFreeModifiermap(map);
}

bool X11SyntheticKeyboard::typeChord(const KeyChord& chord) {
  if (!connect()) return false;
  QList<X11KeyboardTap::OwnKey> typed;
  bool done = false;
  {
    X11ErrorTrap trap(display_);
    awaitHeldKeys();
    releaseHeldModifiers(typed);
    const KeyCode control = keyCode(display_, XK_Control_L, 0);
    const KeyCode shift = keyCode(display_, XK_Shift_L, 0);
    const KeyCode key = chordKey(display_, chord.key);
    const bool keysFound = (!chord.control || control) && (!chord.shift || shift);
    if (keysFound) {
      const auto type = [&](KeyCode code, bool press) {
        XTestFakeKeyEvent(display_, code, press ? True : False, CurrentTime);
        typed.append({code, press});
      };
      if (chord.control) type(control, true);
      if (chord.shift) type(shift, true);
      type(key, true);
      type(key, false);
      if (chord.shift) type(shift, false);
      if (chord.control) type(control, false);
    }
    // The round trip also means the server has taken every key.
    done = trap.sync() == 0 && keysFound;
  }
  // Our own keys come back to the program's keyboard taps like the user's:
  // tell them which ones are ours.
  X11KeyboardTap::noteOwnKeys(typed);
  return done;
}

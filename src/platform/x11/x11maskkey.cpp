#include "platform/x11/x11maskkey.h"

#include "platform/x11/x11errortrap.h"

#include <X11/Xlib.h>

void X11MaskKey::readKeymap(_XDisplay* display) {
  keycode_ = 0;
  int minKeycode = 0, maxKeycode = 0, symbolsPerKeycode = 0;
  XDisplayKeycodes(display, &minKeycode, &maxKeycode);
  KeySym* symbols = XGetKeyboardMapping(display, static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1,
                                        &symbolsPerKeycode);
  if (!symbols) return;
  for (int keycode = minKeycode; keycode <= maxKeycode && keycode_ == 0; ++keycode) {
    const KeySym* keySymbols = symbols + (keycode - minKeycode) * symbolsPerKeycode;
    bool mapped = false;
    for (int i = 0; i < symbolsPerKeycode && !mapped; ++i) mapped = keySymbols[i] != NoSymbol;
    if (!mapped) keycode_ = keycode;
  }
  XFree(symbols);
}

void X11MaskKey::show(_XDisplay* display, unsigned int state, unsigned long time) const {
  if (keycode_ == 0) return;
  X11ErrorTrap trap(display);
  Window focus = None;
  int revertTo = 0;
  XGetInputFocus(display, &focus, &revertTo);
  if (focus == None || focus == PointerRoot) return;
  XEvent event{};
  XKeyEvent& key = event.xkey;
  key.type = KeyPress;
  key.send_event = True;
  key.display = display;
  key.window = focus;
  key.root = DefaultRootWindow(display);
  key.subwindow = None;
  key.time = time;
  key.state = state;
  key.keycode = static_cast<unsigned int>(keycode_);
  key.same_screen = True;
  // Propagated as the server propagates a real key: to the nearest window up
  // from the focus that its client listens to keys on.
  XSendEvent(display, focus, True, KeyPressMask, &event);
  key.type = KeyRelease;
  XSendEvent(display, focus, True, KeyReleaseMask, &event);
}

#pragma once

struct _XDisplay;

// A key that no application acts on, shown to the window with the input focus
// while the user holds Alt or Super for a grabbed hotkey.
//
// Many applications take Alt (or Super) pressed and released with no key in
// between for a request of its own: every Qt program with a menu bar then
// puts the menu bar in keyboard mode, and what is typed next goes into the
// menu. The grab hides the hotkey's key from the application, so a quick tap
// of Alt+Q looks like Alt alone to it. Seeing this key while the modifier is
// still down, it knows that Alt was part of a combination.
//
// The key is a keycode the keyboard map gives no symbol (X keycode 8, which
// no physical key sends, on every common map): it types nothing and is no
// shortcut. It is sent to the focus window alone (XSendEvent), so it passes
// no device: no grab, no other client's shortcut and no keyboard tap of this
// program ever sees it, and a lone-modifier hotkey still fires only for a
// modifier the user pressed alone.
class X11MaskKey {
 public:
  // Picks the key from the keyboard map of now; again after a remap. With
  // every keycode mapped there is none, and show() does nothing.
  void readKeymap(_XDisplay* display);

  // Sends the focus window a press and a release of the key, as typed at
  // `time` (X server milliseconds) with the modifiers `state` held. Errors
  // (the focus window just went away) are caught. Costs two round trips.
  void show(_XDisplay* display, unsigned int state, unsigned long time) const;

 private:
  int keycode_ = 0;  // 0: none
};

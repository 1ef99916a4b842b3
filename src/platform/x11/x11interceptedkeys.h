#pragma once

// The key presses that a grab of this program took from the X server: the
// hotkeys, and any key pressed while one is held. No other program received
// them, so none of them ended a selection there. The keyboard tap notes each
// press as its thread reads it; whoever counts the keys that reached another
// program (through XInput 2 raw events, which report grabbed keys as well)
// leaves these out. A press is known by its keycode and server time, which
// its raw event carries too.
//
// The presses are kept only as long as a selection outlives the hotkeys
// pressed over it; every member is safe on any thread.
class X11InterceptedKeys {
 public:
  static void note(int keycode, unsigned long time);
  static bool contains(int keycode, unsigned long time);
};

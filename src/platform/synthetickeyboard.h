#pragma once

// A key combination that the program types on the user's behalf: Control+C
// (copy) or Control+V (paste), with Shift added for applications that keep
// the plain combinations for themselves (terminal emulators), or Shift+Insert
// (the paste of terminals that turn every Control chord into a control
// character).
struct KeyChord {
  enum class Key { c, v, insert };

  Key key = Key::v;
  bool shift = false;
  bool control = true;

  // Shift+Insert, without Control.
  static KeyChord shiftInsert() { return KeyChord{Key::insert, true, false}; }

  friend bool operator==(const KeyChord&, const KeyChord&) = default;
};

// Types key combinations into whatever window has the keyboard focus, as if
// the user pressed them.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing can be typed.
class SyntheticKeyboard {
 public:
  virtual ~SyntheticKeyboard() = default;

  // Presses and releases the chord ([Control,] [Shift,] the key; released in
  // reverse order). Modifiers the user still holds are released first: a
  // paste typed while Alt is down would arrive as Control+Alt+V and do
  // nothing. False when nothing could be typed.
  virtual bool typeChord(const KeyChord& chord) = 0;

  static SyntheticKeyboard& current();
  // Installs `keyboard` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(SyntheticKeyboard* keyboard);
};

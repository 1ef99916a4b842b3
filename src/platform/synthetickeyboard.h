#pragma once

// A key combination that the program types on the user's behalf: Control+C
// or Control+V with Shift (the copy and paste of terminal emulators, which
// keep the plain combinations for themselves), Control+Insert (the copy of
// other applications: Control+C with nothing selected interrupts a terminal
// in a web page), Shift+Insert (a paste) or Shift+Delete (a cut).
struct KeyChord {
  enum class Key { c, v, insert, del };

  Key key = Key::v;
  bool shift = false;
  bool control = true;

  // Control+Insert.
  static KeyChord controlInsert() { return KeyChord{Key::insert, false, true}; }
  // Shift+Insert, without Control.
  static KeyChord shiftInsert() { return KeyChord{Key::insert, true, false}; }
  // Shift+Delete, without Control.
  static KeyChord shiftDelete() { return KeyChord{Key::del, true, false}; }

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

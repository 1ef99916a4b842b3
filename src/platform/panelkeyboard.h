#pragma once

class QWindow;

// The keyboard lent to a floating panel while the user works inside it: the
// answer's text they select there and copy with the copy key. Panels never
// take the keyboard by themselves (neither when they show nor on a click of a
// button or a drag); lent, it goes back where it was, to the very window
// that had it, when the user presses a button outside the panel (a click back
// into their application), when the panel hides, or when a hotkey starts a
// request, which is for the application the user was typing into.
//
// The program installs the real implementation at start-up (app/); tests
// install their own. Until something is installed a panel never gets the
// keyboard.
class PanelKeyboard {
 public:
  virtual ~PanelKeyboard() = default;

  // Gives the keyboard to `panel`, a shown panel, keeping where it was. A
  // panel that has it already keeps it, and where it was stays as it was.
  virtual void lend(QWindow& panel) = 0;
  // Gives the keyboard back where it was, when a panel has it; nothing
  // otherwise. Where the user has moved it meanwhile it stays.
  virtual void giveBack() = 0;

  static PanelKeyboard& current();
  // Installs `keyboard` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(PanelKeyboard* keyboard);
};

#pragma once

#include "platform/frontapplication.h"

// Whether the text a terminal holds on PRIMARY is still highlighted on its
// screen. A terminal takes PRIMARY when the user highlights text, but keeps
// it after a click clears the highlight (its middle button still pastes the
// old text): owning PRIMARY alone would make a stale word the selection of
// every later request there, and a dictation would go to the panel instead of
// the command line.
//
// The program installs the real implementation at start-up (app/); tests
// install their own. Until something is installed every highlight counts as
// shown, with no key pressed since.
class PrimaryHighlightWatch {
 public:
  virtual ~PrimaryHighlightWatch() = default;

  // False when the primary button was pressed on a window of `app` after
  // PRIMARY was last taken: that click cleared the highlight.
  virtual bool isShown(const RunningApplication& app) = 0;

  // How many keys (modifier keys aside) reached `app` since PRIMARY last
  // changed hands: pressed while a window of it had the focus, and not taken
  // by a grab (this program's hotkeys, a window manager's shortcuts), which
  // the application never receives. Emacs and gvim take PRIMARY again after
  // every key that leaves a selection shown: a key counted here ended the
  // selection they hold there.
  virtual int keysSinceTaken(const RunningApplication& app) = 0;

  static PrimaryHighlightWatch& current();
  // Installs `watch` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(PrimaryHighlightWatch* watch);
};

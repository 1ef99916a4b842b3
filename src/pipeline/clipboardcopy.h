#pragma once

#include "platform/frontapplication.h"
#include "platform/synthetickeyboard.h"

#include <QString>

#include <optional>

// What a chord typed into an application put on the clipboard: its copy key
// copies the selection, its cut key cuts it. The user's clipboard is put back
// afterwards: a selection is read this way, never kept on the clipboard.
struct ClipboardCopy {
  // The plain text the application put on the clipboard; nothing when the
  // clipboard did not change within 0.3 s of the keys.
  std::optional<QString> text;
  // Whether PRIMARY changed hands meanwhile (only watched when asked for).
  bool primaryTaken = false;

  // Types `chord` into `app` (only while it owns the focused window, and
  // never into this program, whose keys would wait for this very wait), waits
  // up to 0.3 s for the clipboard to change, and reads its text. With
  // `watchPrimary`, waits as long for PRIMARY to change hands as well. A
  // clipboard that changed is put back as it was; an untouched one is left
  // alone (rewriting it would only make this program its owner, and X11
  // contents die with their owner).
  static ClipboardCopy take(const RunningApplication& app, const KeyChord& chord, bool watchPrimary = false);
};

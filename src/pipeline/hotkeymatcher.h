#pragma once

#include "pipeline/configstore.h"
#include "pipeline/hotkeycombo.h"

#include <QtGlobal>

#include <optional>

// Recognises the three hotkeys in the key event stream. Reads the
// configurations only through the snapshot of `store`.
//
// A key hotkey matches on its key down when exactly its modifiers (and its Fn
// state) are held. A lone modifier or lone Fn hotkey fires when its key is
// released, but only if no other key went down while it was held: a user
// typing Alt+Tab, or a key hotkey with the same modifier, must not start a
// recording as a by-product of letting go. Left and right keys of one
// modifier are the same hotkey.
class HotKeyMatcher {
 public:
  struct Result {
    std::optional<HotKeyCombo> combo;
    bool swallow = false;  // set exactly when a combo is given
  };

  explicit HotKeyMatcher(const ConfigStore& store) : store_(store) {}

  std::optional<HotKeyCombo> matchKeyDown(quint16 keyCode, quint64 flags) const;
  // Whether the key up belongs to a hotkey (the same test as the key down,
  // with the flags held at the key up).
  bool matchKeyUp(quint16 keyCode, quint64 flags) const;
  // A modifier key (or Fn) went down or up; `flags` are those after the event.
  Result handleFlagsChanged(quint16 keyCode, quint64 flags);
  Result handleFnKey(quint64 flags);
  // A key that is no modifier went down: no lone-key hotkey held now may fire.
  void noteKeyDown();
  // Forgets what is held (the listener stopped).
  void reset();

 private:
  // The lone modifier (or Fn) being held, by its flag, and whether nothing
  // else went down since it was pressed.
  struct LoneKeyHold {
    quint64 flag = 0;
    bool clean = true;
  };

  void notePress(quint64 flag);
  Result noteRelease(quint64 flag, qint64 loneModifiers, bool loneRequiresFn);

  const ConfigStore& store_;
  std::optional<LoneKeyHold> hold_;
};

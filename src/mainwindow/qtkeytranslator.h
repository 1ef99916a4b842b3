#pragma once

#include "platform/keyboardtap.h"

#include <QSet>
#include <QtGlobal>

#include <optional>

class QKeyEvent;

// Turns the key events Qt delivers to this program into the keyboard tap's
// vocabulary: the program's virtual key codes (by physical position, from the
// event's native scan code, which is the X keycode) and modifier bits. A
// modifier key's press or release becomes a flagsChanged event carrying the
// modifiers held after it, tracked here because Qt's own modifier state for
// such an event differs between platforms.
class QtKeyTranslator {
 public:
  // Nothing for events that are no key press or release, for the releases
  // of auto-repeat and for keys without any code.
  std::optional<KeyTapEvent> translate(const QKeyEvent& event);

  void reset() { heldModifiers_.clear(); }

  // The virtual key code of a key event: by scan code when the platform gives
  // one, else by Qt key for the few keys a capture must know (Escape and the
  // modifiers).
  static std::optional<quint16> keyCode(const QKeyEvent& event);
  static quint64 flagsOf(Qt::KeyboardModifiers modifiers);

 private:
  quint64 heldFlags() const;

  QSet<quint16> heldModifiers_;
};

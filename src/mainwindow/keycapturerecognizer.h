#pragma once

#include "platform/keyboardtap.h"

#include <QtGlobal>

#include <optional>

// One combination the key capture field hands to its owner.
struct KeyCaptureReport {
  enum class Kind { key, escape };

  Kind kind = Kind::key;
  int keyCode = -1;       // -1 for a lone modifier or a lone Fn
  quint64 modifiers = 0;  // shift, control, option and command bits only
  bool requiresFn = false;

  friend bool operator==(const KeyCaptureReport&, const KeyCaptureReport&) = default;
};

// Turns the key events seen while a new hotkey is recorded into at most one
// report each: an ordinary key with the modifiers held, Escape, or a lone
// modifier (or Fn) that was pressed and let go with nothing in between.
//
// It decides nothing about what a hotkey may be: the owner stores what it is
// told. Fed from the desktop's keyboard tap or from this program's own key
// events, translated to the same vocabulary (platform/virtualkeycodes.h).
class KeyCaptureRecognizer {
 public:
  static constexpr quint16 kEscapeKey = 53;
  static constexpr quint16 kCapsLockKey = 57;

  // Key downs and modifier changes; key ups report nothing.
  std::optional<KeyCaptureReport> handle(const KeyTapEvent& event);
  std::optional<KeyCaptureReport> handleKeyDown(const KeyTapEvent& event);
  std::optional<KeyCaptureReport> handleFlagsChanged(const KeyTapEvent& event);

  // Forgets the keys held (the field stopped listening).
  void reset();

  bool fnDown() const { return fnDown_; }
  // The modifier key (or 63 for Fn) pressed last and not yet followed by any
  // other key: its release is a lone-modifier combination.
  std::optional<quint16> modifierKeyDown() const { return modifierKeyDown_; }

 private:
  bool fnDown_ = false;
  std::optional<quint16> modifierKeyDown_;
};

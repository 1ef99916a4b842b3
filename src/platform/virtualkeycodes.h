#pragma once

#include <QSet>
#include <QtGlobal>

#include <optional>

// The program's own key vocabulary. Hotkeys are stored with the virtual key
// codes of the US keyboard layout by position (A is 0, Q is 12, Space is 49,
// left Alt is 58...) and the modifier bits below, whatever the desktop or the
// active layout: the key in the place of Q stays the Q hotkey on an AZERTY or
// a Cyrillic layout. Linux reports keys by their evdev code (X11 keycode - 8);
// the tables here translate between the two.
namespace VirtualKeyCodes {

// Modifier bits of a hotkey and of key events. Option is Alt, command is Super.
constexpr quint64 kShiftFlag = 0x20000;
constexpr quint64 kControlFlag = 0x40000;
constexpr quint64 kOptionFlag = 0x80000;
constexpr quint64 kCommandFlag = 0x100000;
constexpr quint64 kFnFlag = 0x800000;
// The four bits that take part in matching and display.
constexpr quint64 kModifierMask = kShiftFlag | kControlFlag | kOptionFlag | kCommandFlag;

constexpr quint16 kFunctionKey = 63;

// Keys that have no US-layout code of their own get 0x1000 + their evdev
// code, so every key on the keyboard still has a code.
constexpr quint16 kUnnamedKeyBase = 0x1000;

quint16 fromEvdev(int evdevCode);
// Nothing for a code no keyboard key has.
std::optional<int> toEvdev(quint16 keyCode);

// The modifier keys: right and left command (54, 55), shift (56, 60),
// option (58, 61) and control (59, 62). Neither Fn (63) nor caps lock (57).
const QSet<quint16>& modifierKeyCodes();
// The flag of a modifier key; nothing for any other key.
std::optional<quint64> modifierFlag(quint16 keyCode);

// `flags` with only the four modifier bits kept (Fn and caps lock dropped).
constexpr quint64 normalizedModifiers(quint64 flags) { return flags & kModifierMask; }

}  // namespace VirtualKeyCodes

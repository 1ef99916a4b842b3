#pragma once

#include <QtGlobal>

// How present the program is on the desktop. A tray program has no dock
// icon to switch on and off, so on this desktop the policy comes down to the
// main window: `accessory` is the tray icon alone, `regular` the main window
// shown and raised. `prohibited` (no presence at all, before launch has
// finished) has no counterpart: the program shows nothing before then anyway.
enum class ActivationPolicy : quint8 {
  regular = 0,
  accessory = 1,
  prohibited = 2,
};
